#include "ScreenGrab.h"
#include "TestSupport.h"

#include "toolkit/PaintBox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

// A paint box in a parent of a known colour; its handler paints a red
// square at the top left and counts its calls.
class PaintBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, QColor(10, 20, 30));
        parent.setPalette(palette);
        auto* layout = new QVBoxLayout(&parent);
        layout->setContentsMargins(0, 0, 0, 0);
        box = new PaintBox(&parent);
        layout->addWidget(box);
        box->OnPaint = [this] {
            ++paints;
            HDC dc = box->Canvas();
            dc->SetBrush(RGB(255, 0, 0));
            dc->FillRect(RECT{0, 0, 4, 4});
        };
        parent.resize(40, 30);
    }
    QRgb At(int x, int y) const { return box->CanvasImage().pixel(x, y); }

    QWidget parent;
    PaintBox* box = nullptr;
    int paints = 0;
};

TEST_F(PaintBoxTest, ShowingErasesToTheParentsColourAndRunsTheHandler)
{
    parent.show();
    QApplication::processEvents();
    EXPECT_EQ(box->CanvasImage().size(), QSize(40, 30)) << "the canvas is the widget's size";
    EXPECT_GE(paints, 1);
    EXPECT_EQ(At(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(At(20, 20), qRgb(10, 20, 30));
}

TEST_F(PaintBoxTest, RepaintErasesWhatADirectCallDrewOver)
{
    parent.show();
    QApplication::processEvents();
    HDC dc = box->Canvas();
    dc->SetBrush(RGB(0, 255, 0));
    dc->FillRect(RECT{10, 10, 12, 12}); // drawn directly: stays until a system paint
    EXPECT_EQ(At(10, 10), qRgb(0, 255, 0));
    const int before = paints;
    box->OnPaint(); // a handler called directly draws over what is there
    EXPECT_EQ(At(10, 10), qRgb(0, 255, 0));
    box->Repaint();
    EXPECT_EQ(paints, before + 2);
    EXPECT_EQ(At(10, 10), qRgb(10, 20, 30));
    EXPECT_EQ(At(0, 0), qRgb(255, 0, 0));
}

TEST_F(PaintBoxTest, ResizingMakesANewCanvasAndPaintsIt)
{
    parent.show();
    QApplication::processEvents();
    parent.resize(60, 50);
    QApplication::processEvents();
    EXPECT_EQ(box->CanvasImage().size(), QSize(60, 50));
    EXPECT_EQ(At(59, 49), qRgb(10, 20, 30));
    EXPECT_EQ(At(3, 3), qRgb(255, 0, 0));
}

// The offscreen platform's "screen" is the window's backing store, which
// goes stale the same way the X server's picture does.
TEST_F(PaintBoxTest, WhatAHandlerDrawsReachesTheScreenThoughTheWindowRepaintedMeanwhile)
{
    auto* other = new QWidget(&parent);
    parent.layout()->addWidget(other);
    parent.show();
    SettleWindow();
    HDC dc = box->Canvas();
    other->repaint(); // as the progress panel does while a handler draws
    dc->SetBrush(RGB(0, 255, 0));
    dc->FillRect(RECT{10, 10, 12, 12});
    SettleWindow();
    const QImage screen = GrabScreen(&parent);
    EXPECT_EQ(screen.pixel(box->mapTo(&parent, QPoint(10, 10))), qRgb(0, 255, 0));
}

// Runs as the ctest entry toolkit.HiDpi, with QT_SCALE_FACTOR=2.
TEST_F(PaintBoxTest, OnAHiDpiScreenTheCanvasHasScreenPixelsAndTheMouseLogicalOnes)
{
    if (qApp->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=2 (ctest runs it as toolkit.HiDpi)";
    parent.show();
    QApplication::processEvents();
    EXPECT_EQ(box->CanvasImage().size(), QSize(80, 60));
    EXPECT_EQ(box->CanvasScale(), 2.0);
    EXPECT_EQ(box->Canvas()->GetDeviceCaps(LOGPIXELSX), 192);
    EXPECT_EQ(At(3, 3), qRgb(255, 0, 0)) << "the handler draws in canvas pixels";
    std::vector<std::pair<int, int>> seen;
    box->OnMouseDown = [&](Qt::MouseButton, int x, int y) { seen.emplace_back(x, y); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(39, 29), QPointF(39, 29), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{39, 29}}));
    parent.resize(50, 30);
    QApplication::processEvents();
    EXPECT_EQ(box->CanvasImage().size(), QSize(100, 60));
}

TEST_F(PaintBoxTest, AHiddenBoxPaintsOnlyWhenShown)
{
    box->Repaint();
    EXPECT_EQ(paints, 0);
    parent.show();
    QApplication::processEvents();
    EXPECT_GE(paints, 1);
}

TEST_F(PaintBoxTest, MouseEventsReachTheHandlersWithBoxCoordinates)
{
    std::vector<std::tuple<char, int, int>> seen;
    box->OnMouseDown = [&](Qt::MouseButton, int x, int y) { seen.emplace_back('d', x, y); };
    box->OnMouseUp = [&](Qt::MouseButton, int x, int y) { seen.emplace_back('u', x, y); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(7, 8), QPointF(7, 8), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(9, 3), QPointF(9, 3), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
    EXPECT_EQ(seen, (std::vector<std::tuple<char, int, int>>{{'d', 7, 8}, {'u', 9, 3}}));
}

} // namespace
