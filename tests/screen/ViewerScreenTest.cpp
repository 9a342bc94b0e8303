// The picture viewer as the user sees it, at any pixel density: the zoomed
// picture lies in the view where the zoom and the scroll positions put it,
// through a drag, zooms by field, button, wheel and key, and a resize; split,
// before and after show side by side.
#include "DialogAnswer.h"
#include "ScreenFixture.h"
#include "UserInput.h"

#include "display/ViewPicForm.h"
#include "imagora/Imagora.h"
#include "toolkit/PaintBox.h"

#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QWheelEvent>

#include <algorithm>

namespace {

class ViewerOnScreen : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        QSettings().remove(QStringLiteral("TViewPicForm")); // the size as designed
    }

    // The screen shows what a fresh redraw shows, and the zoomed picture
    // where the scroll positions put it.
    void ExpectView(TViewPicForm& viewer, const char* when)
    {
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&viewer)) << when;
        const ZoomedSize box = viewer.BoxSize();
        const QRect shown = ToDevice(QRect(-viewer.HorzScrollBar->value(),
                                           -viewer.VertScrollBar->value(), box.width, box.height));
        EXPECT_TRUE(
            PictureOnScreen(viewer.PaintBox1, shown, false, viewer.PaintBox1->EraseColor().rgb()))
            << when << " (zoom " << viewer.ZoomEd->value() << " %)";
    }

    void LookAt(TViewPicForm& viewer)
    {
        ASSERT_TRUE(ShowOnScreen(&viewer));
        ASSERT_EQ(viewer.ZoomEd->value(), 100);
        ExpectView(viewer, "at 100 %");

        DragFromTo(viewer.PaintBox1, QPointF(300, 200), QPointF(200, 140));
        ASSERT_EQ(viewer.HorzScrollBar->value(), 100);
        ASSERT_EQ(viewer.VertScrollBar->value(), 60);
        ExpectView(viewer, "after a drag");

        viewer.ZoomEd->setValue(25);
        ExpectView(viewer, "at 25 %");

        viewer.FitBtn->click();
        ExpectView(viewer, "fitted to the window");

        const QPointF at(120, 90);
        QWheelEvent wheel(at, viewer.PaintBox1->mapToGlobal(at), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer.PaintBox1, &wheel);
        ExpectView(viewer, "after Ctrl and the wheel");

        PressKey(&viewer, Qt::Key_Plus);
        ExpectView(viewer, "after +");

        ASSERT_TRUE(ResizeOnScreen(&viewer, viewer.size() + QSize(120, 90)));
        ExpectView(viewer, "after a resize");
        viewer.hide();
    }

    // A point in each half of the split view shows the picture of its side
    // where the one zoom and pan put it.
    void ExpectSplit(TViewPicForm& viewer, const char* when)
    {
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&viewer)) << when;
        const ZoomedSize box = viewer.BoxSize();
        const TDibRecord& left = viewer.ShowingBefore() ? viewer.ViewDib : viewer.BeforeDib;
        const TDibRecord& right = viewer.ShowingBefore() ? viewer.BeforeDib : viewer.ViewDib;
        const auto sample = [&](const TDibRecord& picture, int x, int y) {
            const int px = (viewer.HorzScrollBar->value() + x) * DibWidth(picture) / box.width;
            const int py = (viewer.VertScrollBar->value() + y) * DibHeight(picture) / box.height;
            const std::uint32_t v = getpixel(picture, px, py);
            return ScreenSample{QPoint(int(x * Scale()), int(y * Scale())),
                                qRgb(int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF)), when};
        };
        // the halves of the picture's visible part
        const int w =
            std::min(viewer.PaintBox1->width(), box.width - viewer.HorzScrollBar->value());
        EXPECT_TRUE(SamplesOnScreen(viewer.PaintBox1,
                                    {sample(left, w / 4, 30), sample(right, w * 3 / 4, 30)}))
            << when;
    }
};

TEST_F(ViewerOnScreen, ThePictureLiesWhereZoomAndScrollingPutIt)
{
    DibGuard photo(MakeBlockPicture(640, 480));
    OpenPicture(photo.dib);
    DialogAnswer answer([this](QDialog& dialog) {
        LookAt(dynamic_cast<TViewPicForm&>(dialog));
        return int(QDialog::Accepted);
    });
    form->PaintBox2MouseDown(); // the optimize page's click on the picture
    EXPECT_EQ(answer.shown, 1);
}

TEST_F(ViewerOnScreen, SplitFromTheResultPageShowsBeforeAndAfterSideBySide)
{
    DibGuard photo(MakeBlockPicture(640, 480));
    OpenPicture(photo.dib);
    form->ApplyStep(MirrorStep(true));
    form->ApplyStep(CorrectStep(kModeHelligkeit, 4, 30));
    form->PageControl2->setCurrentWidget(form->TabSheet5);
    DialogAnswer answer([this](QDialog& dialog) {
        auto& viewer = dynamic_cast<TViewPicForm&>(dialog);
        EXPECT_TRUE(ShowOnScreen(&viewer));
        PressKey(&viewer, Qt::Key_T);
        viewer.HorzScrollBar->setValue(37);
        ExpectSplit(viewer, "split");
        PressKey(&viewer, Qt::Key_V);
        ExpectSplit(viewer, "the sides changed");
        viewer.ZoomEd->setValue(250);
        ExpectSplit(viewer, "at 250 %");
        viewer.ZoomEd->setValue(33);
        ExpectSplit(viewer, "at 33 %, smaller than the window");
        viewer.ZoomEd->setValue(100);
        EXPECT_TRUE(ResizeOnScreen(&viewer, viewer.size() + QSize(120, 90)));
        ExpectSplit(viewer, "after a resize");
        viewer.SplitBtn->click();
        viewer.hide();
        return int(QDialog::Accepted);
    });
    form->ErgPaintBox->OnMouseDown(Qt::LeftButton, 3, 3);
    EXPECT_EQ(answer.shown, 1);
}

} // namespace
