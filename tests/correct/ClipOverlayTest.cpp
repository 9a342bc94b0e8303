// The clipping marks: only pixels that the variant clips and the current
// picture does not, red before blue, at any depth.
#include "PictureSupport.h"

#include "correct/ClipOverlay.h"

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

TEST(ClipOverlay, MarksExactlyTheNewlyClippedPixels)
{
    const struct {
        Rgb current, variant, shown;
        const char* why;
    } cases[] = {
        {{100, 100, 100}, {255, 120, 120}, kRed, "red newly at 255"},
        {{10, 10, 10}, {10, 10, 255}, kRed, "blue newly at 255 is a highlight too"},
        {{255, 100, 100}, {255, 120, 120}, {255, 120, 120}, "already burnt"},
        {{254, 254, 254}, {254, 254, 254}, {254, 254, 254}, "just short of the end"},
        {{100, 100, 100}, {0, 50, 50}, kBlue, "red newly at 0"},
        {{0, 100, 100}, {0, 50, 50}, {0, 50, 50}, "already black"},
        {{100, 255, 100}, {100, 255, 0}, kBlue, "green was burnt, blue newly blocked"},
        {{100, 100, 100}, {255, 0, 50}, kRed, "both: the highlight wins"},
        {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, "unchanged"},
    };
    std::vector<Rgb> current, variant;
    for (const auto& c : cases) {
        current.push_back(c.current);
        variant.push_back(c.variant);
    }
    DibGuard a(TrueColourRow(current)), b(TrueColourRow(variant));
    DibGuard marked(MarkClipping(a.dib, b.dib));
    ASSERT_EQ(DibBitCount(marked.dib), 24);
    for (int x = 0; x < int(std::size(cases)); ++x)
        EXPECT_EQ(PixelColour(marked.dib, x, 0), cases[x].shown) << cases[x].why;
}

TEST(ClipOverlay, PalettePicturesAreReadThroughTheirColours)
{
    DibGuard current(TrueColourRow({{5, 5, 5}, {200, 200, 200}, {0, 0, 0}, {255, 255, 255}}));
    DibGuard variant(MakeDib(4, 1, 1, [](int x, int) { return std::uint32_t(x & 1); }));
    DibGuard marked(MarkClipping(current.dib, variant.dib));
    ASSERT_EQ(DibBitCount(marked.dib), 24);
    EXPECT_EQ(PixelColour(marked.dib, 0, 0), kBlue);
    EXPECT_EQ(PixelColour(marked.dib, 1, 0), kRed);
    EXPECT_EQ(PixelColour(marked.dib, 2, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelColour(marked.dib, 3, 0), (Rgb{255, 255, 255}));
}

TEST(ClipOverlay, PicturesThatDoNotMatchGiveNoMarks)
{
    DibGuard row(TrueColourRow({{1, 2, 3}, {4, 5, 6}}));
    DibGuard shorter(TrueColourRow({{1, 2, 3}}));
    DibGuard wide(MakeDib(2, 1, 16, [](int, int) { return 0u; }));
    EXPECT_EQ(MarkClipping(row.dib, shorter.dib).Bits, nullptr);
    EXPECT_EQ(MarkClipping(row.dib, TDibRecord{}).Bits, nullptr);
    EXPECT_EQ(MarkClipping(row.dib, wide.dib).Bits, nullptr);
    AllocationLimit limit(4);
    EXPECT_EQ(MarkClipping(row.dib, row.dib).Bits, nullptr);
}

} // namespace
