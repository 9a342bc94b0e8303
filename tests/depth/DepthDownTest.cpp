#include "PictureSupport.h"

#include "depth/DepthDown.h"
#include "depth/DepthTables.h"
#include "depth/DepthUp.h"
#include "depth/DitherFS.h"
#include "depth/OptimizedPalette.h"
#include "base/Palette.h"

#include <random>

namespace {

using Choice = DepthDownChoice;
constexpr Choice kNearestStd{DepthMethod::Nearest, false, false};
constexpr Choice kOrderedStd{DepthMethod::Ordered, false, false};
constexpr Choice kFSStd{DepthMethod::FloydSteinberg, false, false};

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

std::vector<std::uint32_t> Indices(const TDibRecord& d)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < DibHeight(d); ++y)
        for (int x = 0; x < DibWidth(d); ++x)
            out.push_back(getpixel(d, x, y));
    return out;
}

std::vector<Rgb> Table(const TDibRecord& d)
{
    std::vector<Rgb> colours;
    for (int i = 0; i < (1 << DibBitCount(d)); ++i)
        colours.push_back(PaletteColour(d, i));
    return colours;
}

std::vector<Rgb> Colours(const RgbTriple* t, int n)
{
    std::vector<Rgb> colours;
    for (int i = 0; i < n; ++i)
        colours.push_back(Rgb{t[i].Red, t[i].Green, t[i].Blue});
    return colours;
}

const int kAwkwardWidths[] = {1, 2, 3, 7, 9, 15, 17, 31};

class DepthDownTest : public LeakCheckedTest {
protected:
    TDibRecord RandomPicture(int w, int h, int bits)
    {
        const std::uint32_t top = bits == 24 ? 0xFFFFFF : (1u << bits) - 1;
        std::uniform_int_distribution<std::uint32_t> any(0, top);
        TDibRecord d = MakeDib(w, h, bits, [&](int, int) { return any(random); });
        std::uniform_int_distribution<int> level(0, 255);
        for (int i = 0; bits <= 8 && i < (1 << bits); ++i) {
            const auto r = std::uint8_t(level(random)), g = std::uint8_t(level(random)),
                       b = std::uint8_t(level(random));
            d.Palette.palPalEntry[i] = PALETTEENTRY{r, g, b, 0};
            d.Info->bmiColors[i] = RGBQUAD{b, g, r, 0};
        }
        return d;
    }

    TDibRecord Reduce(const TDibRecord& d, int target, const Choice& choice)
    {
        NullProgress quiet;
        return DepthDownTo(d, target, choice, quiet);
    }

    std::mt19937 random{11};
};

TEST_F(DepthDownTest, OneBitThresholdOnAverageOrBrightness)
{
    for (int bits : {24, 8, 4})
        for (int w : kAwkwardWidths) {
            DibGuard source(RandomPicture(w, 3, bits));
            DibGuard reduced(Reduce(source.dib, 1, kNearestStd));
            ASSERT_EQ(DibBitCount(reduced.dib), 1);
            EXPECT_EQ(Table(reduced.dib), (std::vector<Rgb>{{0, 0, 0}, {255, 255, 255}}));
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < w; ++x) {
                    const Rgb c = Shown(source.dib, x, y);
                    const int level =
                        bits == 24 ? (c.r + c.g + c.b) / 3 : (30 * c.r + 59 * c.g + 11 * c.b) / 100;
                    ASSERT_EQ(getpixel(reduced.dib, x, y), level < 128 ? 0u : 1u)
                        << bits << " bits, width " << w << " at " << x << "," << y;
                }
        }
}

TEST_F(DepthDownTest, OneBitThresholdExamples)
{
    DibGuard row(TrueColourRow({{127, 127, 127}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}}));
    DibGuard reduced(Reduce(row.dib, 1, kNearestStd));
    EXPECT_EQ(Indices(reduced.dib), (std::vector<std::uint32_t>{0, 1, 0, 0}));
    DibGuard palette(PalettePicture(4, {{255, 0, 0}, {0, 255, 0}}));
    DibGuard fromPalette(Reduce(palette.dib, 1, kNearestStd));
    EXPECT_EQ(getpixel(fromPalette.dib, 0, 0), 0u) << "red: brightness 76";
    EXPECT_EQ(getpixel(fromPalette.dib, 1, 0), 1u) << "green: brightness 150";
}

TEST_F(DepthDownTest, OrderedDitherLandsOnTheCubeLevelAboveWhereTheThresholdIsBelow)
{
    const int matrix[8][8] = {
        {0, 38, 9, 47, 2, 40, 11, 50},  {25, 12, 35, 22, 27, 15, 37, 24},
        {6, 44, 3, 41, 8, 47, 5, 43},   {31, 19, 28, 15, 34, 21, 31, 18},
        {1, 39, 11, 49, 0, 39, 10, 48}, {27, 14, 36, 23, 26, 13, 35, 23},
        {7, 46, 4, 43, 7, 45, 3, 42},   {33, 20, 30, 17, 32, 19, 29, 16},
    };
    for (int w : kAwkwardWidths) {
        const int h = 11;
        DibGuard source(RandomPicture(w, h, 24));
        DibGuard reduced(Reduce(source.dib, 8, kOrderedStd));
        ASSERT_EQ(Table(reduced.dib), Colours(StdPal256.data(), 256));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int t = matrix[x % 8][(h - 1 - y) % 8]; // stored rows from the bottom
                const Rgb c = PixelColour(source.dib, x, y);
                auto level = [t](int v) { return 51 * (v / 51 + (t < v % 51 ? 1 : 0)); };
                Rgb expected{level(c.r), level(c.g), level(c.b)};
                if (expected == Rgb(51, 255, 0) || expected == Rgb(0, 255, 51))
                    expected = Rgb(0, 255, 0);
                if (expected == Rgb(51, 0, 255) || expected == Rgb(0, 51, 255))
                    expected = Rgb(0, 0, 255);
                ASSERT_EQ(Shown(reduced.dib, x, y), expected) << "width " << w << " at " << x;
            }
    }
}

TEST_F(DepthDownTest, OrderedDitherExamples)
{
    DibGuard white(MakeDib(9, 9, 24, [](int, int) { return 0xFFFFFFu; }));
    DibGuard allWhite(Reduce(white.dib, 8, kOrderedStd));
    for (std::uint32_t index : Indices(allWhite.dib))
        ASSERT_EQ(index, 255u);

    DibGuard grey(MakeDib(8, 8, 24, [](int, int) { return 0x808080u; }));
    DibGuard dithered(Reduce(grey.dib, 8, kOrderedStd));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(getpixel(dithered.dib, x, y), DitherMatrix8[x][7 - y] < 26 ? 146u : 109u)
                << x << "," << y;

    DibGuard greens(TrueColourRow({{0, 255, 0}, {51, 255, 0}}));
    DibGuard onCube(Reduce(greens.dib, 8, kOrderedStd));
    EXPECT_EQ(Indices(onCube.dib), (std::vector<std::uint32_t>{250, 250}));
}

TEST_F(DepthDownTest, NearestColourIsThePlainSearchIntoTheNewPalette)
{
    const Choice optimizedWin{DepthMethod::Nearest, true, true};
    const Choice optimized{DepthMethod::Nearest, true, false};
    for (auto [from, to, choice] :
         {std::tuple{24, 8, kNearestStd}, std::tuple{24, 8, optimizedWin},
          std::tuple{24, 8, optimized}, std::tuple{24, 4, kNearestStd},
          std::tuple{24, 4, optimized}, std::tuple{8, 4, kNearestStd}, std::tuple{8, 4, optimized},
          std::tuple{24, 4, kOrderedStd}}) // a dithering choice left from an 8-bit run
        for (int w : kAwkwardWidths) {
            DibGuard source(RandomPicture(w, 5, from));
            DibGuard reduced(Reduce(source.dib, to, choice));
            ASSERT_EQ(DibBitCount(reduced.dib), to);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(getpixel(reduced.dib, x, y),
                              GetNearestPaletteIndex(reduced->PaletteHandle,
                                                     ToColorRef(Shown(source.dib, x, y))))
                        << from << "->" << to << " width " << w << " at " << x << "," << y;
        }
}

TEST_F(DepthDownTest, PalettesOfTheChoices)
{
    DibGuard source(RandomPicture(40, 30, 24));
    RgbTriple expected[256];
    NullProgress quiet;

    DibGuard std4(Reduce(source.dib, 4, kFSStd));
    EXPECT_EQ(Table(std4.dib), Colours(StdPal16.data(), 16));
    DibGuard opt4(Reduce(source.dib, 4, Choice{DepthMethod::FloydSteinberg, true, true}));
    OptimizedPalette(source.dib, 16, 5, expected, quiet);
    EXPECT_EQ(Table(opt4.dib), Colours(expected, 16)) << "the system colours are for 8 bits";

    DibGuard opt8(Reduce(source.dib, 8, Choice{DepthMethod::Nearest, true, false}));
    OptimizedPalette(source.dib, 256, 4, expected, quiet);
    EXPECT_EQ(Table(opt8.dib), Colours(expected, 256));

    DibGuard framed(Reduce(source.dib, 8, Choice{DepthMethod::Nearest, true, true}));
    OptimizedPalette(source.dib, 236, 4, expected, quiet);
    const std::vector<Rgb> table = Table(framed.dib);
    const std::vector<Rgb> system = Colours(StdPal256.data(), 256);
    EXPECT_EQ(std::vector<Rgb>(table.begin(), table.begin() + 10),
              std::vector<Rgb>(system.begin(), system.begin() + 10));
    EXPECT_EQ(std::vector<Rgb>(table.begin() + 10, table.begin() + 246), Colours(expected, 236));
    EXPECT_EQ(std::vector<Rgb>(table.begin() + 246, table.end()),
              std::vector<Rgb>(system.begin() + 246, system.end()));

    // Ordered dithering maps onto the standard palette's cube, so it brings
    // that palette whatever palette was asked for.
    DibGuard ordered(Reduce(source.dib, 8, Choice{DepthMethod::Ordered, true, true}));
    DibGuard orderedStd(Reduce(source.dib, 8, kOrderedStd));
    EXPECT_EQ(Table(ordered.dib), system);
    EXPECT_EQ(Indices(ordered.dib), Indices(orderedStd.dib));
}

TEST_F(DepthDownTest, FloydSteinbergRunsOntoTheNewPalette)
{
    for (auto [from, to, choice] :
         {std::tuple{24, 8, Choice{}}, std::tuple{24, 4, kFSStd}, std::tuple{8, 4, Choice{}},
          std::tuple{4, 1, kFSStd}, std::tuple{24, 1, kOrderedStd}}) {
        DibGuard source(RandomPicture(13, 6, from));
        DibGuard reduced(Reduce(source.dib, to, choice));
        ASSERT_EQ(DibBitCount(reduced.dib), to);
        DibGuard again;
        NewDibLike(&again.dib, reduced.dib);
        NullProgress quiet;
        DitherFS(source.dib, again.dib, quiet);
        EXPECT_EQ(Indices(reduced.dib), Indices(again.dib)) << from << "->" << to;
    }
}

TEST_F(DepthDownTest, FourBitsFillBothNibblesOfEachByte)
{
    DibGuard row(TrueColourRow({{255, 255, 255}, {255, 0, 0}, {0, 0, 255}}));
    DibGuard reduced(Reduce(row.dib, 4, kNearestStd));
    const std::uint8_t* stored = reduced->Bits;
    EXPECT_EQ(stored[0], 0xF9) << "white (15) high, red (9) low";
    EXPECT_EQ(stored[1], 0xC0) << "blue (12) high, the last nibble untouched";
}

TEST_F(DepthDownTest, RaisingThenReducingBackGivesTheSameColours)
{
    NullProgress quiet;
    // palette pictures of the standard palettes, raised and reduced back
    for (auto [bits, up] : {std::pair{4, 24}, std::pair{4, 8}, std::pair{8, 24}}) {
        const auto& std = bits == 4 ? Colours(StdPal16.data(), 16) : Colours(StdPal256.data(), 256);
        DibGuard source(PalettePicture(bits, std));
        DibGuard raised(DepthUpTo(source.dib, up, 7, quiet));
        DibGuard back(Reduce(raised.dib, bits, kNearestStd));
        EXPECT_EQ(Indices(back.dib), Indices(source.dib)) << bits << " via " << up;
        EXPECT_EQ(Table(back.dib), std);
    }
    DibGuard bw(PalettePicture(1, {{0, 0, 0}, {255, 255, 255}}));
    DibGuard raised(DepthUpTo(bw.dib, 24, 7, quiet));
    DibGuard back(Reduce(raised.dib, 1, kNearestStd));
    EXPECT_EQ(Indices(back.dib), Indices(bw.dib));

    // a true-colour picture of few colours on the optimized levels comes
    // back exactly, by nearest colour and by error distribution alike
    for (auto [to, step, choice] : {std::tuple{4, 32, Choice{DepthMethod::Nearest, true, true}},
                                    std::tuple{4, 32, Choice{}}, std::tuple{8, 16, Choice{}},
                                    std::tuple{8, 16, Choice{DepthMethod::Nearest, true, false}}}) {
        std::uniform_int_distribution<int> pick(0, to == 4 ? 15 : 200);
        DibGuard few(MakeDib(23, 9, 24, [&, step = step](int, int) {
            const int k = pick(random);
            return RGB(std::uint8_t(step * (k % 4)), std::uint8_t(step * (k / 4 % 4)),
                       std::uint8_t(step * (k / 16)));
        }));
        DibGuard reduced(Reduce(few.dib, to, choice));
        DibGuard up(DepthUpTo(reduced.dib, 24, 7, quiet));
        ASSERT_TRUE(up->Bits);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 23; ++x)
                ASSERT_EQ(PixelColour(up.dib, x, y), PixelColour(few.dib, x, y)) << to << " " << x;
    }
}

TEST_F(DepthDownTest, OtherPairsAndFailedAllocationsMakeNothing)
{
    for (auto [from, to] : {std::pair{1, 1}, std::pair{4, 4}, std::pair{8, 8}, std::pair{8, 24},
                            std::pair{16, 8}, std::pair{32, 1}, std::pair{24, 24}}) {
        DibGuard source(MakeDib(4, 3, from, [](int, int) { return 1u; }));
        DibGuard reduced(Reduce(source.dib, to, Choice{}));
        EXPECT_EQ(reduced->Bits, nullptr) << from << "->" << to;
    }
    DibGuard source(RandomPicture(64, 64, 24));
    AllocationLimit tight(100);
    for (int to : {1, 4, 8})
        EXPECT_EQ(Reduce(source.dib, to, Choice{}).Bits, nullptr) << to;
}

TEST_F(DepthDownTest, ProgressStartsAndEndsAtZero)
{
    DibGuard source(RandomPicture(4, 3, 24));
    RecordingProgress progress;
    DibGuard reduced(DepthDownTo(source.dib, 8, kOrderedStd, progress));
    EXPECT_EQ(progress.values, (std::vector<int>{0, 0, 50, 100, 0}));
}

} // namespace
