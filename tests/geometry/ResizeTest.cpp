// Resizing: 22.10 fixed-point sampling, bilinear
// growth of 24-bit pictures, and the alignment of bottom-up rows.
#include "PictureSupport.h"

#include "geometry/Resize.h"

namespace {

class ResizeTest : public LeakCheckedTest {
protected:
    TDibRecord Resized(const TDibRecord& src, int w, int h, bool interpolate = true)
    {
        TDibRecord out;
        DIBResize(src, w, h, interpolate, out, progress);
        return out;
    }
    RecordingProgress progress;
};

// A pixel value that names its position: column in the low byte, row from
// the top in the next.
std::uint32_t Position(int x, int y)
{
    return std::uint32_t(x) | (std::uint32_t(y) << 8);
}

TEST_F(ResizeTest, AFlatAreaEnlargedBilinearlyComesOutTwoLevelsDarker)
{
    DibGuard src(MakeDib(2, 2, 24, [](int, int) { return RGB(255, 255, 255); }));
    DibGuard big(Resized(src.dib, 5, 7));
    ASSERT_EQ(DibWidth(big.dib), 5);
    ASSERT_EQ(DibHeight(big.dib), 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(PixelColour(big.dib, x, y), (Rgb{253, 253, 253})) << x << ", " << y;
}

TEST_F(ResizeTest, BilinearWeightsAre1023MinusFractionAndFraction)
{
    // Columns 0 and 255 doubled: positions 0, 0.5, 1, 1.5 (the last clamped
    // to the last column).
    DibGuard src(TrueColourRow({Rgb{0, 255, 10}, Rgb{255, 0, 10}}));
    DibGuard big(Resized(src.dib, 4, 1));
    EXPECT_EQ(PixelColour(big.dib, 0, 0), (Rgb{0, 253, 8}));
    EXPECT_EQ(PixelColour(big.dib, 1, 0), (Rgb{126, 126, 8}));
    EXPECT_EQ(PixelColour(big.dib, 2, 0), (Rgb{253, 0, 8}));
    EXPECT_EQ(PixelColour(big.dib, 3, 0), (Rgb{253, 0, 8}));
}

// The bilinear rule pixel by pixel as written: both rows blended across,
// then down, each stage truncating.
std::uint8_t PlainBilinear(const TDibRecord& src, int w2, int h2, int x, int storedY, int k)
{
    const int w = DibWidth(src), h = DibHeight(src);
    const int stepX = w * 1024 / w2, stepY = h * 1024 / h2;
    const int y0 = (storedY * stepY) >> 10, fy = (storedY * stepY) & 1023;
    const int x0 = (x * stepX) >> 10, fx = (x * stepX) & 1023;
    const int y1 = std::min(y0 + 1, h - 1), x1 = std::min(x0 + 1, w - 1);
    const auto at = [&](int cx, int cy) { return int(src.Bits[cy * src.LineBytes + 3 * cx + k]); };
    const int a = (at(x0, y0) * (1023 - fx) + at(x1, y0) * fx) >> 10;
    const int b = (at(x0, y1) * (1023 - fx) + at(x1, y1) * fx) >> 10;
    return std::uint8_t((a * (1023 - fy) + b * fy) >> 10);
}

TEST_F(ResizeTest, BilinearGrowthMatchesThePlainRuleAtEveryPixel)
{
    std::uint32_t seed = 7;
    DibGuard src(
        MakeDib(37, 29, 24, [&](int, int) { return (seed = seed * 1664525u + 1013904223u) >> 8; }));
    // Many different fractions down, a clamped last row, and no growth at all.
    const int sizes[][2] = {{101, 1001}, {37, 29}, {38, 64}};
    for (const auto& [w2, h2] : sizes) {
        DibGuard big(Resized(src.dib, w2, h2));
        int wrong = 0;
        for (int y = 0; y < h2; ++y)
            for (int x = 0; x < w2; ++x)
                for (int k = 0; k < 3; ++k)
                    wrong += big->Bits[y * big->LineBytes + 3 * x + k] !=
                             PlainBilinear(src.dib, w2, h2, x, y, k);
        EXPECT_EQ(wrong, 0) << w2 << " x " << h2;
    }
}

TEST_F(ResizeTest, SameSizeInterpolatesButWithoutInterpolationCopiesExactly)
{
    DibGuard src(MakeDib(
        3, 2, 24, [](int x, int y) { return RGB(255, std::uint8_t(x * 100), std::uint8_t(y)); }));
    DibGuard same(Resized(src.dib, 3, 2, true));
    EXPECT_EQ(PixelColour(same.dib, 2, 1), (Rgb{253, 198, 0}));
    DibGuard exact(Resized(src.dib, 3, 2, false));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(getpixel(exact.dib, x, y), getpixel(src.dib, x, y));
}

TEST_F(ResizeTest, ReducingInOneDirectionSamplesWithoutInterpolation)
{
    DibGuard src(MakeDib(2, 4, 24, [](int, int) { return RGB(255, 255, 255); }));
    DibGuard wide(Resized(src.dib, 6, 2));
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(PixelColour(wide.dib, x, 0), (Rgb{255, 255, 255}));
}

TEST_F(ResizeTest, ReductionSamplesTruncatedPositionsAndAlignsAtTheBottomLeft)
{
    // 10 -> 3: ratio 3413, samples 0, 3 and 6 counted in memory order, so the
    // copy's top row comes from the source's fourth row from the top.
    for (int bits : {8, 24}) {
        DibGuard src(MakeDib(10, 10, bits, [&](int x, int y) {
            return bits == 8 ? std::uint32_t(x + 10 * y) : Position(x, y);
        }));
        DibGuard small(Resized(src.dib, 3, 3));
        ASSERT_EQ(DibBitCount(small.dib), bits);
        const int columns[] = {0, 3, 6}, rowsFromTop[] = {3, 6, 9};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(getpixel(small.dib, x, y), getpixel(src.dib, columns[x], rowsFromTop[y]))
                    << bits << " bits at " << x << ", " << y;
    }
}

TEST_F(ResizeTest, FourBitNibblesAreTakenAndPlacedByParity)
{
    // 5 -> 3 columns: samples 0, 1, 3 - an even, an odd and an odd nibble.
    DibGuard src(MakeDib(5, 1, 4, [](int x, int) { return std::uint32_t(x + 9); }));
    DibGuard small(Resized(src.dib, 3, 1));
    EXPECT_EQ(getpixel(small.dib, 0, 0), 9u);
    EXPECT_EQ(getpixel(small.dib, 1, 0), 10u);
    EXPECT_EQ(getpixel(small.dib, 2, 0), 12u);
    // Enlarged: every source nibble twice, nearest sample.
    DibGuard big(Resized(src.dib, 10, 1));
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(getpixel(big.dib, x, 0), std::uint32_t(x / 2 + 9)) << x;
}

TEST_F(ResizeTest, OneBitGoesThroughPixelAccessAndAlignsAtTheTopLeft)
{
    // Only the top-left pixel is set; halving keeps it (rows from the top)
    // where the bottom-up depths would drop it.
    DibGuard src(MakeDib(4, 4, 1, [](int x, int y) { return x == 0 && y == 0 ? 1u : 0u; }));
    DibGuard small(Resized(src.dib, 2, 2));
    EXPECT_EQ(getpixel(small.dib, 0, 0), 1u);
    EXPECT_EQ(getpixel(small.dib, 1, 0) + getpixel(small.dib, 0, 1) + getpixel(small.dib, 1, 1),
              0u);
    DibGuard src8(MakeDib(4, 4, 8, [](int x, int y) { return x == 0 && y == 0 ? 1u : 0u; }));
    DibGuard small8(Resized(src8.dib, 2, 2));
    EXPECT_EQ(getpixel(small8.dib, 0, 0), 0u);
}

TEST_F(ResizeTest, PalettePicturesKeepTheirColourTable)
{
    for (int bits : {1, 4, 8}) {
        DibGuard src(PalettePicture(bits, AllChannelValues()));
        DibGuard copy(Resized(src.dib, 3, 2));
        ASSERT_EQ(DibBitCount(copy.dib), bits);
        const int n = 1 << bits;
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(PaletteColour(copy.dib, i), PaletteColour(src.dib, i)) << bits;
        EXPECT_NE(copy->PaletteHandle, src->PaletteHandle);
        EXPECT_EQ(copy->HasPalette, 1);
    }
}

TEST_F(ResizeTest, ReportsEveryRowOnceAndZeroAtBothEnds)
{
    DibGuard src(MakeDib(8, 8, 24, [](int, int) { return 0u; }));
    DibGuard three(Resized(src.dib, 2, 3));
    EXPECT_EQ(progress.values, (std::vector{0, 0, 50, 100, 0}));
    progress.values.clear();
    DibGuard one(Resized(src.dib, 5, 1));
    EXPECT_EQ(progress.values, (std::vector{0, 0, 0}));
}

TEST_F(ResizeTest, ImpossibleSizesAndFailedAllocationsGiveAnEmptyCopy)
{
    DibGuard src(MakeDib(8, 8, 24, [](int, int) { return 0u; }));
    const int live = LiveDibCount();
    const int sizes[][2] = {{0, 5}, {5, 0}, {-3, 5}, {5, -1}};
    for (const auto& [w, h] : sizes) {
        TDibRecord out = src.dib; // whatever it held is overwritten
        DIBResize(src.dib, w, h, true, out, progress);
        EXPECT_EQ(out.Bits, nullptr) << w << " x " << h;
    }
    {
        AllocationLimit limit(64);
        TDibRecord out;
        DIBResize(src.dib, 100, 100, true, out, progress);
        EXPECT_EQ(out.Bits, nullptr);
    }
    TDibRecord fromEmpty;
    DIBResize(TDibRecord{}, 4, 4, true, fromEmpty, progress);
    EXPECT_EQ(fromEmpty.Bits, nullptr);
    EXPECT_EQ(LiveDibCount(), live);
}

TEST_F(ResizeTest, UnsupportedDepthsGiveAZeroCopyOfTheRightShape)
{
    DibGuard src;
    newdib(&src.dib, 4, 4, 16, nullptr, 0);
    std::fill(src->Bits, src->Bits + src->Info->bmiHeader.biSizeImage, std::uint8_t(0x5A));
    DibGuard copy(Resized(src.dib, 2, 3));
    ASSERT_NE(copy->Bits, nullptr);
    EXPECT_EQ(DibBitCount(copy.dib), 16);
    for (std::uint32_t i = 0; i < copy->Info->bmiHeader.biSizeImage; ++i)
        EXPECT_EQ(copy->Bits[i], 0) << i;
}

TEST_F(ResizeTest, SourceAndDestinationMayBeTheSameRecord)
{
    TDibRecord pic = MakeDib(4, 4, 24, [](int x, int y) { return Position(x, y); });
    const TDibRecord original = pic;
    DIBResize(pic, 2, 2, false, pic, progress);
    ASSERT_NE(pic.Bits, original.Bits);
    EXPECT_EQ(getpixel(pic, 1, 1), getpixel(original, 2, 3));
    deldib(original);
    deldib(pic);
}

} // namespace
