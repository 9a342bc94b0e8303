#include "TestSupport.h"

#include "imagora/Orientation.h"

#include <string>
#include <utility>

namespace {

class Orientation : public LeakCheckedTest {};

// The stored picture is 3 x 2 with the letters
//   a b c
//   d e f
// and each orientation value names what must be seen upright.
struct Case {
    int orientation;
    const char* upright; // rows separated by '/'
};

constexpr Case kCases[] = {
    {1, "abc/def"},  {2, "cba/fed"},  {3, "fed/cba"},  {4, "def/abc"},
    {5, "ad/be/cf"}, {6, "da/eb/fc"}, {7, "fc/eb/da"}, {8, "cf/be/ad"},
};

// Letters as pixel values that fit every depth (1-bit pictures keep only
// the lowest bit, which still tells most turns apart).
std::uint32_t Value(char letter, int bits)
{
    const std::uint32_t v = std::uint32_t(letter - 'a' + 1);
    return bits == 24 ? v * 0x010203u : v & ((1u << bits) - 1);
}

std::string Expected(const char* upright, int bits)
{
    std::string s;
    for (const char* p = upright; *p; ++p)
        s += *p == '/' ? std::string("/") : std::to_string(Value(*p, bits)) + ",";
    return s;
}

std::string Seen(const TDibRecord& d)
{
    std::string s;
    for (int y = 0; y < DibHeight(d); ++y) {
        if (y)
            s += '/';
        for (int x = 0; x < DibWidth(d); ++x)
            s += std::to_string(getpixel(d, x, y)) + ",";
    }
    return s;
}

TEST_F(Orientation, EveryValueAtEveryDepth)
{
    const char stored[2][4] = {"abc", "def"};
    for (int bits : {1, 4, 8, 24}) {
        for (const Case& c : kCases) {
            DibGuard d(
                MakeDib(3, 2, bits, [&](int x, int y) { return Value(stored[y][x], bits); }));
            ApplyOrientation(&d.dib, c.orientation);
            EXPECT_EQ(Seen(d.dib), Expected(c.upright, bits))
                << bits << " bits, orientation " << c.orientation;
            if (bits <= 8) {
                EXPECT_EQ(d->Info->bmiColors[1].rgbRed, 255 / ((1 << bits) - 1))
                    << "colour table kept";
            }
        }
    }
}

// The upright pixel (dx, dy) of a stored w x h picture, read the other way
// round: from where each orientation takes it.
std::pair<int, int> StoredPixelOf(int orientation, int dx, int dy, int w, int h)
{
    switch (orientation) {
    case 1:
        return {dx, dy};
    case 2:
        return {w - 1 - dx, dy};
    case 3:
        return {w - 1 - dx, h - 1 - dy};
    case 4:
        return {dx, h - 1 - dy};
    case 5:
        return {dy, dx};
    case 6:
        return {dy, h - 1 - dx};
    case 7:
        return {w - 1 - dy, h - 1 - dx};
    default:
        return {w - 1 - dy, dx};
    }
}

TEST_F(Orientation, TallPicturesTurnInBandsWithoutLosingAPixel)
{
    // 70 rows: two whole bands of rows turned together and a partial one;
    // an odd width leaves padding at the end of every stored row.
    const int w = 37, h = 70;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const std::uint32_t mask = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        DibGuard src(MakeDib(w, h, bits, [&](int x, int y) {
            return (std::uint32_t(x) * 2654435761u ^ std::uint32_t(y) * 40503u) & mask;
        }));
        for (int o = 1; o <= 8; ++o) {
            TDibRecord out;
            RecordingProgress progress;
            OrientDib(src.dib, o, out, progress);
            DibGuard turned(out);
            ASSERT_EQ(DibBitCount(turned.dib), bits);
            ASSERT_EQ(DibWidth(turned.dib), o >= 5 ? h : w);
            int wrong = 0;
            for (int dy = 0; dy < DibHeight(turned.dib); ++dy)
                for (int dx = 0; dx < DibWidth(turned.dib); ++dx) {
                    const auto [sx, sy] = StoredPixelOf(o, dx, dy, w, h);
                    wrong += getpixel(turned.dib, dx, dy) != getpixel(src.dib, sx, sy);
                }
            EXPECT_EQ(wrong, 0) << bits << " bits, orientation " << o;
            ASSERT_EQ(progress.values.size(), std::size_t(h + 2));
            EXPECT_EQ(progress.values[1], 0);
            EXPECT_EQ(progress.values[35], 49) << "row 34 of 70: 3400 div 69";
            EXPECT_EQ(progress.values[h], 100);
            EXPECT_EQ(progress.values.back(), 0);
        }
    }
}

TEST_F(Orientation, UnknownValuesAndEmptyRecordsAreLeftAlone)
{
    DibGuard d(MakeDib(3, 2, 8, [](int x, int y) { return x + 3 * y; }));
    const std::uint8_t* bits = d->Bits;
    for (int value : {0, 1, 9, -3, 1000})
        ApplyOrientation(&d.dib, value);
    EXPECT_EQ(d->Bits, bits);
    TDibRecord empty;
    ApplyOrientation(&empty, 6);
    EXPECT_EQ(empty.Bits, nullptr);
}

TEST_F(Orientation, PictureStaysAsStoredWhenTheTurnedCopyDoesNotFit)
{
    // 4 x 1 at 24 bits takes 12 bytes; turned, 1 x 4 takes 16.
    DibGuard d(MakeDib(4, 1, 24, [](int x, int) { return std::uint32_t(x); }));
    AllocationLimit limit(12);
    ApplyOrientation(&d.dib, 6);
    EXPECT_EQ(DibWidth(d.dib), 4);
    EXPECT_EQ(getpixel(d.dib, 3, 0), 3u);
}

} // namespace
