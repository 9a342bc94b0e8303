#include "PictureSupport.h"

#include "depth/DitherFS.h"
#include "base/Palette.h"

#include <algorithm>
#include <random>

namespace {

// Floyd-Steinberg as a picture-sized error field: 7/16 to the next pixel in
// the row's direction, 3/16 behind, 5/16 below and 1/16 ahead in the row
// below; the top row runs left to right and the directions alternate.
std::vector<std::uint32_t> PlainDither(const TDibRecord& s, const TDibRecord& n)
{
    const int w = DibWidth(s), h = DibHeight(s);
    std::vector<std::array<int, 3>> error(std::size_t(w) * std::size_t(h + 1), {0, 0, 0});
    std::vector<std::uint32_t> out(std::size_t(w) * std::size_t(h));
    auto spread = [&](int x, int y, const int(&e)[3], int share) {
        if (x >= 0 && x < w && y < h)
            for (int c = 0; c < 3; ++c)
                error[std::size_t(y) * std::size_t(w) + std::size_t(x)][std::size_t(c)] +=
                    share * e[c];
    };
    for (int y = 0; y < h; ++y) {
        const int dir = y % 2 == 0 ? 1 : -1;
        for (int k = 0; k < w; ++k) {
            const int x = dir > 0 ? k : w - 1 - k;
            Rgb src = PixelColour(s, x, y);
            if (DibBitCount(s) <= 8) {
                const PALETTEENTRY& e = s.Palette.palPalEntry[getpixel(s, x, y)];
                src = Rgb{e.peRed, e.peGreen, e.peBlue};
            }
            const auto& cell = error[std::size_t(y) * std::size_t(w) + std::size_t(x)];
            const int v[3] = {std::clamp(src.r + (cell[0] + 8) / 16, 0, 255),
                              std::clamp(src.g + (cell[1] + 8) / 16, 0, 255),
                              std::clamp(src.b + (cell[2] + 8) / 16, 0, 255)};
            const unsigned index = GetNearestPaletteIndex(
                n.PaletteHandle, RGB(std::uint8_t(v[0]), std::uint8_t(v[1]), std::uint8_t(v[2])));
            out[std::size_t(y) * std::size_t(w) + std::size_t(x)] = index;
            const PALETTEENTRY& p = n.Palette.palPalEntry[index];
            const int e[3] = {v[0] - p.peRed, v[1] - p.peGreen, v[2] - p.peBlue};
            spread(x + dir, y, e, 7);
            spread(x - dir, y + 1, e, 3);
            spread(x, y + 1, e, 5);
            spread(x + dir, y + 1, e, 1);
        }
    }
    return out;
}

std::vector<std::uint32_t> Indices(const TDibRecord& d)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < DibHeight(d); ++y)
        for (int x = 0; x < DibWidth(d); ++x)
            out.push_back(getpixel(d, x, y));
    return out;
}

class DitherFSTest : public LeakCheckedTest {
protected:
    // An empty destination with a random palette of 2^bits colours.
    TDibRecord Destination(int w, int h, int bits)
    {
        BITMAPINFO table{};
        std::uniform_int_distribution<int> level(0, 255);
        for (int i = 0; i < (1 << bits); ++i)
            table.bmiColors[i] = RGBQUAD{std::uint8_t(level(random)), std::uint8_t(level(random)),
                                         std::uint8_t(level(random)), 0};
        TDibRecord d;
        newdib(&d, w, h, bits, &table, 1 << bits);
        return d;
    }

    TDibRecord Source(int w, int h, int bits)
    {
        std::uniform_int_distribution<std::uint32_t> any(0,
                                                         bits == 24 ? 0xFFFFFF : (1u << bits) - 1);
        return MakeDib(w, h, bits, [&](int, int) { return any(random); });
    }

    std::mt19937 random{5};
};

TEST_F(DitherFSTest, MatchesThePictureSizedErrorFieldOnAwkwardWidths)
{
    NullProgress quiet;
    for (int sourceBits : {24, 8, 4, 1})
        for (int targetBits : {1, 4, 8})
            for (int w : {1, 2, 3, 5, 17, 30}) {
                DibGuard s(Source(w, 7, sourceBits));
                DibGuard n(Destination(w, 7, targetBits));
                DitherFS(s.dib, n.dib, quiet);
                ASSERT_EQ(Indices(n.dib), PlainDither(s.dib, n.dib))
                    << sourceBits << " -> " << targetBits << " bits, width " << w;
            }
}

TEST_F(DitherFSTest, TopRowRunsLeftToRightTheNextRightToLeft)
{
    // Grey 100 onto black and white: the first pixel of a row turns black and
    // pushes 7/16 of 100 onto the next, which turns white.
    DibGuard s(MakeDib(2, 2, 24, [](int, int) { return 0x646464u; }));
    DibGuard n;
    newdib(&n.dib, 2, 2, 1, nullptr, 0);
    NullProgress quiet;
    DitherFS(s.dib, n.dib, quiet);
    EXPECT_EQ(getpixel(n.dib, 0, 0), 0u);
    EXPECT_EQ(getpixel(n.dib, 1, 0), 1u);
    // The second row starts at the right: the white pixel's error of -111
    // above keeps it dark, and its own error then lifts the left one to white.
    EXPECT_EQ(getpixel(n.dib, 1, 1), 0u);
    EXPECT_EQ(getpixel(n.dib, 0, 1), 1u);
}

TEST_F(DitherFSTest, AColourOfThePaletteStaysExact)
{
    DibGuard n(Destination(9, 4, 8));
    const PALETTEENTRY e = n->Palette.palPalEntry[77];
    DibGuard s(MakeDib(9, 4, 24, [&](int, int) { return RGB(e.peRed, e.peGreen, e.peBlue); }));
    NullProgress quiet;
    DitherFS(s.dib, n.dib, quiet);
    for (std::uint32_t index : Indices(n.dib))
        ASSERT_EQ(GetNearestPaletteIndex(n->PaletteHandle, RGB(e.peRed, e.peGreen, e.peBlue)),
                  index);
}

TEST_F(DitherFSTest, PicturesWithoutPixelsOrOfOtherShapesAreLeftAlone)
{
    RecordingProgress progress;
    DibGuard empty;
    DibGuard n(Destination(4, 4, 8));
    setpixel(n.dib, 1, 1, 42);
    DitherFS(empty.dib, n.dib, progress);
    DibGuard wider(Source(5, 4, 24));
    DitherFS(wider.dib, n.dib, progress);
    DibGuard deep(Source(4, 4, 24));
    DibGuard trueColour(Source(4, 4, 24));
    DitherFS(deep.dib, trueColour.dib, progress);
    EXPECT_EQ(getpixel(n.dib, 1, 1), 42u);
    EXPECT_TRUE(progress.values.empty());
}

} // namespace
