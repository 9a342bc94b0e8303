// The files in tests/data/fuzz: what fuzzing the decoders turned up, each
// kept with the behaviour it must have now (see the folder's README).
#include "DecoderTestSupport.h"

#include "imagora/Decoders.h"

namespace {

class FuzzFindings : public LeakCheckedTest {};

Bytes Finding(const std::string& name)
{
    const Bytes file = ReadBytes(DataFile("fuzz/" + name));
    EXPECT_FALSE(file.empty()) << name;
    return file;
}

// The tests that watch the peak memory come first: a later one's large
// picture would raise the peak past what they look for.
//
// A picture that is allocated but never touched costs nothing resident,
// except under AddressSanitizer, which writes its shadow (an eighth of it);
// one painted in full costs all of it. Hence the bound of a quarter of the
// picture a file claims.
long QuarterOf(long claimedMiB)
{
    return claimedMiB / 4;
}

TEST_F(FuzzFindings, ATextChunkThatClaimsTwoGigabytesIsNotAllocated)
{
    const Bytes file = Finding("text-chunk-claims-2gb.png");
    DibGuard d;
    EXPECT_LT(PeakMemoryGrowthMiB([&] { DecodePng(file.data(), file.size(), &d.dib); }), 64);
    EXPECT_EQ(d->Bits, nullptr);
}

// 3 kB of data for a 16000 x 16000 frame: decoding stops where the data
// does, without painting the rest of a 768 MB picture grey.
TEST_F(FuzzFindings, AJpegStopsWhereItsDataRunsOut)
{
    const Bytes file = Finding("claims-gigapixel.jpeg");
    DibGuard d;
    EXPECT_LT(PeakMemoryGrowthMiB([&] { DecodeJpeg(file.data(), file.size(), &d.dib); }),
              QuarterOf(732));
    EXPECT_EQ(d->Bits, nullptr);
}

// 48 and 36 bytes whose screens are 950 MB and 1 GB and whose frame data is
// broken: nothing is painted before the frame is read, so nothing is touched.
TEST_F(FuzzFindings, ABrokenGifFrameOnAHugeScreenCostsNothing)
{
    for (const auto& [name, claimedMiB] : {std::pair{"broken-frame-on-huge-screen.gif", 906L},
                                           std::pair{"odd-signature-huge-screen.gif", 1015L}}) {
        const Bytes file = Finding(name);
        DibGuard d;
        EXPECT_LT(PeakMemoryGrowthMiB([&] { DecodeGif(file.data(), file.size(), &d.dib); }),
                  QuarterOf(claimedMiB))
            << name;
        EXPECT_EQ(d->Bits, nullptr) << name;
    }
}

// 122 bytes of a lossless stream for 6940 x 11373 pixels with alpha, broken
// at once: the 315 MB staging frame is not cleared before libwebp looks.
TEST_F(FuzzFindings, ABrokenLosslessWebpCostsNothingBeforeItFails)
{
    const Bytes file = Finding("zero-bit-codes-claim-79-megapixels.webp");
    DibGuard d;
    EXPECT_LT(PeakMemoryGrowthMiB([&] { DecodeWebp(file.data(), file.size(), &d.dib); }), 64);
    EXPECT_EQ(d->Bits, nullptr);
}

// 118 bytes whose one uncompressed strip claims far more than the file:
// libtiff's strip chopping made tables for strips that are not there.
TEST_F(FuzzFindings, AStripThatClaimsMoreThanTheFileMakesNoTables)
{
    const Bytes file = Finding("strip-claims-more-than-the-file.tiff");
    DibGuard d;
    EXPECT_LT(PeakMemoryGrowthMiB([&] { DecodeTiff(file.data(), file.size(), &d.dib); }), 4);
    EXPECT_EQ(d->Bits, nullptr);
}

// 70 bytes of RLE for a picture of 100 x 16750589 pixels (871 MB): what the
// few codes draw is drawn, the rest of the picture is never touched.
TEST_F(FuzzFindings, AFewRleCodesForATallPictureTouchOnlyWhatTheyDraw)
{
    const Bytes file = Finding("rle-few-codes-tall-picture.bmp");
    DibGuard d;
    EXPECT_LT(PeakMemoryGrowthMiB([&] { DecodeBmp(file.data(), file.size(), &d.dib); }),
              QuarterOf(830));
    ASSERT_NE(d->Bits, nullptr);
    EXPECT_EQ(DibHeight(d.dib), 16750589);
    EXPECT_EQ(DibBitCount(d.dib), 4);
}

// A progressive file keeps every coefficient, about twice the picture at
// full chroma: the limit must hold both.
TEST_F(FuzzFindings, AProgressiveJpegsCoefficientsCountWithThePicture)
{
    const Bytes file = ReadBytes(DataFile("jpeg/video-001.q50.444.progressive.jpeg"));
    const std::size_t picture = std::size_t(DibLineBytes(150, 24)) * 103;
    for (const auto& [times, opens] : {std::pair{3u, false}, std::pair{4u, true}}) {
        AllocationLimit limit(times * picture);
        DibGuard d;
        EXPECT_EQ(DecodeJpeg(file.data(), file.size(), &d.dib), opens) << times << " pictures";
    }
}

// A lossless WebP with alpha: libwebp's ARGB frame, our BGRA copy and the
// picture each fit the limit alone, but not together.
TEST_F(FuzzFindings, ALosslessWebpWithAlphaCountsEveryFrameTogether)
{
    const Bytes file = Finding("lossless-with-alpha.webp");
    const std::size_t pixels = 32 * 32;
    {
        AllocationLimit limit(4 * pixels);
        DibGuard d;
        EXPECT_FALSE(DecodeWebp(file.data(), file.size(), &d.dib));
    }
    REQUIRE_MAGICK();
    ExpectLikeMagick(DecodeWebp, DataFile("fuzz/lossless-with-alpha.webp"), 24, 1);
}

// A screen of 108 MB around a frame one pixel wide: the screen around it
// costs nothing to paint, and each frame row touches only its own pixel.
TEST_F(FuzzFindings, AGifScreenFarBeyondItsFrameIsWhiteAroundIt)
{
    const Bytes file = Finding("screen-far-beyond-frame.gif");
    DibGuard d;
    ASSERT_TRUE(DecodeGif(file.data(), file.size(), &d.dib));
    ASSERT_EQ(DibWidth(d.dib), 12000);
    ASSERT_EQ(DibHeight(d.dib), 9000);
    ASSERT_EQ(DibBitCount(d.dib), 8);
    const auto colour = [&](int x, int y) {
        const RGBQUAD& q = d->Info->bmiColors[getpixel(d.dib, x, y)];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    };
    for (const auto& [x, y] : {std::pair{11998, 0}, std::pair{6000, 4500}, std::pair{0, 8999}})
        EXPECT_EQ(colour(x, y), RGB(255, 255, 255)) << x << "," << y;
    for (int y : {0, 31, 32, 4500, 8999}) // the file's colour i is (8 i, 100, 200 - 6 i)
        EXPECT_EQ(colour(11999, y), RGB(y % 32 * 8, 100, 200 - y % 32 * 6)) << "frame row " << y;
}

// One row of 2^31 - 1 bilevel pixels: 268 MB of picture, read straight into
// it; the index row it used to go through would have taken 2 GB more.
TEST_F(FuzzFindings, AWideBilevelTiffNeedsNothingButThePicture)
{
    const Bytes file = Finding("bilevel-row-of-2g-pixels.tiff");
    const std::size_t picture = std::size_t(DibLineBytes(0x7FFFFFFF, 1));
    AllocationLimit limit(picture);
    DibGuard d;
    const long growth =
        PeakMemoryGrowthMiB([&] { EXPECT_TRUE(DecodeTiff(file.data(), file.size(), &d.dib)); });
    EXPECT_LT(growth, long(picture >> 20) + 64);
    ASSERT_NE(d->Bits, nullptr);
    EXPECT_EQ(DibBitCount(d.dib), 1);
    EXPECT_EQ(getpixel(d.dib, 0x7FFFFFFE, 0), 0u);
    EXPECT_EQ(d->Info->bmiColors[0].rgbGreen, 0) << "zero is black";
}

// A 4-bit grey row of 2^29 + 8 pixels: its bit index passes 2^31, which in
// a signed int was undefined behaviour (the sanitizer build catches it).
TEST_F(FuzzFindings, AGreyTiffRowWiderThanTwoGigabitsReadsToItsEnd)
{
    const Bytes file = Finding("grey4-row-wider-than-2g-bits.tiff");
    DibGuard d;
    ASSERT_TRUE(DecodeTiff(file.data(), file.size(), &d.dib));
    const int width = (1 << 29) + 8;
    ASSERT_EQ(DibWidth(d.dib), width);
    for (int x : {0, (1 << 29) - 1, 1 << 29, width - 1})
        EXPECT_EQ(getpixel(d.dib, x, 0), 0u) << x;
}

} // namespace
