// The optimize page as the user sees it: after every step the X server shows
// what the page drawn from scratch shows.
#include "MainWindowFixture.h"
#include "ScreenFixture.h"
#include "ScreenGrab.h"
#include "UserInput.h"

#include "correct/VariationGrid.h"
#include "imagora/DibWriter.h"
#include "toolkit/PaintBox.h"
#include "toolkit/RadioGroup.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QWindow>

#include <filesystem>

namespace {

class OptimizePageOnScreen : public MainWindowTest {
protected:
    void SetUp() override
    {
        REQUIRE_X_SCREEN();
        MainWindowTest::SetUp();
        // a picture with detail in every cell, so a stale cell shows
        const std::string path = programDir + "photo.bmp";
        DibGuard photo(MakeDib(320, 240, 24, [](int x, int y) {
            return RGB(std::uint8_t(x * 255 / 319), std::uint8_t(y * 255 / 239),
                       std::uint8_t((x ^ y) & 0xC0));
        }));
        ASSERT_TRUE(WriteDibFile(photo.dib, path));
        form->OpenFileNow(path);
        form->PageControl2->setCurrentWidget(form->TabSheet4);
        form->show();
        ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->isExposed(); }));
    }
};

TEST_F(OptimizePageOnScreen, EveryStepReachesTheScreen)
{
    ASSERT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "shown";

    ClickAt(form->PaintBox1, QPoint(form->PaintBox1->width() - 20, form->PaintBox1->height() - 20));
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after a click on a cell";

    form->resize(form->width() + 83, form->height() + 61);
    ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->width() == form->width(); }));
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after a resize";

    form->UndoBtn2->click();
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after undo";

    for (QRadioButton* item : form->KModeBox->findChildren<QRadioButton*>())
        if (item->text() == QStringLiteral("Kontrast"))
            item->click();
    ASSERT_EQ(form->KModeBox->ItemIndex(), 1);
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after a mode change";

    form->IntensEd->stepUp();
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after a step of the intensity";

    PressKey(form.get(), Qt::Key_9, Qt::KeypadModifier);
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after keypad 9";

    PressKey(form.get(), Qt::Key_Z, Qt::ControlModifier);
    WaitForAnimatedClick();
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after Ctrl+Z";

    form->ClipCheck->click();
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "with the clipping marked";
    const QImage current = form->HistogramBox->CanvasImage().copy();
    const QPoint cell(20, 20);
    QMouseEvent hover(QEvent::MouseMove, cell, form->PaintBox1->mapToGlobal(cell), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->PaintBox1, &hover);
    EXPECT_NE(form->HistogramBox->CanvasImage(), current) << "the hovered cell's histogram";
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "with a cell hovered";
    form->ClipCheck->click(); // kept for the next run otherwise
}

class OptimizePageLayout : public ScreenTest {};

TEST_F(OptimizePageLayout, ThePicturesLieWhereTheLayoutPutsThem)
{
    // larger than any cell, as enlarging a preview interpolates its colours
    DibGuard photo(MakeBlockPicture(1280, 960));
    OpenPicture(photo.dib);
    form->PageControl2->setCurrentWidget(form->TabSheet4);
    const auto expectPictures = [this](const char* when) {
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << when;
        PaintBox* current = form->PaintBox2;
        EXPECT_TRUE(PictureOnScreen(current, FittedOnScreen(current, 1280, 960), false,
                                    current->EraseColor().rgb()))
            << when << ", the current picture";
        // the middle cell shows the picture unchanged
        PaintBox* grid = form->PaintBox1;
        const VariationGeometry g = VariationGridGeometry(grid->width(), grid->height(), 1280, 960);
        const auto [x, y] = VariationCellOrigin(grid->width(), grid->height(), {1, 1});
        EXPECT_TRUE(PictureOnScreen(grid, ToDevice(QRect(x, y, g.PreviewWidth, g.PreviewHeight)),
                                    false, grid->EraseColor().rgb()))
            << when << ", the middle cell";
    };
    ASSERT_TRUE(ShowOnScreen(form.get()));
    expectPictures("shown");
    ASSERT_TRUE(ResizeOnScreen(form.get(), form->size() + QSize(83, 61)));
    expectPictures("after a resize");
}

} // namespace
