#include "PictureSupport.h"

#include "depth/DepthUp.h"

#include <cstdlib>
#include <random>

namespace {

class DepthUpTest : public LeakCheckedTest {
protected:
    // A picture of random indices (palette depths, the table random too) or
    // random colours (24 bits).
    TDibRecord RandomPicture(int w, int h, int bits)
    {
        const std::uint32_t top = bits == 24 ? 0xFFFFFF : bits > 8 ? 0xFFFF : (1u << bits) - 1;
        std::uniform_int_distribution<std::uint32_t> any(0, top);
        TDibRecord d = MakeDib(w, h, bits, [&](int, int) { return any(random); });
        std::uniform_int_distribution<int> level(0, 255);
        for (int i = 0; bits <= 8 && i < (1 << bits); ++i) {
            const int r = level(random), g = level(random), b = level(random);
            d.Palette.palPalEntry[i] =
                PALETTEENTRY{std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), 0};
            d.Info->bmiColors[i] = RGBQUAD{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), 0};
        }
        return d;
    }

    TDibRecord Raise(const TDibRecord& d, int target)
    {
        NullProgress quiet;
        return DepthUpTo(d, target, 7, quiet);
    }

    std::mt19937 random{99};
};

Rgb EntryColour(const TDibRecord& d, std::uint32_t index)
{
    const PALETTEENTRY& e = d.Palette.palPalEntry[index];
    return Rgb{e.peRed, e.peGreen, e.peBlue};
}

// The colour a pixel shows: its value at 24 bits, its entry otherwise.
Rgb Shown(const TDibRecord& d, int x, int y)
{
    return DibBitCount(d) == 24 ? PixelColour(d, x, y) : EntryColour(d, getpixel(d, x, y));
}

const int kAwkwardWidths[] = {1, 3, 5, 7, 9, 13, 33};

TEST_F(DepthUpTest, PaletteSourcesKeepEveryPixelsColour)
{
    for (auto [from, to] : {std::pair{4, 8}, std::pair{4, 24}, std::pair{8, 24}})
        for (int w : kAwkwardWidths) {
            DibGuard source(RandomPicture(w, 4, from));
            DibGuard raised(Raise(source.dib, to));
            ASSERT_EQ(DibBitCount(raised.dib), to);
            ASSERT_EQ(DibWidth(raised.dib), w);
            ASSERT_EQ(DibHeight(raised.dib), 4);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(Shown(raised.dib, x, y), Shown(source.dib, x, y))
                        << from << "->" << to << " width " << w << " at " << x << "," << y;
            if (to == 8) { // the indices stay, so do the 16 colours they name
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(getpixel(raised.dib, x, 0), getpixel(source.dib, x, 0));
            }
        }
}

TEST_F(DepthUpTest, OneBitBecomesBlackAndWhiteWhateverItsColours)
{
    for (int to : {4, 8, 24})
        for (int w : kAwkwardWidths) {
            DibGuard source(RandomPicture(w, 3, 1)); // random colours, e.g. blue and yellow
            DibGuard raised(Raise(source.dib, to));
            ASSERT_EQ(DibBitCount(raised.dib), to);
            const std::uint32_t white = to == 24 ? 0xFFFFFF : (1u << to) - 1;
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool set = getpixel(source.dib, x, y) != 0;
                    ASSERT_EQ(getpixel(raised.dib, x, y), set ? white : 0u) << to << " " << x;
                    ASSERT_EQ(Shown(raised.dib, x, y), set ? Rgb(255, 255, 255) : Rgb(0, 0, 0));
                }
        }
}

TEST_F(DepthUpTest, UnusedEntriesDrawRedGreenBlueInTurnWithTwoLowBitsCleared)
{
    for (auto [from, to, first, last] :
         {std::tuple{4, 8, 16, 255}, std::tuple{1, 8, 1, 254}, std::tuple{1, 4, 1, 14}}) {
        DibGuard source(RandomPicture(3, 2, from));
        DibGuard raised(Raise(source.dib, to));
        std::minstd_rand seeded(7); // Raise's seed
        for (int i = first; i <= last; ++i) {
            const int r = int(seeded() % 256) & ~3, g = int(seeded() % 256) & ~3,
                      b = int(seeded() % 256) & ~3;
            ASSERT_EQ(PaletteColour(raised.dib, i), Rgb(r, g, b)) << from << "->" << to << " " << i;
        }
        if (from == 4)
            for (int i = 0; i < 16; ++i)
                EXPECT_EQ(PaletteColour(raised.dib, i), EntryColour(source.dib, std::uint32_t(i)));
        else {
            EXPECT_EQ(PaletteColour(raised.dib, 0), Rgb(0, 0, 0));
            EXPECT_EQ(PaletteColour(raised.dib, last + 1), Rgb(255, 255, 255));
        }
        // the palette object shows the new table
        EXPECT_EQ(raised->PaletteHandle->entries.size(), std::size_t(1) << to);
        const PALETTEENTRY& e = raised->PaletteHandle->entries[std::size_t(last)];
        EXPECT_EQ(Rgb(e.peRed, e.peGreen, e.peBlue), PaletteColour(raised.dib, last));
    }
}

TEST_F(DepthUpTest, OtherPairsAndFailedAllocationsMakeNothing)
{
    for (auto [from, to] : {std::pair{24, 24}, std::pair{8, 4}, std::pair{8, 8}, std::pair{4, 1},
                            std::pair{16, 24}, std::pair{32, 24}}) {
        DibGuard source(RandomPicture(4, 2, from));
        DibGuard raised(Raise(source.dib, to));
        EXPECT_EQ(raised->Bits, nullptr) << from << "->" << to;
    }
    DibGuard empty;
    EXPECT_EQ(Raise(empty.dib, 24).Bits, nullptr);
    DibGuard source(RandomPicture(64, 64, 8));
    AllocationLimit tight(1000);
    EXPECT_EQ(Raise(source.dib, 24).Bits, nullptr);
}

TEST_F(DepthUpTest, ReportsEachRowBetweenZeros)
{
    DibGuard source(RandomPicture(2, 3, 8));
    RecordingProgress progress;
    DibGuard raised(DepthUpTo(source.dib, 24, 7, progress));
    EXPECT_EQ(progress.values, (std::vector<int>{0, 0, 50, 100, 0}));
}

} // namespace
