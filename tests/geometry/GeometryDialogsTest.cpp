// The rotate and resize dialogs: their choices, the linked size fields, the
// decimal field, and the settings they keep between runs.
#include "geometry/ResizeForm.h"
#include "geometry/RotateForm.h"
#include "toolkit/FloatSpinEdit.h"
#include "toolkit/Shape.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
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

TEST_F(ResizeDialog, OneSizeFollowsTheOtherOnce)
{
    EXPECT_EQ(form->Choice().Width, 800);
    EXPECT_EQ(form->Choice().Height, 600);
    form->BreitEdit->setValue(400);
    EXPECT_EQ(form->HochEdit->value(), 300);
    form->HochEdit->setValue(100);
    EXPECT_EQ(form->BreitEdit->value(), 133) << "Trunc(100 * 800 / 600)";
    EXPECT_FALSE(form->LinkGuard);
    form->SverhCheck->setChecked(false);
    form->BreitEdit->setValue(700);
    EXPECT_EQ(form->HochEdit->value(), 100) << "unlinked";
    form->SverhCheck->click();
    EXPECT_EQ(form->HochEdit->value(), 525) << "ticking links the height to the width";
}

TEST_F(ResizeDialog, AnEditThatLeavesTheOtherSizeAsItWasStillLinksTheNextOne)
{
    form->BreitEdit->setValue(801); // 600.75: the height stays 600 and raises no change
    EXPECT_EQ(form->HochEdit->value(), 600);
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
