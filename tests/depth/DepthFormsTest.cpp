#include "BandSupport.h"
#include "MainWindowFixture.h"
#include "PictureSupport.h"

#include "DialogAnswer.h"
#include "app/PictureFingerprint.h"
#include "depth/DepthChangeForm.h"
#include "depth/DepthDownForm.h"
#include "depth/DepthPreviewViews.h"
#include "depth/DepthTables.h"
#include "imagora/DibWriter.h"
#include "toolkit/PaintBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <functional>

namespace {

// A button of a group sits where designed, at least as wide as designed and
// wider only as far as its caption needs and the group's frame allows.
void ExpectPlaced(const QAbstractButton* button, int left, int top, int width)
{
    EXPECT_EQ(button->pos(), QPoint(left, top)) << button->text().toStdString();
    EXPECT_EQ(button->height(), 17);
    EXPECT_GE(button->width(), width);
    EXPECT_LT(button->geometry().right(), button->parentWidget()->width() - 1);
    EXPECT_TRUE(button->width() == width || button->width() <= button->sizeHint().width());
}

class DepthForms : public MainWindowTest {
protected:
    // A 24-bit working image of varied colours, with an undo copy of a
    // different picture, so that every path shows whether it took its own.
    void SetUp() override
    {
        MainWindowTest::SetUp();
        Work(MakeDib(37, 11, 24, [](int x, int y) {
            return RGB(std::uint8_t(x * 7), std::uint8_t(y * 23), std::uint8_t(x * y));
        }));
    }

    void Work(const TDibRecord& picture)
    {
        form->InstallOpened(picture, {});
    }

    bool UndoCopyTaken() { return form->Steps().CanUndo(); }

    // Answers the colour-count dialog with item `item`, and the options
    // dialog (if it comes) through `options`, OK unless it returns otherwise.
    std::unique_ptr<DialogAnswer> Answer(int item, std::function<int(TDepthDownForm&)> options = {})
    {
        return std::make_unique<DialogAnswer>([this, item, options](QDialog& dialog) {
            if (&dialog == form->DepthChangeForm) {
                preselected.push_back(form->DepthChangeForm->ColorBox->currentIndex());
                form->DepthChangeForm->ColorBox->setCurrentIndex(item);
                return item < 0 ? int(QDialog::Rejected) : int(QDialog::Accepted);
            }
            ++optionsShown;
            return options ? options(*form->DepthDownForm) : int(QDialog::Accepted);
        });
    }

    std::vector<int> preselected;
    int optionsShown = 0;
};

TEST_F(DepthForms, OptionsStartAsDesignedAndEveryCaptionFits)
{
    TDepthDownForm& f = *form->DepthDownForm;
    EXPECT_TRUE(f.OptPalCheck->isChecked());
    EXPECT_TRUE(f.FSErrCheck->isChecked());
    EXPECT_TRUE(f.WinColCheck->isChecked());
    EXPECT_FALSE(f.Target8Bit());
    ExpectPlaced(f.OptPalCheck, 16, 16, 113);
    ExpectPlaced(f.StdPalCheck, 16, 32, 113);
    ExpectPlaced(f.NearCheck, 16, 16, 169);
    ExpectPlaced(f.DitherCheck, 16, 32, 169);
    ExpectPlaced(f.FSErrCheck, 16, 48, 169);
    ExpectPlaced(f.WinColCheck, 8, 32, 161);
    const QAbstractButton* buttons[] = {f.OptPalCheck, f.StdPalCheck, f.NearCheck,
                                        f.DitherCheck, f.FSErrCheck,  f.WinColCheck};
    for (const QAbstractButton* b : buttons)
        EXPECT_LE(b->sizeHint().width(), b->width() + 1) << b->text().toStdString();
}

TEST_F(DepthForms, TheListStartsAtThePicturesDepth)
{
    const auto answer = Answer(-1);
    for (int bits : {24, 8, 4, 1, 16}) {
        Work(MakeDib(3, 2, bits, [](int, int) { return 0u; }));
        form->FTiefeBtnClick();
    }
    EXPECT_EQ(preselected, (std::vector<int>{3, 2, 1, 0, 0}));
}

TEST_F(DepthForms, CancelChangesNothingAndTakesNoUndoCopy)
{
    const std::uint32_t before = getpixel(form->WorkDib, 5, 5);
    const auto answer = Answer(-1);
    form->FTiefeBtnClick();
    EXPECT_FALSE(UndoCopyTaken());
    EXPECT_EQ(DibBitCount(form->WorkDib), 24);
    EXPECT_EQ(getpixel(form->WorkDib, 5, 5), before);
    EXPECT_EQ(optionsShown, 0);
}

TEST_F(DepthForms, TheSameDepthIsNoStep)
{
    const std::uint32_t before = getpixel(form->WorkDib, 5, 5);
    const auto answer = Answer(3);
    form->FTiefeBtnClick();
    EXPECT_FALSE(UndoCopyTaken());
    EXPECT_EQ(getpixel(form->WorkDib, 5, 5), before);
    EXPECT_EQ(optionsShown, 0);
}

TEST_F(DepthForms, ADepthLeftAsItWasLeavesNothingUnsaved)
{
    const std::string path = programDir + "photo.bmp";
    ASSERT_TRUE(WriteDibFile(form->WorkDib, path));
    form->OpenFileNow(path);
    const std::uint64_t opened = PictureFingerprint(form->WorkDib);
    const struct {
        const char* way;
        int item; // -1: the colour-count dialog cancelled
        int options;
        bool unsaved;
    } rows[] = {
        {"cancelled", -1, QDialog::Accepted, false},
        {"its own depth confirmed", 3, QDialog::Accepted, false},
        {"the reduction's options cancelled", 1, QDialog::Rejected, false},
        {"reduced", 1, QDialog::Accepted, true},
    };
    for (const auto& r : rows) {
        const auto answer = Answer(r.item, [&](TDepthDownForm&) { return r.options; });
        form->FTiefeBtnClick();
        EXPECT_EQ(form->PictureDiffersFromFile(), r.unsaved) << r.way;
        EXPECT_EQ(PictureFingerprint(form->WorkDib) != opened, r.unsaved) << r.way;
    }
}

TEST_F(DepthForms, ReducingRunsTheOptionsAndUndoBringsTheColoursBack)
{
    DibGuard original;
    MakeDIBCopy(form->WorkDib, original.dib);
    const auto answer = Answer(2, [](TDepthDownForm& f) {
        EXPECT_TRUE(f.Target8Bit());
        f.StdPalCheck->click();
        EXPECT_TRUE(f.DitherCheck->isEnabled());
        f.DitherCheck->click();
        return int(QDialog::Accepted);
    });
    form->FTiefeBtnClick();
    ASSERT_EQ(DibBitCount(form->WorkDib), 8);
    EXPECT_EQ(PaletteColour(form->WorkDib, 255), Rgb(255, 255, 255)) << "the standard palette";
    EXPECT_EQ(getpixel(Before(), 5, 5), getpixel(original.dib, 5, 5));
    form->UndoBtn1Click();
    EXPECT_EQ(DibBitCount(form->WorkDib), 24);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(getpixel(form->WorkDib, x, y), getpixel(original.dib, x, y));
}

TEST_F(DepthForms, CancelInTheOptionsKeepsThePictureAndTakesNoStep)
{
    const auto answer = Answer(0, [](TDepthDownForm& f) {
        EXPECT_FALSE(f.OptPalCheck->isEnabled());
        EXPECT_FALSE(f.WinColCheck->isEnabled());
        return int(QDialog::Rejected);
    });
    form->FTiefeBtnClick();
    EXPECT_EQ(optionsShown, 1);
    EXPECT_FALSE(UndoCopyTaken());
    EXPECT_EQ(DibBitCount(form->WorkDib), 24);
}

TEST_F(DepthForms, DepthsWithoutAConversionShowTheDialogsAndChangeNothing)
{
    Work(MakeDib(6, 4, 16, [](int x, int) { return std::uint32_t(x * 999); }));
    {
        const auto raise = Answer(3);
        form->FTiefeBtnClick();
    }
    const auto reduce = Answer(2);
    form->FTiefeBtnClick();
    EXPECT_EQ(preselected, (std::vector<int>{0, 0})) << "a depth the list lacks";
    EXPECT_EQ(optionsShown, 1);
    EXPECT_EQ(DibBitCount(form->WorkDib), 16);
    EXPECT_EQ(getpixel(form->WorkDib, 5, 0), 4995u);
}

TEST_F(DepthForms, RaisingAndUndoingAPalettePicture)
{
    Work(PalettePicture(4, {{10, 20, 30}, {200, 100, 0}}));
    const auto answer = Answer(3);
    form->FTiefeBtnClick();
    ASSERT_EQ(DibBitCount(form->WorkDib), 24);
    EXPECT_EQ(PixelColour(form->WorkDib, 1, 0), Rgb(200, 100, 0));
    form->UndoBtn1Click();
    EXPECT_EQ(DibBitCount(form->WorkDib), 4);
}

TEST_F(DepthForms, TheOptionsKeepTheirStatesFromOneUseToTheNext)
{
    {
        const auto answer = Answer(2, [](TDepthDownForm& f) {
            f.WinColCheck->click(); // before the palette click disables it
            f.StdPalCheck->click();
            f.NearCheck->click();
            return int(QDialog::Accepted);
        });
        form->FTiefeBtnClick();
    }
    Work(MakeDib(5, 5, 24, [](int x, int) { return RGB(std::uint8_t(x * 60), 0, 0); }));
    const auto again = Answer(1, [](TDepthDownForm& f) {
        EXPECT_TRUE(f.StdPalCheck->isChecked());
        EXPECT_TRUE(f.NearCheck->isChecked());
        EXPECT_FALSE(f.WinColCheck->isChecked());
        EXPECT_FALSE(f.Target8Bit());
        EXPECT_FALSE(f.DitherCheck->isEnabled());
        return int(QDialog::Accepted);
    });
    form->FTiefeBtnClick();
    ASSERT_EQ(DibBitCount(form->WorkDib), 4);
    EXPECT_EQ(PaletteColour(form->WorkDib, 9), Rgb(255, 0, 0)) << "the standard 16 colours";
}

TEST_F(DepthForms, ClickingTheOptimizedPaletteLeavesOrderedDithering)
{
    TDepthDownForm& f = *form->DepthDownForm;
    f.Prepare(8);
    f.StdPalCheck->click();
    f.DitherCheck->click();
    EXPECT_FALSE(f.WinColCheck->isEnabled());
    f.OptPalCheck->click();
    EXPECT_FALSE(f.DitherCheck->isEnabled());
    EXPECT_TRUE(f.FSErrCheck->isChecked());
    EXPECT_TRUE(f.WinColCheck->isEnabled());
    EXPECT_EQ(f.Choice(), (DepthDownChoice{DepthMethod::FloydSteinberg, true, true}));
}

TEST_F(DepthForms, TheCropPageShowsTheNewPicture)
{
    form->PageControl2->setCurrentWidget(form->TabSheet1);
    ShowWindow();
    const auto answer = Answer(0, [](TDepthDownForm& f) {
        f.NearCheck->click();
        return int(QDialog::Accepted);
    });
    Work(MakeDib(40, 30, 24, [](int, int) { return RGB(250, 250, 250); }));
    form->RetuschPaint->Repaint();
    form->FTiefeBtnClick();
    ASSERT_EQ(DibBitCount(form->WorkDib), 1);
    const QImage& pane = form->RetuschPaint->CanvasImage();
    EXPECT_EQ(pane.pixel(2, 2), qRgb(255, 255, 255)) << "light grey became white";
}

} // namespace

namespace {

// Whatever choice was left before, a click on a preview makes OK give just
// that preview's reduction.
TEST_F(DepthForms, AClickOnAPreviewIsWhatOKGives)
{
    for (const int item : {0, 1, 2}) {
        const int bits = kColorBoxBits[std::size_t(item)];
        for (std::size_t i = 0; i < DepthChoicesFor(bits, true).size(); ++i) {
            DepthDownChoice clicked;
            const auto answer = Answer(item, [&](TDepthDownForm& f) {
                EXPECT_EQ(f.PreviewTiles.size(), DepthChoicesFor(bits, true).size());
                f.PreviewTiles[i]->Clicked();
                clicked = f.PreviewTiles[i]->Choice;
                return int(QDialog::Accepted);
            });
            DibGuard original;
            MakeDIBCopy(form->WorkDib, original.dib);
            form->FTiefeBtnClick();
            NullProgress quiet;
            DibGuard expected(DepthDownTo(original.dib, bits, clicked, quiet));
            SCOPED_TRACE(std::to_string(bits) + " bits, preview " + std::to_string(i));
            EXPECT_EQ(DibBytes(form->WorkDib), DibBytes(expected.dib));
            form->UndoBtn1Click();
        }
    }
}

} // namespace
