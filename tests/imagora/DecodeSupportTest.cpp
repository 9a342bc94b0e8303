#include "TestSupport.h"

#include "imagora/DecodeSupport.h"

#include <cmath>

namespace {

class DecodeSupport : public LeakCheckedTest {};

TEST(OverWhite, IsTheNearestIntegerOfTheExactBlend)
{
    for (unsigned a = 0; a < 256; ++a)
        for (unsigned c = 0; c < 256; ++c) {
            const double exact = (c * a + 255.0 * (255 - a)) / 255.0;
            ASSERT_EQ(OverWhite(c, a), std::uint8_t(std::nearbyint(exact))) << c << " " << a;
        }
}

TEST(OverWhite, RowsBlendEveryChannelWithItsPixelsAlpha)
{
    const std::uint8_t bgra[8] = {10, 20, 30, 255, 0, 0, 0, 0};
    std::uint8_t bgr[6] = {};
    CompositeBgraRow(bgr, bgra, 2);
    EXPECT_EQ(std::vector<int>(bgr, bgr + 6), (std::vector<int>{10, 20, 30, 255, 255, 255}));
    const std::uint8_t greyAlpha[4] = {0, 128, 200, 255};
    std::uint8_t grey[2] = {};
    CompositeGreyAlphaRow(grey, greyAlpha, 2);
    EXPECT_EQ(grey[0], 127);
    EXPECT_EQ(grey[1], 200);
}

TEST_F(DecodeSupport, PaletteTablePaddedWithBlack)
{
    const RGBQUAD three[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    DibGuard d;
    ASSERT_TRUE(NewPaletteDib(&d.dib, 5, 2, three, 3));
    EXPECT_EQ(DibBitCount(d.dib), 4);
    EXPECT_EQ(d->Info->bmiColors[2].rgbRed, 9);
    EXPECT_EQ(d->Palette.palPalEntry[2].peRed, 9);
    for (int i = 3; i < 16; ++i)
        EXPECT_EQ(d->Info->bmiColors[i].rgbRed + d->Info->bmiColors[i].rgbBlue, 0) << i;
    TDibRecord none;
    EXPECT_FALSE(NewPaletteDib(&none, 5, 2, three, 0));
    EXPECT_EQ(none.Bits, nullptr);
}

TEST_F(DecodeSupport, IndexRowsPackAtEveryDepthAndRefuseIndicesPastTheTable)
{
    const std::uint8_t indices[9] = {1, 0, 1, 1, 0, 0, 1, 0, 1};
    const std::uint8_t wide[9] = {3, 15, 2, 16, 200, 1, 0, 255, 17};
    for (int colours : {2, 16, 256}) {
        RGBQUAD table[256] = {};
        DibGuard d;
        ASSERT_TRUE(NewPaletteDib(&d.dib, 9, 3, table, colours));
        // Row 1 from the top sits between two rows that must stay untouched.
        std::fill_n(d->Bits, d->Info->bmiHeader.biSizeImage, std::uint8_t(0xAA));
        StoreIndexRow(d.dib, 1, indices, colours);
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(getpixel(d.dib, x, 1), indices[x]) << colours << " colours, x " << x;
        EXPECT_EQ(DibRowFromTop(d.dib, 0)[0], 0xAA);
        EXPECT_EQ(DibRowFromTop(d.dib, 2)[0], 0xAA);

        StoreIndexRow(d.dib, 1, wide, colours);
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(getpixel(d.dib, x, 1), wide[x] < colours ? wide[x] : 0u) << colours;
    }
}

// A frame narrower than its screen stores only its own pixels, also where
// they share a byte with the screen's.
TEST_F(DecodeSupport, IndexSpansKeepThePixelsAroundThem)
{
    const std::uint8_t span[3] = {1, 1, 0};
    for (int colours : {2, 16, 256}) {
        RGBQUAD table[256] = {};
        DibGuard d;
        ASSERT_TRUE(NewPaletteDib(&d.dib, 9, 1, table, colours));
        const std::uint8_t ones[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
        StoreIndexRow(d.dib, 0, ones, colours);
        StoreIndexSpan(d.dib, 0, 3, span, 3, colours);
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(getpixel(d.dib, x, 0), x == 5 ? 0u : 1u) << colours << " colours, x " << x;
    }
}

} // namespace
