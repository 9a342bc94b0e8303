#include "DialogAnswer.h"

#include <gtest/gtest.h>

#include <QSpinBox>

namespace {

TEST(ModalDialogs, AnAnswerSetsTheControlsAndTheResult)
{
    QDialog dialog;
    auto* spin = new QSpinBox(&dialog);
    {
        DialogAnswer answer([&](QDialog& shown) {
            EXPECT_EQ(&shown, &dialog);
            spin->setValue(7);
            return int(QDialog::Accepted);
        });
        EXPECT_EQ(ShowModal(dialog), QDialog::Accepted);
        EXPECT_EQ(answer.shown, 1);
    }
    EXPECT_EQ(spin->value(), 7);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    DialogAnswer cancel([](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_EQ(ShowModal(dialog), QDialog::Rejected);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

} // namespace
