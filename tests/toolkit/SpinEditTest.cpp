// The number field of the dialogs: what the user types stays as typed; only
// the arrows keep to the limits.
#include "UserInput.h"

#include "toolkit/SpinEdit.h"

#include <gtest/gtest.h>

#include <QDialog>

namespace {

class SpinEdit : public ::testing::Test {
protected:
    SpinEdit()
    {
        sides.SetRange({1, 32767, 0});
        angle.SetRange({0.01L, 359.99L, 2});
        angle.setValue(45);
    }
    QDialog dialog;
    TSpinEdit& sides = *new TSpinEdit("Die Breite", &dialog);
    TSpinEdit& angle = *new TSpinEdit("Der Winkel", &dialog);
};

TEST_F(SpinEdit, TypedTextStaysAsTypedWhenTheFieldIsLeftOrConfirmed)
{
    const struct {
        TSpinEdit* field;
        const char* typed;
        const char* shown; // after the keys the field refuses
        bool valid;
    } rows[] = {
        {&sides, "40000", "40000", false},  {&sides, "", "", false},
        {&sides, "-5", "-5", false},        {&sides, "12a3", "123", true},
        {&sides, "1,5", "15", true},        {&angle, "0,001", "0,00", false},
        {&angle, "359.99", "359.99", true}, {&angle, ",5", ",5", true},
    };
    for (const auto& r : rows) {
        r.field->setValue(7);
        ReplaceText(r.field, QString::fromUtf8(r.typed));
        r.field->interpretText(); // what leaving the field or Enter does
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(r.field, &enter);
        EXPECT_EQ(r.field->text(), QString::fromUtf8(r.shown)) << r.typed;
        EXPECT_EQ(r.field->ValidValue().has_value(), r.valid) << r.typed;
        EXPECT_TRUE(r.field->Range().Contains(r.field->ExtendedValue())) << r.typed;
    }
}

TEST_F(SpinEdit, TheArrowsKeepToTheLimits)
{
    const struct {
        const char* typed;
        int steps;
        const char* shown;
    } rows[] = {{"32767", 1, "32767"},
                {"40000", -1, "32767"},
                {"1", -10, "1"},
                {"", 1, "1"},
                {"99", 10, "109"}};
    for (const auto& r : rows) {
        ReplaceText(&sides, QString::fromUtf8(r.typed));
        sides.stepBy(r.steps);
        EXPECT_EQ(sides.text(), QString::fromUtf8(r.shown)) << r.typed;
    }
}

} // namespace
