// The crop page as the user sees it, at the screen's own resolution: the
// selection's dotted outline lies on the device pixels of the part that the
// cut keeps, the rest of the picture is dimmed, and after every step the
// screen shows what the page drawn from scratch shows.
#include "MainWindowFixture.h"
#include "ScreenGrab.h"

#include "imagora/DibWriter.h"
#include "toolkit/PaintBox.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QWindow>

namespace {

class CropPageOnScreen : public MainWindowTest {
protected:
    void SetUp() override
    {
        REQUIRE_X_SCREEN();
        MainWindowTest::SetUp();
        const std::string path = programDir + "photo.bmp";
        DibGuard photo(MakeDib(600, 400, 24, [](int x, int y) {
            return RGB(std::uint8_t(x * 255 / 599), std::uint8_t(y * 255 / 399),
                       std::uint8_t((x ^ y) & 0xC0));
        }));
        ASSERT_TRUE(WriteDibFile(photo.dib, path));
        form->OpenFileNow(path);
        form->CropProportionBox->setCurrentIndex(0);
        form->PageControl2->setCurrentWidget(form->TabSheet1);
        form->show();
        ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->isExposed(); }));
    }

    // Hover, press, move with the button held, release.
    void Drag(int x, int y, int toX, int toY)
    {
        const auto send = [this](QEvent::Type type, int x, int y, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(x, y), form->RetuschPaint->mapToGlobal(QPointF(x, y)),
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                              Qt::NoModifier);
            QApplication::sendEvent(form->RetuschPaint, &event);
        };
        send(QEvent::MouseMove, x, y, Qt::NoButton);
        send(QEvent::MouseButtonPress, x, y, Qt::LeftButton);
        send(QEvent::MouseMove, toX, toY, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, toX, toY, Qt::NoButton);
    }

    // The colour the screen shows for the paint box's logical pixel (x, y),
    // a square of device pixels; 1 when the square is not of one colour.
    static QRect Square(const PaintBox* box, int x, int y)
    {
        const qreal scale = box->CanvasScale();
        const QPoint at = box->mapTo(box->window(), QPoint(x, y));
        return {QPoint(qRound(at.x() * scale), qRound(at.y() * scale)),
                QPoint(qRound((at.x() + 1) * scale) - 1, qRound((at.y() + 1) * scale) - 1)};
    }
    static QRgb Shown(const QImage& screen, const PaintBox* box, int x, int y)
    {
        const QRect r = Square(box, x, y);
        for (int py = r.top(); py <= r.bottom(); ++py)
            for (int px = r.left(); px <= r.right(); ++px)
                if (screen.pixel(px, py) != screen.pixel(r.topLeft()))
                    return 1;
        return screen.pixel(r.topLeft());
    }
    // The first device pixel of that square: the picture is drawn at the
    // screen's resolution, so a square may hold several of its pixels.
    static QRgb First(const QImage& screen, const PaintBox* box, int x, int y)
    {
        return screen.pixel(Square(box, x, y).topLeft());
    }

    // Dots along the selection's top edge, one logical pixel each; the
    // picture beside it at half the brightness it had before, inside as it was.
    void ExpectSelectionShown(const QImage& before)
    {
        const QImage screen = GrabScreen(form.get());
        const RECT b = form->CropBoxRect;
        for (int x = b.left; x <= b.right; ++x)
            ASSERT_EQ(Shown(screen, form->RetuschPaint, x, b.top),
                      (x - b.left) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0))
                << "at " << x << ", " << b.top;
        const int y = (b.top + b.bottom) / 2;
        const QRgb left = First(before, form->RetuschPaint, b.left - 2, y);
        EXPECT_EQ(First(screen, form->RetuschPaint, b.left - 2, y),
                  ((left >> 1) & 0x7F7F7F) | 0xFF000000);
        EXPECT_EQ(First(screen, form->RetuschPaint, b.left + 2, y),
                  First(before, form->RetuschPaint, b.left + 2, y));
    }

    void SelectMoveAndCut()
    {
        const QImage before = GrabScreen(form.get());
        Drag(60, 50, 260, 171);
        ASSERT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after dragging a band";
        ExpectSelectionShown(before);
        Drag(150, 100, 120, 90); // inside: moves it
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after a move";
        ExpectSelectionShown(before);
        form->CropProportionBox->setCurrentIndex(2); // 1:1
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after choosing a proportion";
        ExpectSelectionShown(before);
        form->CropProportionBox->setCurrentIndex(0);

        form->CutBtn->click();
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after the cut";
        form->resize(form->width() + 71, form->height() + 53);
        ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->width() == form->width(); }));
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after a resize";
        form->UndoBtn1->click();
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after undo";
    }
};

TEST_F(CropPageOnScreen, TheSelectionLiesWhereItIsCut)
{
    SelectMoveAndCut();
}

TEST_F(CropPageOnScreen, TheSelectionLiesWhereItIsCutOnAHiDpiScreen)
{
    if (qApp->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    SelectMoveAndCut();
}

} // namespace
