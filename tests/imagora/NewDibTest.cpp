#include "TestSupport.h"

#include <cstring>

namespace {

class NewDib : public LeakCheckedTest {};

TEST_F(NewDib, HeaderRowsAndZeroedPixelsAtEveryDepth)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (int width : {1, 3, 7, 8, 9, 33}) {
            DibGuard d;
            newdib(&d.dib, width, 5, bits, nullptr, 0);
            ASSERT_NE(d->Bits, nullptr) << bits << " bits, width " << width;
            EXPECT_NE(d->LibData1, 0u);
            const BITMAPINFOHEADER& h = d->Info->bmiHeader;
            EXPECT_EQ(h.biSize, 40u);
            EXPECT_EQ(h.biWidth, width);
            EXPECT_EQ(h.biHeight, 5);
            EXPECT_EQ(h.biBitCount, bits);
            EXPECT_EQ(d->LineBytes % 4, 0);
            EXPECT_GE(d->LineBytes * 8, width * bits);
            EXPECT_LT((d->LineBytes - 4) * 8, width * bits) << "rows padded past one word";
            EXPECT_EQ(h.biSizeImage, std::uint32_t(d->LineBytes * 5));
            for (std::uint32_t i = 0; i < h.biSizeImage; ++i)
                ASSERT_EQ(d->Bits[i], 0) << "byte " << i;
        }
    }
}

TEST_F(NewDib, PaletteBuiltFromCopiedColourTable)
{
    BITMAPINFO source{};
    for (int i = 0; i < 256; ++i)
        source.bmiColors[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(255 - i), 7, 0};
    DibGuard d;
    newdib(&d.dib, 4, 4, 8, &source, 256);
    ASSERT_NE(d->Bits, nullptr);
    EXPECT_EQ(d->HasPalette, 1);
    ASSERT_NE(d->PaletteHandle, nullptr);
    EXPECT_EQ(d->PaletteHandle->entries.size(), 256u);
    EXPECT_EQ(d->Palette.palNumEntries, 256);
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& q = d->Info->bmiColors[i];
        EXPECT_EQ(q.rgbBlue, i);
        EXPECT_EQ(q.rgbGreen, 255 - i);
        const PALETTEENTRY& e = d->Palette.palPalEntry[i];
        EXPECT_EQ(e.peRed, 7);
        EXPECT_EQ(e.peGreen, 255 - i);
        EXPECT_EQ(e.peBlue, i);
        EXPECT_EQ(d->PaletteHandle->entries[i].peBlue, i);
    }
}

TEST_F(NewDib, OnlyTheAskedNumberOfColoursIsTaken)
{
    BITMAPINFO source{};
    for (auto& q : source.bmiColors)
        q = RGBQUAD{9, 9, 9, 0};
    DibGuard d;
    newdib(&d.dib, 2, 2, 4, &source, 3);
    EXPECT_EQ(d->Info->bmiColors[2].rgbRed, 9);
    EXPECT_EQ(d->Info->bmiColors[3].rgbRed, 0);
}

TEST_F(NewDib, OneBitWithoutSourceIsBlackAndWhite)
{
    DibGuard d;
    newdib(&d.dib, 10, 2, 1, nullptr, 0);
    const RGBQUAD black = d->Info->bmiColors[0], white = d->Info->bmiColors[1];
    EXPECT_EQ(black.rgbRed + black.rgbGreen + black.rgbBlue, 0);
    EXPECT_EQ(white.rgbRed & white.rgbGreen & white.rgbBlue, 255);
    EXPECT_EQ(d->Palette.palPalEntry[1].peGreen, 255);
    ASSERT_NE(d->PaletteHandle, nullptr);
    EXPECT_EQ(d->PaletteHandle->entries[0].peRed, 0);
    EXPECT_EQ(d->PaletteHandle->entries[1].peRed, 255);
}

TEST_F(NewDib, TrueColourHasNoPalette)
{
    DibGuard d;
    newdib(&d.dib, 320, 240, 24, nullptr, 0);
    EXPECT_EQ(d->HasPalette, 0);
    EXPECT_EQ(d->PaletteHandle, nullptr);
    EXPECT_EQ(d->LineBytes, 960);
}

TEST_F(NewDib, RefusesBadArgumentsLikeAFailedAllocation)
{
    struct Case {
        int width, height, bits;
    };
    for (Case c : {Case{0, 5, 24}, Case{5, 0, 24}, Case{-1, 5, 8}, Case{5, -3, 8}, Case{5, 5, 2},
                   Case{5, 5, 0}, Case{5, 5, 48}, Case{0x7FFFFFFF, 0x7FFFFFFF, 24}}) {
        TDibRecord d;
        d.LibData1 = 77; // stale values must be overwritten
        newdib(&d, c.width, c.height, c.bits, nullptr, 0);
        EXPECT_EQ(d.Bits, nullptr) << c.width << "x" << c.height << "x" << c.bits;
        EXPECT_EQ(d.LibData1, 0u);
        deldib(d);
    }
}

TEST_F(NewDib, AllocationLimitIsExactAndSettable)
{
    AllocationLimit limit(4 * 10); // ten rows of one word
    TDibRecord fits, tooBig;
    newdib(&fits, 4, 10, 8, nullptr, 0);
    newdib(&tooBig, 4, 11, 8, nullptr, 0);
    EXPECT_NE(fits.Bits, nullptr);
    EXPECT_EQ(tooBig.Bits, nullptr);
    EXPECT_EQ(tooBig.LibData1, 0u);
    deldib(fits);
    deldib(tooBig);
}

// Photo-sized blocks come from a mapping of their own; they must be as
// zeroed, as writable to the last byte and as limited as small ones.
TEST_F(NewDib, BigPicturesAreZeroedWholeAndFreed)
{
    const int dibs = LiveDibCount();
    for (const auto& [width, height] : {std::pair{2000, 1500}, std::pair{4096, 1024}}) {
        DibGuard d;
        newdib(&d.dib, width, height, 24, nullptr, 0);
        ASSERT_NE(d->Bits, nullptr);
        const std::size_t bytes = d->Info->bmiHeader.biSizeImage;
#if !defined(__SANITIZE_ADDRESS__)
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(d->Bits) % (std::uintptr_t(2) << 20), 0u)
            << "huge-page aligned";
#endif
        for (std::size_t i = 0; i < bytes; i += 4093)
            ASSERT_EQ(d->Bits[i], 0) << "byte " << i;
        EXPECT_EQ(d->Bits[bytes - 1], 0);
        std::memset(d->Bits, 0x5A, bytes);
        EXPECT_EQ(LiveDibCount(), dibs + 1);
    }
    EXPECT_EQ(LiveDibCount(), dibs);

    AllocationLimit limit(std::size_t(6000) * 3 * 1000);
    TDibRecord fits, tooBig;
    newdib(&fits, 6000, 1000, 24, nullptr, 0);
    newdib(&tooBig, 6000, 1001, 24, nullptr, 0);
    EXPECT_NE(fits.Bits, nullptr);
    EXPECT_EQ(tooBig.Bits, nullptr);
    deldib(fits);
    deldib(tooBig);
}

TEST_F(NewDib, SharedPixelsLiveUntilTheirLastRecordIsFreed)
{
    const int dibs = LiveDibCount(), palettes = LivePaletteCount();
    for (const auto& [width, bits] : {std::pair{3, 8}, std::pair{2000, 24}}) { // heap, mapping
        TDibRecord first;
        newdib(&first, width, 600, bits, nullptr, 0);
        ASSERT_NE(first.Bits, nullptr);
        first.Bits[0] = 7;
        EXPECT_FALSE(DibShared(first));
        TDibRecord second = ShareDib(first), third = ShareDib(second);
        EXPECT_EQ(second.Bits, first.Bits);
        EXPECT_NE(second.Info, first.Info) << "a header of its own";
        EXPECT_EQ(DibWidth(third), width);
        EXPECT_EQ(LiveDibCount(), dibs + 3);
        EXPECT_EQ(LivePaletteCount(), palettes + (bits == 8 ? 3 : 0));
        deldib(first);
        EXPECT_TRUE(DibShared(second));
        deldib(third);
        EXPECT_FALSE(DibShared(second)) << "the last record";
        EXPECT_EQ(second.Bits[0], 7) << "the pixels are still there";
        deldib(second);
    }
    EXPECT_EQ(ShareDib(TDibRecord{}).Bits, nullptr);
    EXPECT_EQ(LiveDibCount(), dibs);
    EXPECT_EQ(LivePaletteCount(), palettes);
}

TEST_F(NewDib, CountsLivePicturesAndPalettes)
{
    const int dibs = LiveDibCount(), palettes = LivePaletteCount();
    TDibRecord a, b;
    newdib(&a, 2, 2, 8, nullptr, 0);
    newdib(&b, 2, 2, 24, nullptr, 0);
    EXPECT_EQ(LiveDibCount(), dibs + 2);
    EXPECT_EQ(LivePaletteCount(), palettes + 1);
    deldib(a);
    deldib(b);
    deldib(TDibRecord{}); // a record without pixels is accepted
    EXPECT_EQ(LiveDibCount(), dibs);
    EXPECT_EQ(LivePaletteCount(), palettes);
}

TEST(RecordFunctions, TwoPowAndColourCounts)
{
    EXPECT_EQ(TwoPow(0), 1);
    EXPECT_EQ(TwoPow(-5), 1);
    EXPECT_EQ(TwoPow(1), 2);
    EXPECT_EQ(TwoPow(24), 16777216);
    TDibRecord empty;
    EXPECT_EQ(DibWidth(empty), 0);
    EXPECT_EQ(DibHeight(empty), 0);
    for (auto [bits, colours, table] : {std::tuple{1, 2, 2}, std::tuple{4, 16, 16},
                                        std::tuple{8, 256, 256}, std::tuple{24, 16777216, 0}}) {
        DibGuard d;
        newdib(&d.dib, 1, 1, bits, nullptr, 0);
        EXPECT_EQ(DibColorCount(d.dib), colours);
        EXPECT_EQ(DibTableColors(d.dib), table);
    }
}

} // namespace
