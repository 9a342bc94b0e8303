#include "MainWindowFixture.h"

#include "toolkit/StatusBar.h"

#include <QTabWidget>

#include <chrono>

namespace {

using std::chrono::milliseconds;

// The progress panel on a clock of the test's own: time passes only when the
// test says so.
class ProgressPanel : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        form->ProgressThrottle.SetClock([this] { return now; });
    }
    // Reports a value a while after the last paint, when it always shows.
    void SetLater(int percent)
    {
        now += milliseconds(20);
        form->SetProStatus(percent);
    }
    // Navy pixels in a row through the middle of the progress panel, counted
    // from its left edge on, as far as the canvas goes.
    int BarWidth()
    {
        const QImage& canvas = form->StatusBar1->CanvasImage();
        const RECT r = form->StatusBar1->PanelRect(1);
        const int y = (r.top + r.bottom) / 2;
        int n = 0;
        for (int x = r.left; x < canvas.width(); ++x)
            if ((canvas.pixel(x, y) & 0xFFFFFF) == 0x000080)
                ++n;
        return n;
    }
    int PanelWidth()
    {
        const RECT r = form->StatusBar1->PanelRect(1);
        return r.right - r.left;
    }

    std::chrono::steady_clock::time_point now{};
};

TEST_F(ProgressPanel, NothingIsDrawnBeforeTheFirstPaintButTheValueIsKept)
{
    form->SetProStatus(60);
    EXPECT_EQ(form->ProgressPercent, 60);
    EXPECT_EQ(form->ProgressRect, RECT{});
    ShowWindow();
    EXPECT_EQ(form->ProgressRect, form->StatusBar1->PanelRect(1));
    EXPECT_EQ(BarWidth(), PanelWidth() * 60 / 100);
}

TEST_F(ProgressPanel, GrowsEqualsShrinksAndClears)
{
    ShowWindow();
    EXPECT_EQ(BarWidth(), 0);
    const int w = PanelWidth();
    for (int p : {1, 13, 50, 50, 99, 100}) {
        SetLater(p);
        EXPECT_EQ(BarWidth(), w * p / 100) << p;
    }
    SetLater(30); // lower: erased and drawn shorter
    EXPECT_EQ(BarWidth(), w * 30 / 100);
    SetLater(0);
    EXPECT_EQ(BarWidth(), 0);
}

TEST_F(ProgressPanel, OverAHundredReachesPastThePanel)
{
    ShowWindow();
    SetLater(150);
    EXPECT_EQ(BarWidth(), PanelWidth() * 150 / 100);
    EXPECT_GT(BarWidth(), PanelWidth());
}

TEST_F(ProgressPanel, AFullRepaintShowsTheCurrentValue)
{
    ShowWindow();
    SetLater(40);
    form->StatusBar1->Repaint();
    EXPECT_EQ(BarWidth(), PanelWidth() * 40 / 100);
}

TEST_F(ProgressPanel, PaintsAtMostEveryFifteenMillisecondsButAlwaysTheClosingZero)
{
    ShowWindow();
    const int w = PanelWidth();
    SetLater(10);
    EXPECT_EQ(BarWidth(), w * 10 / 100);
    now += milliseconds(14);
    form->SetProStatus(60); // too soon: kept, not painted
    EXPECT_EQ(BarWidth(), w * 10 / 100);
    EXPECT_EQ(form->ProgressPercent, 60);
    now += milliseconds(1);
    form->SetProStatus(70); // 15 ms after the last paint
    EXPECT_EQ(BarWidth(), w * 70 / 100);
    form->SetProStatus(20); // lower, but too soon as well
    EXPECT_EQ(BarWidth(), w * 70 / 100);
    form->SetProStatus(0); // the end of an operation clears at once
    EXPECT_EQ(BarWidth(), 0);
    form->SetProStatus(50); // the clearing counts as a paint
    EXPECT_EQ(BarWidth(), 0);
    form->StatusBar1->Repaint(); // a skipped value shows at the next paint of the panel
    EXPECT_EQ(BarWidth(), w * 50 / 100);
}

TEST_F(ProgressPanel, AGridRebuildPaintsThePanelOnlyAFewTimes)
{
    form->PageControl2->setCurrentWidget(form->TabSheet4);
    ShowWindow();
    int paints = 0;
    const auto repaint = form->StatusBar1->OnDrawPanel;
    form->StatusBar1->OnDrawPanel = [&](TStatusBar* bar, int panel, const RECT& rect) {
        ++paints;
        repaint(bar, panel, rect);
    };
    int clockReads = 0;
    form->ProgressThrottle.SetClock([&] {
        ++clockReads;
        return now; // the rebuild takes no time at all
    });
    now += milliseconds(20);
    form->PaintBox1Paint(); // 18 runs of 0..100, about 1800 reports
    EXPECT_GT(clockReads, 0);
    EXPECT_LE(paints, 1) << "one closing 0 after the one growing bar the throttle let through";
    EXPECT_EQ(BarWidth(), 0);
}

} // namespace
