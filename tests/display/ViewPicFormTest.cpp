// The picture viewer: the box takes the zoomed size, dragging and the wheel
// scroll within the picture, the view shows what the whole zoomed picture
// shows there, and the optimize page opens it on the working image.
#include "MainWindowFixture.h"

#include "DialogAnswer.h"
#include "UserInput.h"
#include "display/StretchDrawDib.h"
#include "display/ViewPicForm.h"
#include "io/PrintForm.h"
#include "toolkit/PaintBox.h"
#include "toolkit/Shell.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QWheelEvent>

namespace {

class Viewer : public LeakCheckedTest {
protected:
    void SetUp() override
    {
        LeakCheckedTest::SetUp();
        QSettings().remove(QStringLiteral("TViewPicForm")); // the size as designed
        picture = MakeDib(640, 480, 24, [](int x, int y) {
            return RGB(std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y));
        });
        viewer = std::make_unique<TViewPicForm>();
        viewer->ViewDib = picture;
    }
    void TearDown() override
    {
        viewer.reset();
        deldib(picture);
        LeakCheckedTest::TearDown();
    }
    void Show()
    {
        viewer->show();
        QApplication::processEvents();
    }
    void Zoom(int percent)
    {
        viewer->ZoomEd->setValue(percent);
        QApplication::processEvents();
    }
    int H() { return viewer->HorzScrollBar->value(); }
    int V() { return viewer->VertScrollBar->value(); }
    void Wheel(int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               QPointF at = QPointF(50, 50))
    {
        QWheelEvent event(at, viewer->PaintBox1->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer->PaintBox1, &event);
    }

    TDibRecord picture{};
    std::unique_ptr<TViewPicForm> viewer;
};

TEST_F(Viewer, TheBoxTakesTheZoomedSizeWidthFirst)
{
    EXPECT_EQ(viewer->BoxSize(), (ZoomedSize{105, 105})) << "until the first paint";
    viewer->PaintBox1Paint(); // hidden: each step waits for the next paint
    EXPECT_EQ(viewer->BoxSize(), (ZoomedSize{640, 105}));
    viewer->PaintBox1Paint();
    EXPECT_EQ(viewer->BoxSize(), (ZoomedSize{640, 480}));
    Show();
    for (auto [zoom, size] : {std::pair{5, ZoomedSize{32, 24}}, std::pair{33, ZoomedSize{211, 158}},
                              std::pair{100, ZoomedSize{640, 480}}}) {
        Zoom(zoom);
        EXPECT_EQ(viewer->BoxSize(), size) << zoom << " %";
    }
    EXPECT_EQ(viewer->ZoomEd->minimum(), 5);
    EXPECT_EQ(viewer->ZoomEd->maximum(), 9000);
}

TEST_F(Viewer, DraggingAndTheWheelScrollWithinThePicture)
{
    Show();
    Zoom(400); // 2560 x 1920
    viewer->HorzScrollBar->setValue(1000);
    viewer->VertScrollBar->setValue(500);
    viewer->PaintBox1MouseDown(1000 + 100, 500 + 100);
    viewer->PaintBox1MouseMove(1000 + 160, 500 + 100); // dragged 60 to the right
    EXPECT_EQ(H(), 940) << "the view moves to the left part";
    EXPECT_EQ(V(), 500);
    viewer->PaintBox1MouseMove(940 + 5000, 500 + 100);
    EXPECT_EQ(H(), 0) << "stops at the left edge";
    viewer->PaintBox1MouseMove(0 + 100, 500 - 5000);
    EXPECT_EQ(V(), viewer->VertScrollBar->maximum()) << "stops at the bottom edge";
    EXPECT_EQ(H(), 1000) << "the horizontal position follows only the horizontal drag";
    viewer->PaintBox1MouseUp();
    viewer->PaintBox1MouseMove(0, 0);
    EXPECT_EQ(H(), 1000) << "no drag after the release";

    viewer->VertScrollBar->setValue(500);
    Wheel(-120);
    EXPECT_EQ(V(), 520);
    Wheel(120);
    Wheel(120);
    EXPECT_EQ(V(), 480);
    Zoom(5);
    Wheel(-120);
    EXPECT_EQ(V(), 0) << "nothing to scroll at 5 %";
}

TEST_F(Viewer, TheViewShowsWhatTheWholeZoomedPictureShowsThere)
{
    Show();
    Zoom(400);
    viewer->HorzScrollBar->setValue(1234);
    viewer->VertScrollBar->setValue(567);
    QApplication::processEvents();
    const QImage& view = viewer->PaintBox1->CanvasImage();
    // picture pixel (x div 4, y div 4) at box pixel (x, y)
    for (int y = 0; y < view.height(); y += 7)
        for (int x = 0; x < view.width(); x += 5) {
            const int px = (1234 + x) / 4, py = (567 + y) / 4;
            ASSERT_EQ(view.pixel(x, y), qRgb(px & 255, py & 255, (px ^ py) & 255)) << x << "," << y;
        }
}

TEST_F(Viewer, CtrlAndTheWheelZoomInStepsKeepingThePointUnderThePointer)
{
    Show();
    Zoom(400);
    viewer->HorzScrollBar->setValue(1000);
    viewer->VertScrollBar->setValue(500);
    Wheel(120, Qt::ControlModifier, QPointF(100, 80));
    EXPECT_EQ(viewer->ZoomEd->value(), 600);
    EXPECT_EQ(viewer->BoxSize(), (ZoomedSize{3840, 2880}));
    EXPECT_EQ(H(), (1000 + 100) * 3 / 2 - 100);
    EXPECT_EQ(V(), (500 + 80) * 3 / 2 - 80);
    Wheel(-60, Qt::ControlModifier, QPointF(100, 80));
    EXPECT_EQ(viewer->ZoomEd->value(), 600) << "half a notch of a touchpad";
    Wheel(-60, Qt::ControlModifier, QPointF(100, 80));
    EXPECT_EQ(viewer->ZoomEd->value(), 400);
    EXPECT_EQ(H(), 1000);
    EXPECT_EQ(V(), 500);
}

TEST_F(Viewer, KeysZoomAndFitTheWholePictureIntoTheWindow)
{
    Show();
    struct Row {
        int key;
        Qt::KeyboardModifiers modifiers;
        int zoom;
    };
    for (const Row& r :
         {Row{Qt::Key_Minus, Qt::NoModifier, 67}, Row{Qt::Key_Plus, Qt::NoModifier, 100},
          Row{Qt::Key_Plus, Qt::KeypadModifier, 150}, Row{Qt::Key_Minus, Qt::KeypadModifier, 100},
          Row{Qt::Key_Plus, Qt::ControlModifier, 150}}) {
        PressKey(viewer.get(), r.key, r.modifiers);
        EXPECT_EQ(viewer->ZoomEd->value(), r.zoom) << r.key << " " << r.modifiers;
    }
    viewer->ZoomEd->setFocus();
    PressKey(viewer.get(), Qt::Key_Minus);
    EXPECT_EQ(viewer->ZoomEd->value(), 100) << "also from the zoom field";

    // fitting by the key, then by the button in a wide window from a large zoom
    for (QSize window : {QSize(532, 420), QSize(900, 300)}) {
        viewer->resize(window);
        viewer->ZoomEd->setValue(900);
        QApplication::processEvents();
        if (window.width() == 532)
            PressKey(viewer.get(), Qt::Key_0, Qt::ControlModifier);
        else
            viewer->FitBtn->click();
        QApplication::processEvents();
        const QSize area = viewer->ScrollBox1->size();
        EXPECT_EQ(viewer->ZoomEd->value(), FitZoom(640, 480, area.width(), area.height()));
        EXPECT_FALSE(viewer->HorzScrollBar->isVisible()) << "the whole picture shows";
        EXPECT_FALSE(viewer->VertScrollBar->isVisible());
        EXPECT_EQ(H(), 0);
        EXPECT_EQ(V(), 0);
    }
}

TEST_F(Viewer, ItsSizeComesBackInTheNextRunWithinTheScreen)
{
    EXPECT_EQ(viewer->size(), QSize(532, 420)) << "as designed the first time";
    Show();
    viewer->resize(610, 470);
    viewer->ReadyBtn->click();
    EXPECT_EQ(TViewPicForm().size(), QSize(610, 470));

    // stored on a larger screen than this one
    QSettings().setValue(QStringLiteral("TViewPicForm/Size"), QSize(30000, 20000));
    TViewPicForm large;
    const QSize screen = large.screen()->availableGeometry().size();
    EXPECT_TRUE(large.width() <= screen.width() && large.height() <= screen.height());
}

TEST_F(Viewer, OpenAsksTheDesktopAndPrintLaysOutThePicture)
{
    std::vector<std::string> opened;
    SetShellOpenHandler([&](const std::string& target) { opened.push_back(target); });
    viewer->OpenBtn->click();
    EXPECT_TRUE(opened.empty()) << "no file: nothing to open";
    viewer->PicFileName = "/photos/a.jpg";
    viewer->OpenBtn->click();
    EXPECT_EQ(opened, std::vector<std::string>{"/photos/a.jpg"});
    SetShellOpenHandler(nullptr);

    const std::uint8_t* printed = nullptr;
    DialogAnswer answer([&](QDialog& dialog) {
        printed = dynamic_cast<TPrintForm&>(dialog).PrintDib.Bits;
        return int(QDialog::Rejected);
    });
    viewer->PrintBrn->click();
    EXPECT_EQ(printed, picture.Bits);
}

TEST_F(Viewer, VSwitchesToTheBeforePictureAtTheSameZoomAndPlace)
{
    DibGuard before(MakeDib(640, 480, 24, [](int, int) { return RGB(9, 99, 199); }));
    viewer->BeforeDib = before.dib;
    viewer->ShowBefore(false);
    Show();
    Zoom(300);
    viewer->HorzScrollBar->setValue(700);
    viewer->VertScrollBar->setValue(400);
    const QImage& view = viewer->PaintBox1->CanvasImage();
    // rows: the key, then what shows; the zoom field has the focus in the last
    for (const auto& [shownBefore, focusZoom] :
         {std::pair{true, false}, std::pair{false, false}, std::pair{true, true}}) {
        if (focusZoom)
            viewer->ZoomEd->setFocus();
        PressKey(viewer.get(), Qt::Key_V);
        QApplication::processEvents();
        EXPECT_EQ(viewer->ShowingBefore(), shownBefore);
        EXPECT_EQ(viewer->ZoomEd->value(), 300);
        EXPECT_EQ(H(), 700);
        EXPECT_EQ(V(), 400);
        const int px = (700 + 10) / 3, py = (400 + 10) / 3;
        EXPECT_EQ(view.pixel(10, 10),
                  shownBefore ? qRgb(9, 99, 199) : qRgb(px & 255, py & 255, (px ^ py) & 255));
    }
}

// What each half shows, at any zoom, the screen test sees.
TEST_F(Viewer, TheSplitViewNeedsABeforePictureAndPansBothHalvesAsOne)
{
    DibGuard before(MakeDib(640, 480, 24, [](int, int) { return RGB(9, 99, 199); }));
    Show();
    PressKey(viewer.get(), Qt::Key_T);
    EXPECT_FALSE(viewer->IsSplit()) << "nothing to split without a before picture";
    EXPECT_FALSE(viewer->SplitBtn->isVisible());

    viewer->BeforeDib = before.dib;
    viewer->ShowBefore(false);
    Zoom(200);
    viewer->HorzScrollBar->setValue(300);
    PressKey(viewer.get(), Qt::Key_T);
    ASSERT_TRUE(viewer->IsSplit());
    viewer->SplitBox->OnMouseDown(Qt::LeftButton, 50, 50);
    viewer->SplitBox->OnMouseMove(Qt::LeftButton, 10, 50);
    EXPECT_EQ(H(), 340) << "a drag on the right half";
    viewer->SplitBtn->click();
    EXPECT_FALSE(viewer->SplitBox->isVisible());
}

class ViewerFromOptimizePage : public MainWindowTest {};

TEST_F(ViewerFromOptimizePage, AClickOnThePictureOpensTheViewerWhichKeepsItsZoom)
{
    form->FileName = "/photos/b.jpg";
    int shown = 0;
    DialogAnswer answer([&](QDialog& dialog) {
        auto& viewer = dynamic_cast<TViewPicForm&>(dialog);
        EXPECT_EQ(viewer.ViewDib.Bits, form->WorkDib.Bits) << "the working image, shared";
        EXPECT_EQ(viewer.PicFileName, "/photos/b.jpg");
        EXPECT_EQ(viewer.ZoomEd->value(), shown == 0 ? 100 : 250);
        viewer.ZoomEd->setValue(250);
        ++shown;
        return int(QDialog::Accepted);
    });
    form->PaintBox2->OnMouseDown(Qt::RightButton, 3, 3);
    form->PaintBox2MouseDown();
    EXPECT_EQ(shown, 2);
}

} // namespace
