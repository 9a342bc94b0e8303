// Answers the program's modal dialogs for the length of a scope, as a user
// would: the action sets the dialog's controls and returns QDialog::Accepted
// or QDialog::Rejected.
#pragma once

#include "toolkit/ModalDialog.h"

#include <QDialog>

#include <functional>
#include <utility>

class DialogAnswer {
public:
    explicit DialogAnswer(std::function<int(QDialog&)> act) : act_(std::move(act))
    {
        previous_ = SetModalHandler([this](QDialog& dialog) {
            ++shown;
            return act_(dialog);
        });
    }
    ~DialogAnswer() { SetModalHandler(std::move(previous_)); }
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

    int shown = 0; // dialogs answered so far

private:
    std::function<int(QDialog&)> act_;
    ModalHandler previous_;
};
