// The main window's keys, one row each: the key, the page it works on, what
// it does and what the help window says about it. Qt's shortcuts carry them
// out, so a field that uses a key itself (the intensity field's Ctrl+Z)
// keeps it, and a key on a hidden page does nothing.
#pragma once

#include <QKeyCombination>

#include <span>

class QWidget;
class TMainForm;

struct KeyBinding {
    QKeyCombination key;
    QWidget* TMainForm::*page; // only while this page shows; nullptr: on every page
    void (*action)(TMainForm& form);
    // What the key does, for the help window; nullptr where an earlier row
    // of the same key says it.
    const char* help;
};

std::span<const KeyBinding> KeyBindings();

// Gives the window its keys.
void BindKeys(TMainForm& form);
