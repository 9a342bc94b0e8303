// Mirrors and quarter turns: where each pixel goes at every depth, the
// identities they must keep, and the colour tables they carry along.
#include "PictureSupport.h"

#include "geometry/Mirror.h"
#include "geometry/Rotate.h"

#include <string>

namespace {

using Turn = void (*)(const TDibRecord&, TDibRecord&, ProgressSink&);

class Turns : public LeakCheckedTest {
protected:
    TDibRecord Run(Turn turn, const TDibRecord& src)
    {
        TDibRecord out;
        turn(src, out, progress);
        return out;
    }
    RecordingProgress progress;
};

// A letter per pixel, as a value every depth can hold: the letter's place
// in the alphabet, reduced to the depth's bits.
std::uint32_t Letter(char c, int bits)
{
    const std::uint32_t v = std::uint32_t(c - 'a' + 1);
    return bits == 24 ? v * 0x030507u : v % (1u << bits);
}

TDibRecord Letters(const std::vector<std::string>& rows, int bits)
{
    return MakeDib(int(rows[0].size()), int(rows.size()), bits, [&](int x, int y) {
        return Letter(rows[std::size_t(y)][std::size_t(x)], bits);
    });
}

std::vector<std::string> Read(const TDibRecord& d, const std::vector<std::string>& alphabet)
{
    // Each value back to the letter that made it, from a picture of letters
    // a.. whose values are all different at this depth.
    std::vector<std::string> rows;
    for (int y = 0; y < DibHeight(d); ++y) {
        std::string row;
        for (int x = 0; x < DibWidth(d); ++x) {
            char found = '?';
            for (char c : alphabet[0])
                if (Letter(c, DibBitCount(d)) == getpixel(d, x, y))
                    found = c;
            row += found;
        }
        rows.push_back(row);
    }
    return rows;
}

struct Case {
    const char* name;
    Turn turn;
    std::vector<std::string> seen;
};

TEST_F(Turns, EveryPixelLandsWhereItIsSeenAtEveryDepth)
{
    // 5 x 3, so that rows of 1-, 4- and 8-bit pictures end in padding. One
    // bit tells only two letters apart: there the grid is a b pattern.
    const std::vector<std::string> stored = {"abcde", "fghij", "klmno"};
    const Case cases[] = {
        {"MirrorH", OnCopy<MirrorH>, {"edcba", "jihgf", "onmlk"}},
        {"MirrorV", OnCopy<MirrorV>, {"klmno", "fghij", "abcde"}},
        {"RotLeft", RotLeft, {"ejo", "din", "chm", "bgl", "afk"}},
        {"RotRight", RotRight, {"kfa", "lgb", "mhc", "nid", "oje"}},
        {"Rot180", Rot180, {"onmlk", "jihgf", "edcba"}},
    };
    for (int bits : {4, 8, 24}) {
        DibGuard src(Letters(stored, bits));
        for (const Case& c : cases) {
            DibGuard out(Run(c.turn, src.dib));
            EXPECT_EQ(Read(out.dib, {"abcdefghijklmno"}), c.seen) << c.name << " at " << bits;
        }
    }
    const std::vector<std::string> bw = {"abbab", "bbaab", "aaaba"};
    DibGuard src(Letters(bw, 1));
    const Case oneBit[] = {
        {"MirrorH", OnCopy<MirrorH>, {"babba", "baabb", "abaaa"}},
        {"MirrorV", OnCopy<MirrorV>, {"aaaba", "bbaab", "abbab"}},
        {"RotLeft", RotLeft, {"bba", "aab", "baa", "bba", "aba"}},
        {"RotRight", RotRight, {"aba", "abb", "aab", "baa", "abb"}},
        {"Rot180", Rot180, {"abaaa", "baabb", "babba"}},
    };
    for (const Case& c : oneBit) {
        DibGuard out(Run(c.turn, src.dib));
        EXPECT_EQ(Read(out.dib, {"ab"}), c.seen) << c.name << " at 1 bit";
    }
}

// Distinct-enough values over a picture taller than the turns' bands of rows.
TDibRecord Noise(int bits)
{
    return MakeDib(29, 67, bits, [bits](int x, int y) {
        const std::uint32_t v = std::uint32_t(x * 7919 + y * 104729) * 2654435761u;
        return bits == 24 ? v >> 8 : v >> (32 - bits);
    });
}

TEST_F(Turns, FourTurnsAndTwoMirrorsGiveThePictureBack)
{
    for (int bits : {1, 4, 8, 24}) {
        DibGuard src(Noise(bits));
        DibGuard a(Run(RotLeft, src.dib)), b(Run(RotLeft, a.dib)), c(Run(RotLeft, b.dib)),
            d(Run(RotLeft, c.dib));
        EXPECT_TRUE(SamePixels(d.dib, src.dib)) << "four left turns at " << bits;
        DibGuard back(Run(RotRight, a.dib));
        EXPECT_TRUE(SamePixels(back.dib, src.dib)) << "left then right at " << bits;
        DibGuard half(Run(Rot180, src.dib));
        EXPECT_TRUE(SamePixels(half.dib, b.dib)) << "a half turn is two quarters at " << bits;
        for (Turn mirror : {OnCopy<MirrorH>, OnCopy<MirrorV>}) {
            DibGuard once(Run(mirror, src.dib)), twice(Run(mirror, once.dib));
            EXPECT_FALSE(SamePixels(once.dib, src.dib));
            EXPECT_TRUE(SamePixels(twice.dib, src.dib)) << "a mirror twice at " << bits;
        }
    }
}

TEST_F(Turns, ColourTablesTravelAndTheSourceStays)
{
    for (int bits : {1, 4, 8}) {
        DibGuard src(PalettePicture(bits, AllChannelValues()));
        const std::vector<std::uint8_t> before(src->Bits, src->Bits + src->LineBytes);
        for (Turn turn : {OnCopy<MirrorH>, OnCopy<MirrorV>, RotLeft, RotRight, Rot180}) {
            DibGuard out(Run(turn, src.dib));
            ASSERT_EQ(DibBitCount(out.dib), bits);
            for (int i = 0; i < (1 << bits); ++i)
                ASSERT_EQ(PaletteColour(out.dib, i), PaletteColour(src.dib, i)) << bits;
            EXPECT_EQ(out->HasPalette, 1);
        }
        EXPECT_EQ(std::vector<std::uint8_t>(src->Bits, src->Bits + src->LineBytes), before);
    }
}

TEST_F(Turns, OnePixelAndFailedAllocations)
{
    DibGuard dot(MakeDib(1, 1, 4, [](int, int) { return 9u; }));
    for (Turn turn : {OnCopy<MirrorH>, OnCopy<MirrorV>, RotLeft, RotRight, Rot180}) {
        DibGuard out(Run(turn, dot.dib));
        EXPECT_EQ(getpixel(out.dib, 0, 0), 9u);
    }
    DibGuard wide(MakeDib(64, 1, 24, [](int, int) { return 1u; }));
    AllocationLimit limit(200); // the 192 bytes of the row fit, not 64 rows of 4
    DibGuard mirrored(Run(OnCopy<MirrorV>, wide.dib));
    EXPECT_NE(mirrored->Bits, nullptr);
    for (Turn turn : {RotLeft, RotRight}) {
        progress.values.clear();
        EXPECT_EQ(Run(turn, wide.dib).Bits, nullptr);
        EXPECT_EQ(progress.values, (std::vector{0, 0}));
    }
}

} // namespace
