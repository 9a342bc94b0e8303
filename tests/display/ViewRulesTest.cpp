// The viewer's zoom sizes, panning and wheel, and the drawing of only the
// visible part of the zoomed picture, checked against drawing all of it.
#include "DisplayTestSupport.h"

#include "display/ViewRules.h"

namespace {

TEST(ViewRules, ZoomedSizesTruncate)
{
    EXPECT_EQ(ZoomedBoxSize(640, 480, 100), (ZoomedSize{640, 480}));
    EXPECT_EQ(ZoomedBoxSize(640, 480, 5), (ZoomedSize{32, 24}));
    EXPECT_EQ(ZoomedBoxSize(640, 480, 33), (ZoomedSize{211, 158})) << "211.2 x 158.4";
    EXPECT_EQ(ZoomedBoxSize(6000, 4000, 9000), (ZoomedSize{540000, 360000}));
}

TEST(ViewRules, PanningMovesByTheDragAndStopsAtTheEdges)
{
    // dragging right by 30 moves the view left
    EXPECT_EQ(PanScroll({100, 50}, 400, 300, 430, 300, 2000, 1000), (ScrollPos{70, 50}));
    EXPECT_EQ(PanScroll({10, 50}, 400, 300, 430, 300, 2000, 1000), (ScrollPos{0, 50}))
        << "raised to 0";
    EXPECT_EQ(PanScroll({1990, 50}, 400, 300, 300, 300, 2000, 1000), (ScrollPos{1999, 50}))
        << "lowered to range - 1";
    EXPECT_EQ(PanScroll({100, 990}, 400, 300, 400, 100, 2000, 1000), (ScrollPos{100, 999}))
        << "beyond the bottom: the horizontal position stays";
    EXPECT_EQ(WheelScroll(100, 1), 120);
    EXPECT_EQ(WheelScroll(100, -1), 80);
}

// The view of a box drawn whole (into a box-sized raster) and drawn through
// VisibleDraw into a view-sized raster show the same pixels.
void ExpectViewMatchesWholeBox(const TDibRecord& dib, int zoom, int scrollX, int scrollY, int viewW,
                               int viewH)
{
    const int w = DibWidth(dib), h = DibHeight(dib);
    const ZoomedSize box = ZoomedBoxSize(w, h, zoom);
    RasterDC whole(box.width, box.height);
    StretchDrawDib(&whole, 0, 0, box.width, box.height, dib, 0, 0, w, h, true, SRCCOPY, false,
                   nullptr);
    RasterDC view(viewW, viewH);
    ViewDraw d;
    ASSERT_TRUE(VisibleDraw(w, h, box.width, box.height, scrollX, scrollY, viewW, viewH, d));
    StretchDrawDib(&view, d.destX, d.destY, d.destWidth, d.destHeight, dib, d.srcX, d.srcY,
                   d.srcWidth, d.srcHeight, true, SRCCOPY, false, nullptr);
    for (int y = 0; y < viewH; ++y)
        for (int x = 0; x < viewW; ++x) {
            const COLORREF expected = scrollX + x < box.width && scrollY + y < box.height
                                          ? whole.Pixel(scrollX + x, scrollY + y)
                                          : 0;
            ASSERT_EQ(view.Pixel(x, y), expected) << "zoom " << zoom << " scroll " << scrollX << ","
                                                  << scrollY << " at " << x << "," << y;
        }
}

TEST(ViewRules, TheVisiblePartLooksLikeTheWholeBoxThere)
{
    for (int bits : {24, 8}) {
        DibGuard dib(MakeColourfulDib(37, 23, bits));
        for (int zoom : {100, 200, 400, 900})
            for (auto [sx, sy] : {std::pair{0, 0}, std::pair{13, 7}, std::pair{30, 20}})
                ExpectViewMatchesWholeBox(dib.dib, zoom, sx * zoom / 100, sy * zoom / 100, 50, 31);
        ExpectViewMatchesWholeBox(dib.dib, 400, 3, 5, 200, 200); // past the box's end
    }
}

TEST(ViewRules, AtAnyZoomTheDrawingStaysTheViewsSize)
{
    ViewDraw d;
    ASSERT_TRUE(VisibleDraw(6000, 4000, 540000, 360000, 270000, 180000, 1000, 700, d));
    EXPECT_LE(d.destWidth, 1000 + 90) << "at most one picture pixel beyond the view";
    EXPECT_LE(d.destHeight, 700 + 90);
    EXPECT_LE(d.destX, 0);
    EXPECT_GT(d.destX, -90);
    EXPECT_EQ(d.srcX, 3000);
    EXPECT_EQ(d.srcY, 4000 - 2000 - d.srcHeight) << "rows counted up from the bottom";

    EXPECT_TRUE(VisibleDraw(640, 480, 32, 24, 0, 0, 500, 300, d)) << "5 %";
    EXPECT_EQ(d, (ViewDraw{0, 0, 32, 24, 0, 0, 640, 480}));
    EXPECT_FALSE(VisibleDraw(640, 480, 640, 480, 640, 0, 100, 100, d)) << "scrolled past";
    EXPECT_FALSE(VisibleDraw(640, 480, 0, 0, 0, 0, 100, 100, d)) << "zoomed to nothing";
}

} // namespace
