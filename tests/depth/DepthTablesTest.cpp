#include "depth/DepthTables.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

using Colour = std::tuple<int, int, int>;

Colour Of(const RgbTriple& t)
{
    return {t.Red, t.Green, t.Blue};
}

TEST(DepthTables, DitherMatrixHoldsTheScaledOrderedDitherThresholds)
{
    // rows: x mod 8, columns: stored row mod 8
    const int expected[8][8] = {
        {0, 38, 9, 47, 2, 40, 11, 50},  {25, 12, 35, 22, 27, 15, 37, 24},
        {6, 44, 3, 41, 8, 47, 5, 43},   {31, 19, 28, 15, 34, 21, 31, 18},
        {1, 39, 11, 49, 0, 39, 10, 48}, {27, 14, 36, 23, 26, 13, 35, 23},
        {7, 46, 4, 43, 7, 45, 3, 42},   {33, 20, 30, 17, 32, 19, 29, 16},
    };
    for (int x = 0; x < 8; ++x)
        for (int row = 0; row < 8; ++row)
            EXPECT_EQ(DitherMatrix8[x][row], expected[x][row]) << x << ", " << row;
}

TEST(DepthTables, StandardPalettesShareTheSystemColours)
{
    // the 16 colours are the first and last eight of the 20 system colours
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(StdPal256[i], StdPal16[i]) << i;
        EXPECT_EQ(StdPal256[248 + i], StdPal16[8 + i]) << i;
    }
    EXPECT_EQ(Of(StdPal256[8]), Colour(192, 220, 192));
    EXPECT_EQ(Of(StdPal256[9]), Colour(166, 202, 240));
    EXPECT_EQ(Of(StdPal256[246]), Colour(255, 251, 240));
    EXPECT_EQ(Of(StdPal256[247]), Colour(160, 160, 164));
}

TEST(DepthTables, StandardPaletteHoldsEveryColourOnceAndAllButFourCubeColours)
{
    std::set<Colour> seen, cube;
    for (const RgbTriple& c : StdPal256)
        EXPECT_TRUE(seen.insert(Of(c)).second)
            << "twice: " << c.Red << "," << c.Green << "," << c.Blue;
    for (int i = 0; i < 256; ++i) {
        const RgbTriple& c = StdPal256[i];
        if (c.Red % 51 == 0 && c.Green % 51 == 0 && c.Blue % 51 == 0) {
            cube.insert(Of(c));
            EXPECT_FALSE((i >= 10 && i <= 28) || (i >= 233 && i <= 245)) << i;
        }
    }
    EXPECT_EQ(cube.size(), 212u);
}

TEST(DepthTables, CubeIndexLeadsToTheCubeColourOrItsPureColour)
{
    for (int b = 0; b < 6; ++b)
        for (int g = 0; g < 6; ++g)
            for (int r = 0; r < 6; ++r) {
                const int c = r + Mul6[g] + Mul36[b];
                const Colour got = Of(StdPal256[CubeToPalette[c]]);
                if (c == 31 || c == 66)
                    EXPECT_EQ(got, Colour(0, 255, 0)) << c;
                else if (c == 181 || c == 186)
                    EXPECT_EQ(got, Colour(0, 0, 255)) << c;
                else
                    EXPECT_EQ(got, Colour(51 * r, 51 * g, 51 * b)) << c;
            }
    EXPECT_EQ(CubeToPalette[215], 255);
    EXPECT_EQ(CubeToPalette[86], 109);
    EXPECT_EQ(CubeToPalette[129], 146);
    EXPECT_EQ(CubeToPalette[31], 250);
    EXPECT_EQ(CubeToPalette[181], 252);
}

} // namespace
