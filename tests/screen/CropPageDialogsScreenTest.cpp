// The crop page's dialogs as the user sees them, at any pixel density: the
// rotate, resize and colour-count dialogs, run through the page's buttons,
// show on the screen what a fresh redraw shows after every choice.
#include "DialogAnswer.h"
#include "UserInput.h"
#include "ScreenFixture.h"

#include "depth/DepthChangeForm.h"
#include "depth/DepthDialogState.h"
#include "depth/DepthDownForm.h"
#include "depth/DepthPreviewViews.h"
#include "geometry/ResizeForm.h"
#include "geometry/RotateForm.h"
#include "toolkit/SpinEdit.h"
#include "toolkit/Shape.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>

namespace {

class CropPageDialogsOnScreen : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        for (const char* group : {"TRotateForm", "TResizeForm"})
            QSettings().remove(QString::fromLatin1(group));
        DibGuard photo(MakeBlockPicture(320, 240));
        OpenPicture(photo.dib);
    }

    // Shows a dialog where its modal loop would.
    static void Show(QDialog& dialog)
    {
        ASSERT_TRUE(ShowOnScreen(&dialog));
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&dialog)) << "shown";
    }

    static void Rotate(TRotateForm& rotate, const QColor& picked)
    {
        Show(rotate);
        rotate.ColorBtn->click(); // the colour dialog is answered with picked
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&rotate)) << "after a colour";
        const QSize swatch = rotate.Shape1->size() * Scale();
        EXPECT_TRUE(SamplesOnScreen(
            rotate.Shape1,
            {{QPoint(swatch.width() / 2, swatch.height() / 2), picked.rgb(), "the swatch"}}));
        rotate.RotRightCheck->click();
        rotate.Grad180Check->click();
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&rotate)) << "after a turn by 180 to the right";
    }

    static void Resize(TResizeForm& resize)
    {
        Show(resize);
        resize.BreitEdit->setValue(160);
        EXPECT_EQ(resize.HochEdit->value(), 120);
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&resize)) << "after a new width";
        resize.SverhCheck->click();
        resize.HochEdit->setValue(77);
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&resize)) << "after a free height";
    }

    static void CountColours(TDepthChangeForm& count)
    {
        Show(count);
        count.ColorBox->setCurrentIndex(ColorBoxItemFor(8));
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&count)) << "after choosing 256 colours";
    }

    // The previews arrive from their own thread: the screen is compared once
    // all of them are there.
    static void ExpectPreviewsOnScreen(TDepthDownForm& options, const char* when)
    {
        EXPECT_TRUE(WaitUntil([&] { return options.PreviewsComplete(); }, 20000)) << when;
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&options)) << when;
    }

    static void ReductionOptions(TDepthDownForm& options)
    {
        ASSERT_TRUE(ShowOnScreen(&options));
        ExpectPreviewsOnScreen(options, "shown");
        options.StdPalCheck->click();
        options.DitherCheck->click();
        ExpectPreviewsOnScreen(options, "after ordered dithering");
        options.OptPalCheck->click();
        ExpectPreviewsOnScreen(options, "after the optimized palette");
        // the fourth of 8 bits' five: ordered dithering on the standard palette
        ASSERT_EQ(options.PreviewTiles.size(), 5u);
        ClickAt(options.PreviewTiles[3], QPoint(20, 20));
        EXPECT_TRUE(options.StdPalCheck->isChecked() && options.DitherCheck->isChecked());
        ClickAt(options.Overview, QPoint(4, 4));
        ExpectPreviewsOnScreen(options, "after a preview and a point were clicked");
    }
};

TEST_F(CropPageDialogsOnScreen, Rotate)
{
    const QColor picked(200, 30, 90);
    DialogAnswer answer([&](QDialog& dialog) {
        if (auto* colours = dynamic_cast<QColorDialog*>(&dialog)) {
            colours->setCurrentColor(picked);
            return int(QDialog::Accepted);
        }
        Rotate(dynamic_cast<TRotateForm&>(dialog), picked);
        dialog.hide();
        return int(QDialog::Rejected);
    });
    form->RotateBtnClick();
    EXPECT_EQ(answer.shown, 2);
}

TEST_F(CropPageDialogsOnScreen, Resize)
{
    DialogAnswer answer([](QDialog& dialog) {
        Resize(dynamic_cast<TResizeForm&>(dialog));
        dialog.hide();
        return int(QDialog::Rejected);
    });
    form->SizeBtnClick();
    EXPECT_EQ(answer.shown, 1);
}

TEST_F(CropPageDialogsOnScreen, ColourCountThenReduction)
{
    DialogAnswer answer([](QDialog& dialog) {
        if (auto* count = dynamic_cast<TDepthChangeForm*>(&dialog)) {
            CountColours(*count);
            dialog.hide();
            return int(QDialog::Accepted);
        }
        ReductionOptions(dynamic_cast<TDepthDownForm&>(dialog));
        dialog.hide();
        return int(QDialog::Rejected);
    });
    form->FTiefeBtnClick();
    EXPECT_EQ(answer.shown, 2);
}

} // namespace
