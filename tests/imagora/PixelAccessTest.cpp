#include "TestSupport.h"

namespace {

class PixelAccess : public LeakCheckedTest {};

// Where a pixel's bits live, worked out independently of getpixel/setpixel.
std::uint8_t* StoredRow(const TDibRecord& d, int yFromTop)
{
    return d.Bits + (DibHeight(d) - 1 - yFromTop) * d.LineBytes;
}

TEST_F(PixelAccess, OneBitIsMostSignificantFirstAndRowsCountFromTheTop)
{
    DibGuard d;
    newdib(&d.dib, 12, 3, 1, nullptr, 0);
    setpixel(d.dib, 0, 0, 1);
    setpixel(d.dib, 9, 2, 1);
    EXPECT_EQ(StoredRow(d.dib, 0)[0], 0x80);
    EXPECT_EQ(StoredRow(d.dib, 2)[1], 0x40);
    EXPECT_EQ(d->Bits[0 * d->LineBytes + 1], 0x40) << "the bottom row is stored first";
    EXPECT_EQ(getpixel(d.dib, 9, 2), 1u);
    EXPECT_EQ(getpixel(d.dib, 8, 2), 0u);
    setpixel(d.dib, 9, 2, 0);
    EXPECT_EQ(StoredRow(d.dib, 2)[1], 0);
}

TEST_F(PixelAccess, FourBitEvenColumnIsTheHighNibble)
{
    DibGuard d;
    newdib(&d.dib, 5, 2, 4, nullptr, 0);
    setpixel(d.dib, 2, 1, 0xA);
    setpixel(d.dib, 3, 1, 0x5);
    setpixel(d.dib, 4, 1, 0x1F); // only the low nibble lands
    EXPECT_EQ(StoredRow(d.dib, 1)[1], 0xA5);
    EXPECT_EQ(StoredRow(d.dib, 1)[2], 0xF0);
    EXPECT_EQ(getpixel(d.dib, 2, 1), 0xAu);
    EXPECT_EQ(getpixel(d.dib, 3, 1), 0x5u);
    setpixel(d.dib, 2, 1, 0x3);
    EXPECT_EQ(StoredRow(d.dib, 1)[1], 0x35) << "the neighbour nibble is kept";
}

TEST_F(PixelAccess, EightAndSixteenBit)
{
    DibGuard d8, d16;
    newdib(&d8.dib, 3, 2, 8, nullptr, 0);
    newdib(&d16.dib, 3, 2, 16, nullptr, 0);
    setpixel(d8.dib, 2, 0, 0x1C7);
    EXPECT_EQ(StoredRow(d8.dib, 0)[2], 0xC7);
    EXPECT_EQ(getpixel(d8.dib, 2, 0), 0xC7u);
    setpixel(d16.dib, 1, 1, 0xBEEF);
    EXPECT_EQ(StoredRow(d16.dib, 1)[2], 0xEF);
    EXPECT_EQ(StoredRow(d16.dib, 1)[3], 0xBE);
    EXPECT_EQ(getpixel(d16.dib, 1, 1), 0xBEEFu);
}

TEST_F(PixelAccess, TwentyFourBitValueHasRedInTheLowestByte)
{
    DibGuard d;
    newdib(&d.dib, 2, 2, 24, nullptr, 0);
    setpixel(d.dib, 1, 0, RGB(10, 20, 30));
    const std::uint8_t* p = StoredRow(d.dib, 0) + 3;
    EXPECT_EQ(p[0], 30) << "blue stored first";
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);
    EXPECT_EQ(getpixel(d.dib, 1, 0), RGB(10, 20, 30));
}

TEST_F(PixelAccess, ThirtyTwoBitKeepsTheFourthByte)
{
    DibGuard d;
    newdib(&d.dib, 2, 1, 32, nullptr, 0);
    setpixel(d.dib, 1, 0, 0x80000000u | RGB(1, 2, 3));
    const std::uint8_t* p = d->Bits + 4;
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(p[2], 1);
    EXPECT_EQ(p[3], 0x80);
    EXPECT_EQ(getpixel(d.dib, 1, 0), 0x80000000u | RGB(1, 2, 3));
}

TEST_F(PixelAccess, OutsideThePictureReadsZeroAndWritesNothing)
{
    DibGuard d(MakeDib(3, 3, 8, [](int, int) { return 5u; }));
    for (auto [x, y] : {std::pair{-1, 0}, std::pair{3, 0}, std::pair{0, -1}, std::pair{0, 3}}) {
        EXPECT_EQ(getpixel(d.dib, x, y), 0u);
        setpixel(d.dib, x, y, 9);
    }
    for (int i = 0; i < int(d->Info->bmiHeader.biSizeImage); ++i)
        if (i % 4 < 3)
            EXPECT_EQ(d->Bits[i], 5);
        else
            EXPECT_EQ(d->Bits[i], 0) << "padding stays zero";
    EXPECT_EQ(getpixel(TDibRecord{}, 0, 0), 0u);
}

} // namespace
