// The number field of the dialogs: what the user types stays as typed, and
// only the arrows and the program's own values keep to the limits.
#include "TestSupport.h"
#include "UserInput.h"

#include "toolkit/SpinEdit.h"

#include <gtest/gtest.h>

#include <QDialog>

namespace {

void Type(TSpinEdit& field, const QString& keys)
{
    ReplaceText(&field, keys);
}

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
        {&sides, "40000", "40000", false}, {&sides, "0", "0", false},
        {&sides, "", "", false},           {&sides, "-5", "-5", false},
        {&sides, "32767", "32767", true},  {&sides, "12a3", "123", true},
        {&sides, "1,5", "15", true},       {&angle, "400", "400", false},
        {&angle, "0,001", "0,00", false},  {&angle, "359.99", "359.99", true},
        {&angle, ",5", ",5", true},
    };
    for (const auto& r : rows) {
        r.field->setValue(7);
        Type(*r.field, QString::fromUtf8(r.typed));
        r.field->interpretText(); // what leaving the field or Enter does
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(r.field, &enter);
        EXPECT_EQ(r.field->text(), QString::fromUtf8(r.shown)) << r.typed;
        EXPECT_EQ(r.field->ValidValue().has_value(), r.valid) << r.typed;
        EXPECT_TRUE(r.field->Range().Contains(r.field->ExtendedValue())) << r.typed;
    }
}

TEST_F(SpinEdit, ArrowsAndValuesWrittenKeepToTheLimits)
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
        Type(sides, QString::fromUtf8(r.typed));
        sides.stepBy(r.steps);
        EXPECT_EQ(sides.text(), QString::fromUtf8(r.shown)) << r.typed;
    }
    angle.setValue(500);
    EXPECT_EQ(angle.text(), QStringLiteral("359,99"));
    EXPECT_EQ(angle.ExtendedValue(), 359.99L);
    angle.setValue(0);
    EXPECT_EQ(angle.text(), QStringLiteral("0,01"));
}

TEST_F(SpinEdit, ARefusedValueIsSaidWithTheRangeAndKeepsTheFocus)
{
    dialog.setWindowTitle(QStringLiteral("Größe verändern"));
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    MessageBoxRecorder boxes;
    Type(sides, QStringLiteral("12"));
    Type(angle, QStringLiteral("360"));
    angle.clearFocus();
    EXPECT_FALSE(FieldsFit({&sides, &angle}));
    ASSERT_EQ(boxes.shown.size(), 1u) << "one field at a time";
    EXPECT_EQ(boxes.shown[0].text, "Der Winkel muss zwischen 0,01 und 359,99 liegen.");
    EXPECT_EQ(boxes.shown[0].caption, "Größe verändern");
    EXPECT_TRUE(angle.hasFocus());
    EXPECT_EQ(angle.text(), QStringLiteral("360"));
    Type(angle, QStringLiteral("359,99"));
    EXPECT_TRUE(FieldsFit({&sides, &angle}));
    EXPECT_EQ(boxes.shown.size(), 1u);
}

} // namespace
