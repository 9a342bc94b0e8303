#include "TestSupport.h"

#include "depth/NearestColour.h"
#include "base/Palette.h"

#include <random>

namespace {

class NearestColourTest : public LeakCheckedTest {
protected:
    // A palette object of n entries, each channel drawn by channel().
    template <typename F> HPALETTE Palette(int n, F channel)
    {
        LOGPALETTE lp{};
        lp.palVersion = 0x300;
        lp.palNumEntries = std::uint16_t(n);
        for (int i = 0; i < n; ++i)
            lp.palPalEntry[i] = PALETTEENTRY{std::uint8_t(channel()), std::uint8_t(channel()),
                                             std::uint8_t(channel()), 0};
        return CreatePalette(&lp);
    }

    // Asks the fast and the plain search the same colours.
    void ExpectSameAnswers(HPALETTE palette, int queries)
    {
        NearestColour fast(palette);
        std::uniform_int_distribution<int> any(0, 255);
        for (int q = 0; q < queries; ++q) {
            const int r = any(random), g = any(random), b = any(random);
            ASSERT_EQ(fast(r, g, b), GetNearestPaletteIndex(palette, RGB(r, g, b)))
                << r << "," << g << "," << b;
        }
        // the corners of cells, where a box test is most easily off by one
        for (int r : {0, 7, 8, 127, 128, 248, 255})
            for (int g : {0, 7, 8, 15, 16, 255})
                for (int b : {0, 1, 7, 8, 135, 136, 255})
                    ASSERT_EQ(fast(r, g, b), GetNearestPaletteIndex(palette, RGB(r, g, b)))
                        << r << "," << g << "," << b;
        DeleteObject(palette);
    }

    std::mt19937 random{20240611};
};

TEST_F(NearestColourTest, AnswersAsThePlainSearchOnRandomPalettes)
{
    for (int n : {1, 2, 3, 16, 20, 236, 256}) {
        std::uniform_int_distribution<int> any(0, 255);
        ExpectSameAnswers(Palette(n, [&] { return any(random); }), 20000);
    }
}

TEST_F(NearestColourTest, TiesGoToTheLowestIndexAsInThePlainSearch)
{
    // Few channel values: many entries repeat or lie equally far from a
    // colour, so the lowest-index rule decides most answers.
    for (int n : {2, 16, 256}) {
        std::uniform_int_distribution<int> level(0, 3);
        ExpectSameAnswers(Palette(n, [&] { return 16 * level(random); }), 20000);
        ExpectSameAnswers(Palette(n, [&] { return 120 + 2 * level(random); }), 20000);
    }
    // a palette of one colour, 256 times
    ExpectSameAnswers(Palette(256, [] { return 77; }), 2000);
}

TEST_F(NearestColourTest, AnswersOnTheRegularPalettesOfTheReductions)
{
    // the 16-step lattice of an optimized palette, and every 17th colour
    int k = 0;
    ExpectSameAnswers(Palette(256, [&] { return 16 * (k++ % 16); }), 50000);
    int j = 0;
    ExpectSameAnswers(Palette(216, [&] { return 51 * (j++ % 6); }), 50000);
}

TEST_F(NearestColourTest, NoPaletteAnswersZero)
{
    NearestColour none(nullptr);
    EXPECT_EQ(none(10, 200, 30), 0u);
}

} // namespace
