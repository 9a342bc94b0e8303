// The selection drawn over the picture: dots on the outline's pixels, the
// rest of the picture dimmed, at any resolution.
#include "geometry/CropOverlay.h"

#include "gdi/RasterDC.h"

#include <gtest/gtest.h>

namespace {

COLORREF Pattern(int x, int y)
{
    return RGB(x * 7, y * 9, 200);
}

// A picture of 36 x 24 logical pixels in a 40 x 30 box, scale times enlarged.
void DrawAt(RasterDC& dc, int scale, const RECT& box, bool dim)
{
    dc.SetResolution(96 * scale, 96 * scale);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            dc.SetBrush(Pattern(x, y));
            dc.FillRect(RECT{x * scale, y * scale, (x + 1) * scale, (y + 1) * scale});
        }
    DrawCropOverlay(&dc, 36, 24, box, dim);
}

TEST(CropOverlay, DotsOnTheOutlineAndTheRestOfThePictureDimmed)
{
    RasterDC dc(40, 30);
    DrawAt(dc, 1, RECT{5, 4, 20, 15}, true);
    const struct {
        int x, y;
        COLORREF shown;
    } cases[] = {
        {5, 4, RGB(0, 0, 0)},        {6, 4, RGB(255, 255, 255)}, {7, 4, RGB(0, 0, 0)},
        {20, 5, RGB(0, 0, 0)},       {10, 10, Pattern(10, 10)},  {4, 10, RGB(14, 45, 100)},
        {30, 20, RGB(105, 90, 100)}, {36, 10, Pattern(36, 10)},  {10, 24, Pattern(10, 24)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dc.Pixel(c.x, c.y), c.shown) << c.x << ", " << c.y;

    RasterDC plain(40, 30);
    DrawAt(plain, 1, RECT{5, 4, 20, 15}, false);
    EXPECT_EQ(plain.Pixel(4, 10), Pattern(4, 10)) << "nothing selected, nothing dimmed";
}

TEST(CropOverlay, AtTwiceTheResolutionEveryPixelBecomesABlock)
{
    for (const RECT box : {RECT{5, 4, 20, 15}, RECT{0, 0, 35, 23}, RECT{30, 9, 8, 2}}) {
        RasterDC one(40, 30), two(80, 60);
        DrawAt(one, 1, box, true);
        DrawAt(two, 2, box, true);
        int wrong = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x)
                wrong += two.Pixel(x, y) != one.Pixel(x / 2, y / 2);
        EXPECT_EQ(wrong, 0) << box.left << ", " << box.top << ", " << box.right << ", "
                            << box.bottom;
    }
}

} // namespace
