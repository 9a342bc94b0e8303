#include "PictureSupport.h"

#include "depth/OptimizedPalette.h"

#include <random>
#include <set>
#include <tuple>
#include <vector>

namespace {

// The popularity method in its plainest form: one pixel at a time through
// getpixel, the quicksort recursing into both parts.
void PlainSort(std::vector<int>& counts, std::vector<int>& bins, int L, int R)
{
    int i = L, j = R;
    const int p = counts[std::size_t((L + R) / 2)];
    do {
        while (counts[std::size_t(i)] < p)
            ++i;
        while (counts[std::size_t(j)] > p)
            --j;
        if (i <= j) {
            std::swap(counts[std::size_t(i)], counts[std::size_t(j)]);
            std::swap(bins[std::size_t(i)], bins[std::size_t(j)]);
            ++i;
            --j;
        }
    } while (i <= j);
    if (L < j)
        PlainSort(counts, bins, L, j);
    if (i < R)
        PlainSort(counts, bins, i, R);
}

std::vector<Rgb> PlainPalette(const TDibRecord& d, int count, int shift)
{
    std::vector<int> counts(32768, 0), bins(32768);
    for (int k = 0; k < 32768; ++k)
        bins[std::size_t(k)] = k;
    for (int y = DibHeight(d) - 1; y >= 0; --y) // stored rows from the bottom
        for (int x = 0; x < DibWidth(d); ++x) {
            Rgb c = PixelColour(d, x, y);
            if (DibBitCount(d) == 8) {
                const PALETTEENTRY& e = d.Palette.palPalEntry[getpixel(d, x, y)];
                c = Rgb{e.peRed, e.peGreen, e.peBlue};
            }
            const int n = (c.r >> shift) * 1024 + (c.g >> shift) * 32 + (c.b >> shift);
            if (counts[std::size_t(n)] == 65535)
                for (int& k : counts)
                    k /= 2;
            ++counts[std::size_t(n)];
        }
    PlainSort(counts, bins, 0, 32767);
    std::vector<Rgb> palette;
    for (int k = 0; k < count; ++k) {
        const int n = bins[std::size_t(32767 - k)];
        palette.push_back(Rgb{((n >> 10) << shift) & 255, (((n >> 5) & 31) << shift) & 255,
                              ((n & 31) << shift) & 255});
    }
    return palette;
}

std::vector<Rgb> Optimized(const TDibRecord& d, int count, int shift)
{
    RgbTriple triples[256];
    NullProgress quiet;
    OptimizedPalette(d, count, shift, triples, quiet);
    std::vector<Rgb> palette;
    for (int k = 0; k < count; ++k)
        palette.push_back(Rgb{triples[k].Red, triples[k].Green, triples[k].Blue});
    return palette;
}

class OptimizedPaletteTest : public LeakCheckedTest {};

TEST_F(OptimizedPaletteTest, OneColourComesFirstAsTheLowestColourOfItsBin)
{
    DibGuard d(MakeDib(5, 3, 24, [](int, int) { return RGB(200, 100, 50); }));
    EXPECT_EQ(Optimized(d.dib, 16, 5)[0], Rgb(192, 96, 32));
    EXPECT_EQ(Optimized(d.dib, 256, 4)[0], Rgb(192, 96, 48));
}

TEST_F(OptimizedPaletteTest, MatchesThePlainMethodOnRandomPictures)
{
    std::mt19937 random(7);
    for (int shift : {3, 4, 5, 7})
        for (int bits : {24, 8}) {
            // few colours, so that many counts tie and the sort decides
            std::uniform_int_distribution<int> pick(0, 40);
            DibGuard d(MakeDib(37, 23, bits, [&](int, int) {
                const int v = pick(random);
                return bits == 8 ? std::uint32_t(v * 6)
                                 : RGB(std::uint8_t(v * 6), std::uint8_t(255 - v * 5),
                                       std::uint8_t(v * v % 256));
            }));
            EXPECT_EQ(Optimized(d.dib, 256, shift), PlainPalette(d.dib, 256, shift))
                << bits << " bits, shift " << shift;
            EXPECT_EQ(Optimized(d.dib, 16, shift), PlainPalette(d.dib, 16, shift));
        }
}

TEST_F(OptimizedPaletteTest, FewColoursLeaveEmptyBinsWhoseLevelsAreTruncated)
{
    DibGuard d(
        MakeDib(4, 4, 24, [](int x, int) { return x < 3 ? RGB(255, 0, 0) : RGB(0, 0, 255); }));
    const std::vector<Rgb> palette = Optimized(d.dib, 256, 4);
    EXPECT_EQ(palette, PlainPalette(d.dib, 256, 4));
    EXPECT_EQ(palette[0], Rgb(240, 0, 0));
    EXPECT_EQ(palette[1], Rgb(0, 0, 240));
    // Distinct bins of levels 0..15 give distinct colours; a colour seen twice
    // comes from a bin of a level above 15, its shifted value cut to 8 bits.
    std::set<std::tuple<int, int, int>> distinct;
    for (const Rgb& c : palette) {
        ASSERT_EQ(c.r % 16 + c.g % 16 + c.b % 16, 0) << c;
        distinct.insert({c.r, c.g, c.b});
    }
    EXPECT_LT(distinct.size(), palette.size());
    for (const Rgb& c : Optimized(d.dib, 256, 5))
        ASSERT_EQ(c.r % 32 + c.g % 32 + c.b % 32, 0) << c;
}

TEST_F(OptimizedPaletteTest, AFullBinHalvesEveryCount)
{
    // 3 blue pixels first, 70000 red ones, then 2 green: halving when red
    // reaches 65535 leaves blue at 1, below green's 2.
    const int w = 1000, h = 71;
    DibGuard d(MakeDib(w, h, 24, [&](int x, int y) {
        const int stored = (h - 1 - y) * w + x; // the order the pixels are counted
        if (stored < 3)
            return RGB(0, 0, 255);
        if (stored >= 70003 && stored < 70005)
            return RGB(0, 255, 0);
        return RGB(255, 0, 0);
    }));
    const std::vector<Rgb> palette = Optimized(d.dib, 3, 5);
    EXPECT_EQ(palette[0], Rgb(224, 0, 0));
    EXPECT_EQ(palette[1], Rgb(0, 224, 0));
    EXPECT_EQ(palette[2], Rgb(0, 0, 224));
}

TEST_F(OptimizedPaletteTest, EqualCountsLeaveTheSortInItsOwnOrder)
{
    std::uint16_t counts[3] = {1, 1, 1}, bins[3] = {0, 1, 2};
    SortCounts(counts, bins, 0, 2);
    EXPECT_EQ(bins[0], 2);
    EXPECT_EQ(bins[1], 1);
    EXPECT_EQ(bins[2], 0);
}

TEST_F(OptimizedPaletteTest, SortMatchesThePlainQuicksortOnAwkwardOrders)
{
    std::mt19937 random(3);
    for (int pattern = 0; pattern < 5; ++pattern) {
        std::vector<std::uint16_t> counts(32768), bins(32768);
        std::vector<int> plainCounts(32768), plainBins(32768);
        for (int k = 0; k < 32768; ++k) {
            const int v = pattern == 0   ? k                 // sorted
                          : pattern == 1 ? 32767 - k         // reversed
                          : pattern == 2 ? (k % 2) * 65535   // two values
                          : pattern == 3 ? int(random() % 4) // many ties
                                         : int(random() % 65536);
            counts[std::size_t(k)] = std::uint16_t(v);
            plainCounts[std::size_t(k)] = v;
            bins[std::size_t(k)] = std::uint16_t(k);
            plainBins[std::size_t(k)] = k;
        }
        SortCounts(counts.data(), bins.data(), 0, 32767);
        PlainSort(plainCounts, plainBins, 0, 32767);
        for (int k = 0; k < 32768; ++k)
            ASSERT_EQ(bins[std::size_t(k)], plainBins[std::size_t(k)]) << pattern << " at " << k;
    }
}

TEST_F(OptimizedPaletteTest, ReportsProgressPerRowBetweenZeros)
{
    DibGuard d(MakeDib(3, 5, 24, [](int, int) { return 0u; }));
    RecordingProgress progress;
    RgbTriple triples[256];
    OptimizedPalette(d.dib, 16, 5, triples, progress);
    EXPECT_EQ(progress.values, (std::vector<int>{0, 0, 25, 50, 75, 100, 0}));
}

} // namespace
