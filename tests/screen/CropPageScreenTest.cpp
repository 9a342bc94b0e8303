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

    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButtons held)
    {
        const QPointF at(x, y);
        QMouseEvent event(type, at, form->RetuschPaint->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(form->RetuschPaint, &event);
    }
    void Drag(int x, int y, int toX, int toY)
    {
        Mouse(QEvent::MouseMove, x, y, Qt::NoButton);
        Mouse(QEvent::MouseButtonPress, x, y, Qt::LeftButton);
        Mouse(QEvent::MouseMove, (x + toX) / 2, (y + toY) / 2, Qt::LeftButton);
        Mouse(QEvent::MouseMove, toX, toY, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, toX, toY, Qt::NoButton);
    }

    // The screen's pixels of the paint box's logical pixel (x, y): a square
    // of scale x scale device pixels.
    QRect OnScreen(const QImage& screen, int x, int y) const
    {
        const qreal scale = screen.width() / qreal(form->width());
        const QPoint at = form->RetuschPaint->mapTo(form.get(), QPoint(x, y));
        return QRect(QPoint(qRound(at.x() * scale), qRound(at.y() * scale)),
                     QPoint(qRound((at.x() + 1) * scale) - 1, qRound((at.y() + 1) * scale) - 1));
    }
    // The colour of that square, or 1 when its pixels differ.
    QRgb Shown(const QImage& screen, int x, int y) const
    {
        const QRect r = OnScreen(screen, x, y);
        const QRgb first = screen.pixel(r.topLeft());
        for (int py = r.top(); py <= r.bottom(); ++py)
            for (int px = r.left(); px <= r.right(); ++px)
                if (screen.pixel(px, py) != first)
                    return 1;
        return first;
    }

    // The outline runs along the selection in black and white dots, one
    // logical pixel each; outside it the picture shows at half brightness.
    void ExpectSelectionShown(const QImage& undimmed)
    {
        const QImage screen = GrabScreen(form.get());
        const RECT b = form->CropBoxRect;
        const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
        for (int x = b.left; x < b.right; ++x)
            ASSERT_EQ(Shown(screen, x, b.top), (x - b.left) % 2 ? white : black) << "top at " << x;
        for (int y = b.top; y <= b.bottom; ++y) {
            const QRgb left = Shown(screen, b.left, y), right = Shown(screen, b.right, y);
            ASSERT_TRUE(left == black || left == white) << "left at " << y;
            ASSERT_TRUE(right == black || right == white) << "right at " << y;
        }
        const int midY = (b.top + b.bottom) / 2;
        for (const int x : {b.left - 2, b.right + 2, b.left + 2}) {
            const QRgb was = undimmed.pixel(OnScreen(undimmed, x, midY).topLeft());
            const QRgb now = screen.pixel(OnScreen(screen, x, midY).topLeft());
            EXPECT_EQ(now, x == b.left + 2 ? was : ((was >> 1) & 0x7F7F7F) | 0xFF000000)
                << "at " << x << ", " << midY;
        }
    }

    void SelectMoveAndShape()
    {
        const QImage undimmed = GrabScreen(form.get());
        Drag(60, 50, 260, 170);
        ASSERT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after dragging a band";
        ExpectSelectionShown(undimmed);

        Drag(150, 100, 120, 90); // inside: moves it
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after a move";
        ExpectSelectionShown(undimmed);

        form->CropProportionBox->setCurrentIndex(2); // 1:1
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after choosing a proportion";
        ExpectSelectionShown(undimmed);
        form->CropProportionBox->setCurrentIndex(0);

        const RECT kept = form->CropRect;
        form->CutBtn->click();
        EXPECT_EQ(DibWidth(form->WorkDib), kept.right - kept.left);
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
    SelectMoveAndShape();
}

TEST_F(CropPageOnScreen, TheSelectionLiesWhereItIsCutOnAHiDpiScreen)
{
    if (qApp->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    SelectMoveAndShape();
}

} // namespace
