// The short help: the five pages in a sentence each, the keys, and the
// command line. It stays open beside the main window while the user works.
#pragma once

#include <QDialog>

class QLabel;

class THelpForm final : public QDialog {
    Q_OBJECT
public:
    explicit THelpForm(QWidget* owner);

    QLabel* HelpLabel = nullptr;
};

// The help as rich text, the keys named as the window's shortcuts name them.
QString HelpText();

// Shows the owner's help window, made on first use, in front.
void ShowHelpWindow(QWidget* owner);
