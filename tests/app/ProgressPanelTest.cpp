#include "MainWindowFixture.h"

#include "toolkit/StatusBar.h"

namespace {

class ProgressPanel : public MainWindowTest {
protected:
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
        form->SetProStatus(p);
        EXPECT_EQ(BarWidth(), w * p / 100) << p;
    }
    form->SetProStatus(30); // lower: erased and drawn shorter
    EXPECT_EQ(BarWidth(), w * 30 / 100);
    form->SetProStatus(0);
    EXPECT_EQ(BarWidth(), 0);
}

TEST_F(ProgressPanel, OverAHundredReachesPastThePanel)
{
    ShowWindow();
    form->SetProStatus(150);
    EXPECT_EQ(BarWidth(), PanelWidth() * 150 / 100);
    EXPECT_GT(BarWidth(), PanelWidth());
}

TEST_F(ProgressPanel, AFullRepaintShowsTheCurrentValue)
{
    ShowWindow();
    form->SetProStatus(40);
    form->StatusBar1->Repaint();
    EXPECT_EQ(BarWidth(), PanelWidth() * 40 / 100);
}

} // namespace
