// Modal dialogs go through one function, as message boxes do: the program
// runs them for real, tests answer them as a user would (set the controls,
// then accept or reject) without an event loop of their own.
#pragma once

#include <functional>

class QDialog;

// The dialog's result: QDialog::Accepted or QDialog::Rejected.
using ModalHandler = std::function<int(QDialog& dialog)>;

// Shows dialog modally through the installed handler, else through exec().
// Once a shown dialog has closed, the windows it covered are painted where it
// was, on the screen, before ShowModal returns.
int ShowModal(QDialog& dialog);

// Replaces the handler and returns the previous one.
ModalHandler SetModalHandler(ModalHandler handler);
