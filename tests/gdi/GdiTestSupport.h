// Helpers of the drawing tests: pictures with chosen colour tables and
// whole-raster checks.
#pragma once

#include "TestSupport.h"

#include "gdi/RasterDC.h"

#include <initializer_list>

// A palette picture whose colour table is `table` (the rest black) and
// whose pixels are index(x, y), rows from the top.
template <typename F>
TDibRecord MakeIndexedDib(int width, int height, int bits, std::initializer_list<COLORREF> table,
                          F index)
{
    TDibRecord d = MakeDib(width, height, bits, index);
    for (int i = 0; i < (1 << bits); ++i)
        d.Info->bmiColors[i] = RGBQUAD{0, 0, 0, 0};
    int i = 0;
    for (COLORREF c : table)
        d.Info->bmiColors[i++] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    return d;
}

inline void FillRaster(RasterDC& dc, COLORREF colour)
{
    for (int y = 0; y < dc.Height(); ++y)
        for (int x = 0; x < dc.Width(); ++x)
            dc.PutPixel(x, y, colour);
}

// Compares every pixel of the raster with expected(x, y) and names the first
// few that differ.
template <typename F> testing::AssertionResult RasterIs(const RasterDC& dc, F expected)
{
    int wrong = 0;
    testing::AssertionResult result = testing::AssertionFailure();
    for (int y = 0; y < dc.Height(); ++y) {
        for (int x = 0; x < dc.Width(); ++x) {
            const COLORREF want = expected(x, y), got = dc.Pixel(x, y);
            if (want != got && wrong++ < 5)
                result << "(" << x << "," << y << ") is " << std::hex << got << " not " << want
                       << std::dec << "; ";
        }
    }
    if (wrong == 0)
        return testing::AssertionSuccess();
    return result << wrong << " pixels differ";
}
