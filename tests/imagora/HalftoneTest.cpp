#include "TestSupport.h"

#include <set>

namespace {

class Halftone : public LeakCheckedTest {};

COLORREF TableColour(const TDibRecord& d, std::uint32_t index)
{
    const RGBQUAD& q = d.Info->bmiColors[index];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// The colour shown at (x, y) of an 8-bit halftoned copy.
COLORREF Shown(const TDibRecord& d, int x, int y)
{
    return TableColour(d, getpixel(d, x, y));
}

TEST_F(Halftone, OnlyTrueColourPicturesAreHalftoned)
{
    for (int bits : {1, 4, 8, 16, 32}) {
        DibGuard src(MakeDib(4, 4, bits, [](int, int) { return 1u; }));
        DibGuard out;
        DIBHalftoneDIB(&out.dib, src.dib);
        EXPECT_EQ(out->Bits, nullptr) << bits;
        EXPECT_EQ(out->Info, nullptr) << bits;
    }
    DibGuard empty, out;
    DIBHalftoneDIBXY(&out.dib, empty.dib, 5, 5);
    EXPECT_EQ(out->Bits, nullptr);
}

TEST_F(Halftone, EmptySizeOrRefusedAllocationYieldsAnEmptyRecord)
{
    DibGuard src(MakeDib(4, 4, 24, [](int, int) { return 0x336699u; }));
    DibGuard zero;
    DIBHalftoneDIBXY(&zero.dib, src.dib, 0, 3);
    EXPECT_EQ(zero->Bits, nullptr);
    AllocationLimit limit(100);
    DibGuard big;
    DIBHalftoneDIBXY(&big.dib, src.dib, 200, 200);
    EXPECT_EQ(big->Bits, nullptr);
    EXPECT_EQ(big->PaletteHandle, nullptr);
}

TEST_F(Halftone, CarriesAFullPaletteWithCubeAndGreyRamp)
{
    DibGuard src(MakeDib(2, 2, 24, [](int, int) { return 0u; }));
    DibGuard out;
    DIBHalftoneDIB(&out.dib, src.dib);
    ASSERT_NE(out->Bits, nullptr);
    EXPECT_EQ(DibBitCount(out.dib), 8);
    EXPECT_EQ(out->HasPalette, 1);
    ASSERT_NE(out->PaletteHandle, nullptr);
    EXPECT_EQ(out->PaletteHandle->entries.size(), 256u);

    std::set<COLORREF> colours, greys;
    for (std::uint32_t i = 0; i < 256; ++i) {
        const COLORREF c = TableColour(out.dib, i);
        colours.insert(c);
        if (GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c))
            greys.insert(c);
        const PALETTEENTRY& e = out->Palette.palPalEntry[i];
        EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), c) << "palette and table agree at " << i;
    }
    EXPECT_EQ(colours.size(), 256u) << "no entry wasted on a duplicate";
    EXPECT_EQ(greys.size(), 46u);
    for (int r = 0; r <= 255; r += 51)
        for (int g = 0; g <= 255; g += 51)
            for (int b = 0; b <= 255; b += 51)
                EXPECT_TRUE(colours.count(RGB(r, g, b))) << r << "," << g << "," << b;
}

TEST_F(Halftone, PaletteColoursComeThroughUndithered)
{
    // Learn the palette from one copy, then halftone a picture made of every
    // palette colour: each must land on itself wherever it stands.
    DibGuard probe(MakeDib(1, 1, 24, [](int, int) { return 0u; }));
    DibGuard palette;
    DIBHalftoneDIB(&palette.dib, probe.dib);
    std::vector<COLORREF> table;
    for (std::uint32_t i = 0; i < 256; ++i)
        table.push_back(TableColour(palette.dib, i));

    DibGuard src(MakeDib(32, 24, 24, [&](int x, int y) { return table[(x + 7 * y) % 256]; }));
    DibGuard out;
    DIBHalftoneDIB(&out.dib, src.dib);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(Shown(out.dib, x, y), table[(x + 7 * y) % 256]) << x << "," << y;
}

TEST_F(Halftone, DitherKeepsTheMeanAndUsesTheTwoNeighbouringLevels)
{
    const COLORREF colour = RGB(100, 150, 30);
    DibGuard src(MakeDib(16, 16, 24, [&](int, int) { return colour; }));
    DibGuard out;
    DIBHalftoneDIB(&out.dib, src.dib);
    long sum[3] = {0, 0, 0};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const COLORREF c = Shown(out.dib, x, y);
            EXPECT_TRUE(GetRValue(c) == 51 || GetRValue(c) == 102);
            EXPECT_TRUE(GetGValue(c) == 102 || GetGValue(c) == 153);
            EXPECT_TRUE(GetBValue(c) == 0 || GetBValue(c) == 51);
            sum[0] += GetRValue(c);
            sum[1] += GetGValue(c);
            sum[2] += GetBValue(c);
        }
    }
    EXPECT_NEAR(sum[0] / 256.0, 100, 2);
    EXPECT_NEAR(sum[1] / 256.0, 150, 2);
    EXPECT_NEAR(sum[2] / 256.0, 30, 2);
}

TEST_F(Halftone, GreysStayGreyAlongTheFinerRamp)
{
    DibGuard src(MakeDib(16, 16, 24, [](int, int) { return RGB(100, 100, 100); }));
    DibGuard out;
    DIBHalftoneDIB(&out.dib, src.dib);
    std::set<int> levels;
    long sum = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const COLORREF c = Shown(out.dib, x, y);
            ASSERT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c));
            levels.insert(GetRValue(c));
            sum += GetRValue(c);
        }
    }
    EXPECT_NEAR(sum / 256.0, 100, 1);
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_LT(*levels.rbegin() - *levels.begin(), 8) << "neighbours on the ramp, not the cube";
}

TEST_F(Halftone, ScaledCopySamplesPointsAndKeepsOrientation)
{
    // Cube colours need no dithering, so every output pixel names its source.
    const auto colour = [](int x, int y) {
        return RGB(std::uint8_t(51 * (x % 6)), 0, std::uint8_t(51 * y));
    };
    DibGuard src(MakeDib(6, 5, 24, colour));
    DibGuard out;
    DIBHalftoneDIBXY(&out.dib, src.dib, 4, 3);
    ASSERT_NE(out->Bits, nullptr);
    EXPECT_EQ(DibWidth(out.dib), 4);
    EXPECT_EQ(DibHeight(out.dib), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Shown(out.dib, x, y), colour(x * 6 / 4, y * 5 / 3)) << x << "," << y;

    DibGuard big;
    DIBHalftoneDIBXY(&big.dib, src.dib, 12, 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(Shown(big.dib, x, y), colour(x / 2, y / 3)) << x << "," << y;
}

} // namespace
