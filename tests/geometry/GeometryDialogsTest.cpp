// The rotate and resize dialogs: their choices, the linked size fields, the
// decimal field, and the settings they keep between runs.
#include "TestSupport.h"
#include "UserInput.h"

#include "geometry/ResizeForm.h"
#include "geometry/RotateForm.h"
#include "toolkit/FieldRange.h"
#include "toolkit/Shape.h"
#include "toolkit/SpinEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>

namespace {

// Each test starts without stored settings and leaves none behind.
class Dialogs : public ::testing::Test {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override { Forget(); }
    static void Forget()
    {
        QSettings settings(QStringLiteral("Norvane"), QStringLiteral("Kelvora"));
        settings.remove(QStringLiteral("TRotateForm"));
        settings.remove(QStringLiteral("TResizeForm"));
    }
};

TEST_F(Dialogs, TheAngleFieldTakesACommaOrAPointInExtendedPrecision)
{
    TRotateForm form(nullptr);
    auto* text = form.GradEdit->findChild<QLineEdit*>();
    ASSERT_NE(text, nullptr);
    for (const char* typed : {"12,34", "12.34"}) {
        text->setText(QString::fromLatin1(typed));
        form.GradEdit->interpretText();
        EXPECT_DOUBLE_EQ(form.GradEdit->value(), 12.34) << typed;
        EXPECT_EQ(form.Choice().Degrees, 12.34L) << "not the double nearest 12.34";
    }
    form.GradEdit->setValue(500);
    EXPECT_DOUBLE_EQ(form.GradEdit->value(), 359.99);
    form.GradEdit->setValue(0);
    EXPECT_DOUBLE_EQ(form.GradEdit->value(), 0.01);
}

TEST_F(Dialogs, EveryFieldTakesItsLimitsAndRefusesWhatLiesPastThem)
{
    TRotateForm rotate(nullptr);
    TResizeForm resize(nullptr);
    resize.SetPicture(800, 600, true);
    resize.SverhCheck->setChecked(false); // each size alone
    const std::string width = "Die Breite muss zwischen 1 und 32767 liegen.";
    const std::string height = "Die Höhe muss zwischen 1 und 32767 liegen.";
    const std::string angle = "Der Winkel muss zwischen 0,01 und 359,99 liegen.";
    const struct {
        QDialog* dialog;
        QPushButton* ok;
        TSpinEdit* field;
        const char* typed;
        std::string refusal; // empty: OK closes the dialog
    } rows[] = {
        {&resize, resize.OkBtn, resize.BreitEdit, "1", ""},
        {&resize, resize.OkBtn, resize.BreitEdit, "32767", ""},
        {&resize, resize.OkBtn, resize.BreitEdit, "0", width},
        {&resize, resize.OkBtn, resize.BreitEdit, "32768", width},
        {&resize, resize.OkBtn, resize.BreitEdit, "", width},
        {&resize, resize.OkBtn, resize.HochEdit, "1", ""},
        {&resize, resize.OkBtn, resize.HochEdit, "32767", ""},
        {&resize, resize.OkBtn, resize.HochEdit, "0", height},
        {&resize, resize.OkBtn, resize.HochEdit, "32768", height},
        {&rotate, rotate.OkBtn, rotate.GradEdit, "0,01", ""},
        {&rotate, rotate.OkBtn, rotate.GradEdit, "359,99", ""},
        {&rotate, rotate.OkBtn, rotate.GradEdit, "0", angle},
        {&rotate, rotate.OkBtn, rotate.GradEdit, "360", angle},
        {&rotate, rotate.OkBtn, rotate.GradEdit, "-1", angle},
    };
    for (const auto& r : rows) {
        MessageBoxRecorder boxes;
        r.dialog->show();
        QApplication::setActiveWindow(r.dialog);
        for (TSpinEdit* f : {resize.BreitEdit, resize.HochEdit, rotate.GradEdit})
            f->setValue(50);
        ReplaceText(r.field, QString::fromUtf8(r.typed));
        r.ok->setFocus(); // as a click on OK takes it
        r.ok->click();
        const bool refused = !r.refusal.empty();
        EXPECT_EQ(r.dialog->isVisible(), refused) << r.typed;
        EXPECT_EQ(r.field->text(), QString::fromUtf8(r.typed)) << "as typed";
        if (refused) {
            ASSERT_EQ(boxes.shown.size(), 1u) << r.typed;
            EXPECT_EQ(boxes.shown[0].text, r.refusal);
            EXPECT_EQ(boxes.shown[0].caption, r.dialog->windowTitle().toStdString());
            EXPECT_TRUE(r.field->hasFocus()) << r.typed;
        } else {
            EXPECT_TRUE(boxes.shown.empty()) << r.typed;
            EXPECT_EQ(r.dialog->result(), QDialog::Accepted);
            long double typed = 0;
            ReadFieldNumber(r.typed, 2, typed);
            EXPECT_EQ(r.field->ExtendedValue(), typed) << "what the dialog hands over";
        }
        r.dialog->hide();
    }
}

TEST_F(Dialogs, ASizeOutsideTheLimitsLeavesTheOtherAsItWas)
{
    TResizeForm form(nullptr);
    form.SetPicture(800, 600, true);
    ReplaceText(form.BreitEdit, QStringLiteral("0"));
    EXPECT_EQ(form.HochEdit->value(), 600) << "no 1 x 1 from a width being typed";
    ReplaceText(form.BreitEdit, QStringLiteral("40000"));
    EXPECT_EQ(form.HochEdit->value(), 3000) << "linked while the width was 4000";
    ReplaceText(form.HochEdit, QStringLiteral("300"));
    EXPECT_EQ(form.BreitEdit->value(), 400);
}

TEST_F(Dialogs, RotateSettingsSurviveARestartButTheColourDoesNot)
{
    {
        TRotateForm first(nullptr);
        first.Grad180Check->setChecked(true);
        first.RotRightCheck->setChecked(true);
        first.GradEdit->setValue(12.5);
        first.Shape1->SetBrushColor(Qt::red);
        first.done(QDialog::Rejected); // cancelled or not, what was set is kept
    }
    TRotateForm second(nullptr);
    EXPECT_EQ(second.Choice().Angle, RotateAngle::Deg180);
    EXPECT_TRUE(second.Choice().Right);
    EXPECT_TRUE(second.Grad180Check->isChecked());
    EXPECT_FALSE(second.FreiGradCheck->isChecked());
    EXPECT_TRUE(second.RotRightCheck->isChecked());
    EXPECT_FALSE(second.RotLeftCheck->isChecked());
    EXPECT_DOUBLE_EQ(second.GradEdit->value(), 12.5);
    EXPECT_EQ(second.Shape1->BrushColor(), QColor(Qt::white));
    QSettings settings(QStringLiteral("Norvane"), QStringLiteral("Kelvora"));
    EXPECT_TRUE(settings.value(QStringLiteral("TRotateForm/Grad180Check.Checked")).toBool());
}

class ResizeDialog : public Dialogs {
protected:
    void SetUp() override
    {
        Dialogs::SetUp();
        form = std::make_unique<TResizeForm>(nullptr);
        form->SetPicture(800, 600, true);
    }
    std::unique_ptr<TResizeForm> form;
};

// The choice keeps linked sides as the side set last ("400x", "x100"), so a
// recipe keeps the proportions on other sizes.
TEST_F(ResizeDialog, OneSizeFollowsTheOtherOnce)
{
    const auto choice = [&] { return std::pair(form->Choice().Width, form->Choice().Height); };
    EXPECT_EQ(choice(), std::pair(800, 0));
    form->BreitEdit->setValue(400);
    EXPECT_EQ(form->HochEdit->value(), 300);
    EXPECT_EQ(choice(), std::pair(400, 0));
    form->HochEdit->setValue(100);
    EXPECT_EQ(form->BreitEdit->value(), 133) << "Trunc(100 * 800 / 600)";
    EXPECT_EQ(choice(), std::pair(0, 100));
    EXPECT_FALSE(form->LinkGuard);
    form->SverhCheck->setChecked(false);
    form->BreitEdit->setValue(700);
    EXPECT_EQ(form->HochEdit->value(), 100) << "unlinked";
    EXPECT_EQ(choice(), std::pair(700, 100));
    form->SverhCheck->click();
    EXPECT_EQ(form->HochEdit->value(), 525) << "ticking links the height to the width";
    EXPECT_EQ(choice(), std::pair(700, 0));
}

TEST_F(ResizeDialog, AnEditThatLeavesTheOtherSizeAsItWasStillLinksTheNextOne)
{
    form->BreitEdit->setValue(801); // 600.75: the height stays 600 and raises no change
    EXPECT_EQ(form->HochEdit->value(), 600);
    form->HochEdit->setValue(601);
    form->BreitEdit->setValue(802);
    EXPECT_EQ(form->Choice().Height, 0) << "the height follows the width set last";
    form->HochEdit->setValue(300);
    EXPECT_EQ(form->BreitEdit->value(), 400);
}

TEST_F(ResizeDialog, LinkedSizesStayWithinTheFieldsLimits)
{
    form->SetPicture(30000, 10, true);
    form->BreitEdit->setValue(1);
    EXPECT_EQ(form->HochEdit->value(), 1) << "Trunc gives 0";
    form->SetPicture(10, 30000, true);
    form->BreitEdit->setValue(20);
    EXPECT_EQ(form->HochEdit->value(), 32767);
    EXPECT_EQ(LinkedSide(5, 0, 10), 5) << "no picture, no proportions";
}

TEST_F(ResizeDialog, TicksSurviveARestartAndInterpolationWaitsForTrueColour)
{
    form->SetPicture(40, 30, false);
    EXPECT_FALSE(form->InterpolCheck->isEnabled());
    EXPECT_TRUE(form->Choice().Interpolate) << "the tick stays for the next true-colour picture";
    form->SverhCheck->setChecked(false);
    form->InterpolCheck->setChecked(false);
    form->done(QDialog::Accepted);
    TResizeForm second(nullptr);
    EXPECT_FALSE(second.SverhCheck->isChecked());
    EXPECT_FALSE(second.InterpolCheck->isChecked());
}

} // namespace
