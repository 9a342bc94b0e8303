// The selection drawn over the picture at a higher resolution is the one
// drawn at 96 dpi, enlarged: the outline and the dimming cover the same
// picture pixels.
#include "geometry/CropOverlay.h"

#include "gdi/RasterDC.h"

#include <gtest/gtest.h>

namespace {

COLORREF Pattern(int x, int y)
{
    return RGB(x * 7, y * 9, 200);
}

// A picture of 36 x 24 logical pixels in a 40 x 30 box, scale times enlarged.
void DrawAt(RasterDC& dc, int scale, const RECT& box)
{
    dc.SetResolution(96 * scale, 96 * scale);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            dc.SetBrush(Pattern(x, y));
            dc.FillRect(RECT{x * scale, y * scale, (x + 1) * scale, (y + 1) * scale});
        }
    DrawCropOverlay(&dc, 36, 24, box, true);
}

TEST(CropOverlay, AtTwiceTheResolutionEveryPixelBecomesABlock)
{
    for (const RECT box : {RECT{5, 4, 20, 15}, RECT{0, 0, 35, 23}, RECT{30, 9, 8, 2}}) {
        RasterDC one(40, 30), two(80, 60);
        DrawAt(one, 1, box);
        DrawAt(two, 2, box);
        int wrong = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x)
                wrong += two.Pixel(x, y) != one.Pixel(x / 2, y / 2);
        EXPECT_EQ(wrong, 0) << box.left << ", " << box.top << ", " << box.right << ", "
                            << box.bottom;
    }
}

} // namespace
