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

TEST(ViewRules, ZoomStepsClimbALadderAndStopAtTheEnds)
{
    struct Row {
        int zoom, steps, expected;
    };
    for (const Row& r :
         {Row{100, 1, 150}, Row{100, -1, 67}, Row{100, 3, 300}, Row{110, -1, 100}, Row{110, 1, 150},
          Row{5, -1, 5}, Row{6, -1, 5}, Row{9000, 1, 9000}, Row{8000, 1, 9000}, Row{100, 0, 100}}) {
        EXPECT_EQ(ZoomStep(r.zoom, r.steps), r.expected) << r.zoom << " by " << r.steps;
    }
    for (int zoom = kMinZoom; zoom < kMaxZoom; zoom = ZoomStep(zoom, 1))
        EXPECT_EQ(ZoomStep(ZoomStep(zoom, 1), -1), zoom) << "a step in and out returns";
}

TEST(ViewRules, FittingTakesTheLargestZoomThatShowsTheWholePicture)
{
    struct Row {
        int w, h, areaW, areaH, expected;
    };
    for (const Row& r : {Row{640, 480, 515, 338, 70}, Row{640, 480, 320, 480, 50},
                         Row{100, 50, 1000, 1000, 1000}, Row{6000, 4000, 100, 100, kMinZoom},
                         Row{1, 1, 1000, 1000, kMaxZoom}, Row{0, 0, 500, 500, 100}}) {
        const int zoom = FitZoom(r.w, r.h, r.areaW, r.areaH);
        EXPECT_EQ(zoom, r.expected) << r.w << " x " << r.h << " in " << r.areaW << " x " << r.areaH;
        if (zoom == kMinZoom || zoom == kMaxZoom || r.w == 0)
            continue;
        const ZoomedSize fitted = ZoomedBoxSize(r.w, r.h, zoom);
        const ZoomedSize over = ZoomedBoxSize(r.w, r.h, zoom + 1);
        EXPECT_TRUE(fitted.width <= r.areaW && fitted.height <= r.areaH) << "fits";
        EXPECT_TRUE(over.width > r.areaW || over.height > r.areaH) << "one percent more does not";
    }
}

TEST(ViewRules, ZoomingKeepsThePointUnderTheCursor)
{
    // box 2560 -> 3840 (400 -> 600 %): picture point 1100 stays at view position 100
    EXPECT_EQ(ZoomScroll(1000, 100, 2560, 3840), 1550);
    EXPECT_EQ(ZoomScroll(1550, 100, 3840, 2560), 1000);
    EXPECT_EQ(ZoomScroll(0, 0, 640, 960), 0);
    EXPECT_EQ(ZoomScroll(10, 300, 640, 320), 0) << "never before the picture's start";
    EXPECT_EQ(ZoomScroll(7, 3, 0, 320), 7) << "no box yet: nothing to keep";
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
