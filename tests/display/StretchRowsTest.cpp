#include "DisplayTestSupport.h"

#include "display/StretchRows.h"

#include <cstring>

namespace {

constexpr COLORREF kPaper = RGB(3, 2, 1);
constexpr COLORREF kScribble = RGB(0xA5, 0xA5, 0xA5);

struct Geometry {
    int destX, destY, destW, destH, srcX, srcTop, srcW, srcH;
};

using Scaler = void (*)(HDC, int, int, int, int, const TDibRecord&, int, int, int, int);

Scaler ScalerFor(int bits)
{
    return bits == 24 ? StretchRows24 : StretchRows8;
}

void Scale(int bits, HDC dc, const TDibRecord& d, const Geometry& g)
{
    ScalerFor(bits)(dc, g.destX, g.destY, g.destW, g.destH, d, g.srcX, g.srcTop, g.srcW, g.srcH);
}

// What the scalers must show at (x, y): the sampled source pixel, black (a
// zero byte: colour-table entry 0 at 8 bits) where the sample falls outside
// the picture, the paper outside the destination.
COLORREF Expected(const TDibRecord& d, const Geometry& g, int x, int y)
{
    const int i = x - g.destX, r = y - g.destY;
    if (i < 0 || r < 0 || i >= g.destW || r >= g.destH)
        return kPaper;
    const int sx = g.srcX + g.srcW * i / g.destW, sy = g.srcTop + g.srcH * r / g.destH;
    if (sx >= 0 && sy >= 0 && sx < DibWidth(d) && sy < DibHeight(d))
        return DibColour(d, sx, sy);
    if (DibBitCount(d) == 24)
        return 0;
    const RGBQUAD& q = d.Info->bmiColors[0];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

class StretchRows : public DrawingTest {};

TEST_F(StretchRows, EveryPixelIsTheSampledSourcePixelOrBlack)
{
    const Geometry cases[] = {
        {0, 0, 3, 2, 0, 0, 7, 5},    // shrinking
        {1, 1, 17, 11, 0, 0, 7, 5},  // enlarging
        {4, 3, 9, 6, 2, 1, 3, 2},    // an inner rectangle
        {2, 2, 10, 8, -2, -1, 8, 6}, // starts left of and above the picture
        {0, 0, 8, 8, 5, 3, 4, 4},    // reaches past the right and bottom edges
        {0, 0, 6, 3, 9, 7, 2, 2},    // wholly outside: all black
    };
    for (int bits : {24, 8}) {
        DibGuard d(MakeColourfulDib(7, 5, bits));
        for (const Geometry& g : cases) {
            RasterDC dc(20, 14);
            FillRaster(dc, kPaper);
            Scale(bits, &dc, d.dib, g);
            EXPECT_TRUE(RasterIs(dc, [&](int x, int y) { return Expected(d.dib, g, x, y); }))
                << bits << " bits, " << g.destW << "x" << g.destH << " from (" << g.srcX << ","
                << g.srcTop << ") " << g.srcW << "x" << g.srcH;
        }
    }
}

TEST_F(StretchRows, DrawingIsClippedToTheDevice)
{
    DibGuard d(MakeColourfulDib(4, 4, 24));
    const Geometry g{-3, -2, 12, 12, 0, 0, 4, 4};
    RasterDC dc(5, 5);
    Scale(24, &dc, d.dib, g);
    EXPECT_TRUE(RasterIs(dc, [&](int x, int y) { return Expected(d.dib, g, x, y); }));
}

TEST_F(StretchRows, EnlargingCopiesEachSourceRowOnceAndDrawsItThreeTimes)
{
    for (int bits : {24, 8}) {
        DibGuard d(MakeColourfulDib(4, 3, bits));
        ProbeDC dc(4, 9);
        // Spoil the row buffer after each draw: a row drawn without a fresh
        // copy shows the scribble.
        dc.afterSetDIBitsToDevice = [](const ProbeDC::Transfer& t) {
            const int lineBytes = (t.dibWidth * t.bitCount + 31) / 32 * 4;
            std::memset(const_cast<void*>(t.bits), 0xA5, std::size_t(lineBytes));
        };
        Scale(bits, &dc, d.dib, Geometry{0, 0, 4, 9, 0, 0, 4, 3});
        ASSERT_EQ(dc.sets.size(), 9u) << bits;
        for (int r = 0; r < 9; ++r) {
            const ProbeDC::Transfer& t = dc.sets[std::size_t(r)];
            EXPECT_EQ(t.bits, dc.sets[0].bits) << "one row buffer for all rows";
            EXPECT_EQ(t.xDest, 0);
            EXPECT_EQ(t.yDest, r);
            EXPECT_EQ(t.width, 4);
            EXPECT_EQ(t.height, 1);
            EXPECT_EQ(t.startScan, 0u);
            EXPECT_EQ(t.numScans, 1u);
            EXPECT_EQ(t.dibWidth, 4);
            EXPECT_EQ(t.dibHeight, 1);
            EXPECT_EQ(t.bitCount, bits);
        }
        const RGBQUAD& q = d->Info->bmiColors[0xA5];
        const COLORREF scribble = bits == 24 ? kScribble : RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(dc.Pixel(x, y), y % 3 == 0 ? DibColour(d.dib, x, y / 3) : scribble)
                    << bits << " bits at " << x << "," << y;
    }
}

TEST_F(StretchRows, NothingIsDrawnWithoutARowBuffer)
{
    DibGuard d(MakeColourfulDib(4, 3, 24));
    ProbeDC dc(8, 8);
    {
        AllocationLimit limit(4); // a row of 8 pixels needs 24 bytes
        StretchRows24(&dc, 0, 0, 8, 6, d.dib, 0, 0, 4, 3);
        StretchRows8(&dc, 0, 0, 8, 6, d.dib, 0, 0, 4, 3);
    }
    StretchRows24(&dc, 0, 0, 0, 6, d.dib, 0, 0, 4, 3);
    StretchRows24(&dc, 0, 0, 8, -1, d.dib, 0, 0, 4, 3);
    DibGuard empty;
    StretchRows8(&dc, 0, 0, 8, 6, empty.dib, 0, 0, 4, 3);
    EXPECT_TRUE(dc.sets.empty());
}

} // namespace
