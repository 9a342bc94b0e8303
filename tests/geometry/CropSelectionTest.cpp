// The selection on the crop page: mapping between paint box and picture,
// the edges the mouse grabs, and the drag's limits.
#include "geometry/CropSelection.h"

#include "geometry/CropProportions.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A 1000 x 600 picture shown 385 x 231 (a scale of 0.385), as the page fits
// it into a 385 x 300 paint box.
class Selection : public ::testing::Test {
protected:
    void SetUp() override { Fit(RECT{0, 0, 1000, 600}); }
    void Fit(const RECT& selection)
    {
        crop = selection;
        sel.FitSelection(385, 231, 1000, 600, crop);
    }
    // Hover, press, drag through the points, release.
    void Drag(int x, int y, std::initializer_list<std::pair<int, int>> path)
    {
        sel.SelectionHover(x, y);
        sel.SelectionMouseDown(x, y, crop);
        for (auto [px, py] : path)
            sel.SelectionDrag(px, py, crop);
        sel.SelectionMouseUp();
    }
    CropSelection sel;
    RECT crop{};
};

TEST_F(Selection, TheWholePictureEndsAtTheLastDrawnPixel)
{
    EXPECT_DOUBLE_EQ(sel.CropScaleX, 0.385);
    EXPECT_EQ(sel.CropMaxX, 384);
    EXPECT_EQ(sel.CropMaxY, 230);
    EXPECT_EQ(sel.CropBoxRect, (RECT{0, 0, 384, 230}));
}

TEST_F(Selection, ADraggedEdgeStopsOnePixelShortOfTheLimit)
{
    EXPECT_EQ(sel.SelectionHover(384, 100), crSizeWE);
    Drag(384, 100, {{2000, 100}});
    // Every edge is kept short of the limit, the bottom too.
    EXPECT_EQ(crop, (RECT{0, 0, 995, 595})) << "Round(383 / 0.385); only the reset reaches 1000";
    Drag(100, 229, {{100, -50}, {-400, 5000}});
    EXPECT_EQ(crop, (RECT{0, 0, 995, 595})) << "the bottom, dragged far outside, stays inside";
    EXPECT_EQ(sel.CropDragMode, 0);
}

TEST_F(Selection, AnEdgeDraggedAcrossTheOtherCarriesOnAsIt)
{
    Fit(RECT{260, 260, 780, 520}); // box 100..300 x 100..200
    ASSERT_EQ(sel.CropBoxRect, (RECT{100, 100, 300, 200}));
    sel.SelectionHover(300, 150);
    ASSERT_EQ(sel.SelectionMouseDown(300, 150, crop), CropSelection::Press::Edges);
    sel.SelectionDrag(50, 150, crop);
    // The edges not dragged go through the paint box and back: 520 -> 200 -> 519.
    EXPECT_EQ(crop, (RECT{130, 260, 260, 519})) << "the right edge became the left";
    EXPECT_TRUE(sel.GrabLeft);
    EXPECT_FALSE(sel.GrabRight);
    sel.SelectionDrag(20, 150, crop);
    EXPECT_EQ(crop, (RECT{52, 260, 260, 519})) << "and the dragged edge goes on moving";
}

TEST_F(Selection, PressesBesideThePictureStartNothing)
{
    Fit(RECT{260, 260, 780, 520});
    for (auto [x, y] : {std::pair{390, 50}, {50, 240}, {-3, 50}}) {
        sel.SelectionHover(x, y);
        EXPECT_EQ(sel.SelectionMouseDown(x, y, crop), CropSelection::Press::Nothing);
        EXPECT_EQ(sel.CropDragMode, 0);
        EXPECT_EQ(crop, (RECT{260, 260, 780, 520}));
    }
}

TEST_F(Selection, APressOnThePictureStartsANewBandThere)
{
    sel.SelectionHover(77, 77);
    EXPECT_EQ(sel.SelectionMouseDown(77, 77, crop), CropSelection::Press::NewBand);
    EXPECT_EQ(crop, (RECT{200, 200, 200, 200})) << "a plain click selects nothing";
    sel.SelectionDrag(154, 154, crop);
    EXPECT_EQ(crop, (RECT{200, 200, 400, 400}));
}

TEST_F(Selection, EdgesAndCornersWithinFivePixelsSetTheCursor)
{
    Fit(RECT{260, 260, 780, 520}); // box 100..300 x 100..200
    const struct {
        int x, y;
        CropCursor cursor;
        bool left, right, top, bottom;
    } cases[] = {
        {150, 150, crSizeAll, false, false, false, false}, // inside: a press moves it
        {96, 150, crSizeWE, true, false, false, false},
        {104, 150, crSizeWE, true, false, false, false},
        {95, 150, crDefault, false, false, false, false},
        {304, 150, crSizeWE, false, true, false, false},
        {200, 102, crSizeNS, false, false, true, false},
        {200, 204, crSizeNS, false, false, false, true},
        {102, 103, crSizeNWSE, true, false, true, false},
        {298, 198, crSizeNWSE, false, true, false, true},
        {298, 103, crSizeNESW, false, true, true, false},
        {102, 198, crSizeNESW, true, false, false, true},
        {98, 97, crDefault, false, false, false, false}, // outside both spans
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sel.SelectionHover(c.x, c.y), c.cursor) << c.x << ", " << c.y;
        EXPECT_EQ(sel.GrabLeft, c.left) << c.x << ", " << c.y;
        EXPECT_EQ(sel.GrabRight, c.right) << c.x << ", " << c.y;
        EXPECT_EQ(sel.GrabTop, c.top) << c.x << ", " << c.y;
        EXPECT_EQ(sel.GrabBottom, c.bottom) << c.x << ", " << c.y;
        EXPECT_EQ(sel.CropOnEdge, c.left || c.right || c.top || c.bottom);
    }
    // In a corner zone both edges follow.
    Drag(102, 103, {{50, 60}});
    EXPECT_EQ(crop, (RECT{130, 156, 779, 519}));
}

TEST_F(Selection, ANarrowSelectionGrabsItsLeftEdgeFirst)
{
    Fit(RECT{260, 260, 270, 520}); // box 100..104
    EXPECT_EQ(sel.SelectionHover(102, 150), crSizeWE);
    EXPECT_TRUE(sel.GrabLeft);
    EXPECT_FALSE(sel.GrabRight);
}

TEST_F(Selection, ANewBandForgetsGrabsSwappedInTheLastDrag)
{
    Drag(200, 150, {{100, 50}}); // right and bottom dragged across: now left and top
    ASSERT_TRUE(sel.GrabLeft && sel.GrabTop);
    ASSERT_FALSE(sel.CropOnEdge);
    sel.SelectionMouseDown(300, 200, crop); // beside the selection
    EXPECT_FALSE(sel.GrabLeft || sel.GrabTop);
    EXPECT_TRUE(sel.GrabRight && sel.GrabBottom);
}

TEST_F(Selection, ADragInsideMovesTheSelectionNoFurtherThanThePicture)
{
    const struct {
        int toX, toY;
        RECT moved;
    } cases[] = {
        {210, 155, {286, 273, 806, 533}}, // Round(10 / 0.385), Round(5 / 0.385)
        {1200, 1150, {480, 340, 1000, 600}},
        {-800, -850, {0, 0, 520, 260}},
    };
    for (const auto& c : cases) {
        Fit(RECT{260, 260, 780, 520}); // box 100..300 x 100..200
        sel.CropProportion = 7;        // a move keeps the size whatever the proportion
        EXPECT_EQ(sel.SelectionHover(200, 150), crSizeAll);
        EXPECT_EQ(sel.SelectionMouseDown(200, 150, crop), CropSelection::Press::Move);
        sel.SelectionDrag(c.toX, c.toY, crop);
        EXPECT_EQ(crop, c.moved) << c.toX << ", " << c.toY;
    }
    // The whole picture has nowhere to go: a press on it starts a new band.
    Fit(RECT{0, 0, 1000, 600});
    EXPECT_EQ(sel.SelectionHover(200, 150), crDefault);
    EXPECT_EQ(sel.SelectionMouseDown(200, 150, crop), CropSelection::Press::NewBand);
}

TEST_F(Selection, EveryHandleKeepsEveryProportion)
{
    const struct {
        int x, y, toX, toY; // pressed on the handle, dragged outwards
        bool left, right, top, bottom;
    } handles[] = {
        {100, 150, 40, 150, true, false, false, false},
        {300, 150, 360, 150, false, true, false, false},
        {200, 100, 200, 60, false, false, true, false},
        {200, 200, 200, 225, false, false, false, true},
        {100, 100, 60, 80, true, false, true, false},
        {300, 100, 340, 80, false, true, true, false},
        {100, 200, 60, 220, true, false, false, true},
        {300, 200, 340, 220, false, true, false, true},
    };
    const RECT start{260, 260, 780, 520}; // box 100..300 x 100..200
    for (int choice = kCropAsPicture; choice < int(kCropProportions.size()); ++choice) {
        const Proportion p = ProportionOf(choice, 1000, 600);
        for (const auto& h : handles) {
            SCOPED_TRACE(testing::Message()
                         << kCropProportions[choice].Caption << " from " << h.x << ", " << h.y);
            Fit(start);
            sel.CropProportion = choice;
            Drag(h.x, h.y, {{h.toX, h.toY}});
            const long long w = crop.right - crop.left, ht = crop.bottom - crop.top;
            EXPECT_GT(w * ht, 0);
            EXPECT_LE(2 * std::abs(w * p.y - ht * p.x), std::max(p.x, p.y))
                << "within half a pixel";
            EXPECT_TRUE(crop.left >= 0 && crop.top >= 0 && crop.right <= 995 && crop.bottom <= 595);
            if (h.left || h.right) { // the opposite edges stay
                EXPECT_EQ(h.left ? crop.right : crop.left, h.left ? start.right : start.left);
            }
            if (h.top || h.bottom) {
                EXPECT_EQ(h.top ? crop.bottom : crop.top, h.top ? start.bottom : start.top);
            }
        }
    }
}

TEST_F(Selection, AProportionShapesBandsAndEdgesExactly)
{
    const struct {
        int choice;
        RECT from;
        int x, y, toX, toY;
        RECT shaped;
        const char* why;
    } cases[] = {
        {7, {0, 0, 1000, 600}, 100, 100, 300, 200, {260, 260, 779, 552}, "grows past the pointer"},
        {2, {0, 0, 1000, 600}, 300, 100, 380, 220, {779, 260, 995, 476}, "stops at the limit"},
        {3, {0, 0, 1000, 600}, 200, 150, 100, 100, {260, 217, 519, 390}, "grows up and left"},
        {7, {260, 260, 780, 520}, 300, 150, 360, 150, {260, 200, 935, 580}, "centred"},
        {4, {260, 260, 780, 520}, 300, 150, 360, 150, {260, 0, 657, 595}, "as high as fits"},
        {5, {260, 260, 780, 520}, 200, 200, 200, 225, {304, 260, 736, 584}, "the width follows"},
    };
    for (const auto& c : cases) {
        Fit(c.from);
        sel.CropProportion = c.choice;
        Drag(c.x, c.y, {{c.toX, c.toY}});
        EXPECT_EQ(crop, c.shaped) << c.why;
    }
}

TEST(SelectionRounding, HalvesGoToTheEvenNeighbourInExtendedPrecision)
{
    CropSelection sel;
    RECT crop{1, 1, 3, 3};
    sel.FitSelection(10, 10, 4, 4, crop); // shown at 2.5 times
    EXPECT_EQ(sel.CropBoxRect, (RECT{2, 2, 8, 8})) << "2.5 -> 2, 7.5 -> 8";
    crop = RECT{0, 0, 4, 4}; // with all of it selected a press starts a new band
    sel.FitSelection(10, 10, 4, 4, crop);
    sel.SelectionMouseDown(5, 5, crop);
    EXPECT_EQ(crop.left, 2) << "5 / 2.5 is 2 exactly";
    // 1000 pixels shown 400 wide: the scale 0.4 is stored as a double a
    // little above 0.4, so 3 / scale lies just below 7.5 in extended
    // precision, where a double quotient would round up to 7.5 and then 8.
    sel.FitSelection(400, 400, 1000, 1000, crop);
    sel.SelectionMouseUp();
    sel.SelectionHover(300, 300);
    sel.SelectionMouseDown(3, 3, crop);
    EXPECT_EQ(crop, (RECT{7, 7, 7, 7}));
}

TEST(SelectionRounding, NoPictureShownGivesNoSelectionToGrab)
{
    CropSelection sel;
    RECT crop{};
    sel.FitSelection(0, 0, 0, 0, crop);
    EXPECT_EQ(sel.SelectionHover(0, 0), crDefault);
    EXPECT_EQ(sel.SelectionMouseDown(0, 0, crop), CropSelection::Press::Nothing);
}

} // namespace
