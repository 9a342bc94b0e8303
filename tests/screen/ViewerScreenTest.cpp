// The picture viewer as the user sees it, at any pixel density: the zoomed
// picture lies in the view where the zoom and the scroll positions put it,
// through a drag, zooms by field, button, wheel and key, and a resize.
#include "DialogAnswer.h"
#include "ScreenFixture.h"
#include "UserInput.h"

#include "display/ViewPicForm.h"
#include "toolkit/PaintBox.h"

#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QWheelEvent>

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

} // namespace
