#include "BmpBuilder.h"
#include "TestSupport.h"

#include "imagora/Decoders.h"

#include <string>

namespace {

class PnmDecoder : public LeakCheckedTest {};

Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TDibRecord Decode(const Bytes& file)
{
    ExactBuffer exact(file);
    TDibRecord d;
    const bool ok = DecodePnm(exact.data.get(), exact.size, &d);
    EXPECT_EQ(ok, d.Bits != nullptr);
    return d;
}

// The picture's pixels, top row first: indices at palette depths, else
// 0x00BBGGRR.
std::vector<std::vector<std::uint32_t>> Pixels(const TDibRecord& d)
{
    std::vector<std::vector<std::uint32_t>> rows(std::size_t(DibHeight(d)));
    for (int y = 0; y < DibHeight(d); ++y)
        for (int x = 0; x < DibWidth(d); ++x)
            rows[y].push_back(getpixel(d, x, y));
    return rows;
}

using Rows = std::vector<std::vector<std::uint32_t>>;

void ExpectBlackAndWhiteTable(const TDibRecord& d)
{
    ASSERT_EQ(DibBitCount(d), 1);
    const RGBQUAD& black = d.Info->bmiColors[0];
    const RGBQUAD& white = d.Info->bmiColors[1];
    EXPECT_EQ(black.rgbRed | black.rgbGreen | black.rgbBlue, 0);
    EXPECT_EQ(white.rgbRed & white.rgbGreen & white.rgbBlue, 255);
}

// A bitmap's 1 is black, which is our index 0.
TEST_F(PnmDecoder, AsciiBitmapWithCommentsAndUnseparatedBits)
{
    DibGuard d(Decode(Text("P1\n# a comment\n3 # width\n2\n1 0 1\n011")));
    ExpectBlackAndWhiteTable(d.dib);
    EXPECT_EQ(Pixels(d.dib), (Rows{{0, 1, 0}, {1, 0, 0}}));
}

TEST_F(PnmDecoder, BinaryBitmapRowsArePaddedToBytes)
{
    // 10 pixels a row: two bytes, the last six bits unused (set to 1 on purpose)
    DibGuard d(Decode(Concat(Text("P4 10 2\n"), {0b10110000, 0b01111111, 0b00000000, 0b11000000})));
    ExpectBlackAndWhiteTable(d.dib);
    EXPECT_EQ(Pixels(d.dib),
              (Rows{{0, 1, 0, 0, 1, 1, 1, 1, 1, 0}, {1, 1, 1, 1, 1, 1, 1, 1, 0, 0}}));
    EXPECT_EQ(DibRowFromTop(d.dib, 0)[1] & 0x3F, 0) << "unused bits are cleared";
}

TEST_F(PnmDecoder, GreyMapsScaleTheirMaxvalToEightBitsOnAGreyTable)
{
    const struct {
        const char* name;
        Bytes file;
        std::vector<std::uint32_t> expected;
    } cases[] = {
        // v * 255 / maxval, rounded to nearest
        {"ASCII, maxval 15", Text("P2\n4 1\n15\n0 1 8 15\n"), {0, 17, 136, 255}},
        {"ASCII, maxval 1000", Text("P2 3 1 1000 1 500 999"), {0, 128, 255}},
        {"binary, maxval 255", Concat(Text("P5 3 1 255\n"), {0, 127, 255}), {0, 127, 255}},
        {"binary, maxval 3", Concat(Text("P5 4 1 3\n"), {0, 1, 2, 3}), {0, 85, 170, 255}},
        {"binary, 16-bit big-endian",
         Concat(Text("P5 3 1 65535\n"), {0x00, 0x00, 0x80, 0x00, 0xFF, 0xFF}),
         {0, 128, 255}},
        {"binary, 16-bit maxval 1023",
         Concat(Text("P5 2 1 1023\n"), {0x01, 0xFF, 0x03, 0xFF}),
         {127, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DibGuard d(Decode(c.file));
        ASSERT_EQ(DibBitCount(d.dib), 8);
        EXPECT_EQ(Pixels(d.dib), Rows{c.expected});
        for (int i : {0, 77, 255}) {
            const RGBQUAD& q = d->Info->bmiColors[i];
            EXPECT_TRUE(q.rgbRed == i && q.rgbGreen == i && q.rgbBlue == i) << "table entry " << i;
        }
    }
}

TEST_F(PnmDecoder, PixelMapsBecomeTrueColour)
{
    DibGuard ascii(Decode(Text("P3\n2 2\n255\n255 0 0  0 255 0\n0 0 255  10 20 30\n")));
    ASSERT_EQ(DibBitCount(ascii.dib), 24);
    EXPECT_EQ(Pixels(ascii.dib),
              (Rows{{RGB(255, 0, 0), RGB(0, 255, 0)}, {RGB(0, 0, 255), RGB(10, 20, 30)}}));

    DibGuard binary(Decode(Concat(Text("P6 2 1 255\n"), {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(Pixels(binary.dib), (Rows{{RGB(1, 2, 3), RGB(4, 5, 6)}}));

    DibGuard deep(Decode(Concat(Text("P6 1 1 65535\n"), {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00})));
    EXPECT_EQ(Pixels(deep.dib), (Rows{{RGB(255, 0, 128)}}));
}

// Rows wide enough for the word-wise paths, over two rows so that each row
// is taken from its own place in the file.
TEST_F(PnmDecoder, WideBinaryRowsKeepEverySample)
{
    for (const std::uint32_t maxval : {255u, 100u}) {
        SCOPED_TRACE(maxval);
        const int width = 29;
        Bytes samples;
        for (int i = 0; i < width * 2 * 3; ++i)
            samples.push_back(std::uint8_t(i * 7 % (maxval + 1)));
        const Bytes file = Concat(Text("P6 29 2 " + std::to_string(maxval) + "\n"), samples);
        DibGuard d(Decode(file));
        ASSERT_NE(d->Bits, nullptr);
        const auto scaled = [&](int i) {
            return (samples[std::size_t(i)] * 255 + maxval / 2) / maxval;
        };
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < width; ++x) {
                const int i = (y * width + x) * 3;
                ASSERT_EQ(getpixel(d.dib, x, y), RGB(scaled(i), scaled(i + 1), scaled(i + 2)))
                    << x << "," << y;
            }
    }
}

TEST_F(PnmDecoder, OnlyTheFirstImageOfAFileIsRead)
{
    DibGuard d(
        Decode(Concat(Text("P5 1 1 255\n"), Concat({9}, Concat(Text("P5 1 1 255\n"), {7})))));
    EXPECT_EQ(Pixels(d.dib), (Rows{{9}}));
}

TEST_F(PnmDecoder, MalformedFilesYieldNoPixels)
{
    const struct {
        const char* fault;
        Bytes file;
    } corpus[] = {
        {"empty", {}},
        {"magic only", Text("P6")},
        {"unknown kind", Text("P7 1 1 255\n\x01\x02\x03")},
        {"no height", Text("P2 3\n")},
        {"zero width", Text("P2 0 1 255 ")},
        {"zero height", Text("P5 1 0 255\n")},
        {"maxval 0", Concat(Text("P5 1 1 0\n"), {0})},
        {"maxval above 65535", Concat(Text("P5 1 1 65536\n"), {0, 0})},
        {"width beyond 32 bits", Text("P5 99999999999 1 255\n")},
        {"huge dimensions", Concat(Text("P6 2147483647 2147483647 255\n"), {1, 2, 3})},
        {"huge ASCII dimensions", Text("P1 2000000000 2000000000 0 1 0")},
        {"sample above maxval, ASCII", Text("P2 2 1 15 3 16")},
        {"sample above maxval, binary", Concat(Text("P5 2 1 100\n"), {3, 101})},
        {"sample above maxval, second row", Concat(Text("P6 1 2 100\n"), {3, 4, 5, 6, 7, 200})},
        {"16-bit sample above maxval", Concat(Text("P5 1 1 1000\n"), {0x03, 0xE9})},
        {"binary data one byte short", Concat(Text("P6 2 1 255\n"), {1, 2, 3, 4, 5})},
        {"bitmap data one byte short", Concat(Text("P4 9 2\n"), {0, 0, 0})},
        {"ASCII samples missing", Text("P3 2 1 255 1 2 3 4 5")},
        {"ASCII bit that is not 0 or 1", Text("P1 2 1 0 2")},
        {"letters among ASCII samples", Text("P2 2 1 255 12 ab")},
        {"no whitespace before binary data", Concat(Text("P5 1 1 255"), {7})},
        {"negative width", Text("P2 -3 1 255 1 2 3")},
    };
    for (const auto& c : corpus) {
        DibGuard d(Decode(c.file));
        EXPECT_EQ(d->Bits, nullptr) << c.fault;
    }
}

TEST_F(PnmDecoder, TruncatedAtEveryOffset)
{
    const Bytes files[] = {
        Concat(Text("P6\n# c\n3 2\n255\n"), Bytes(18, 0x40)),
        Concat(Text("P4 12 2\n"), Bytes(4, 0x0F)),
        Text("P3 2 1 255 1 2 3 4 5 6"),
    };
    for (const Bytes& whole : files) {
        DibGuard complete(Decode(whole));
        EXPECT_NE(complete->Bits, nullptr);
        for (std::size_t cut = 0; cut < whole.size(); ++cut) {
            DibGuard d(Decode(Bytes(whole.begin(), whole.begin() + cut)));
            EXPECT_EQ(d->Bits, nullptr) << "cut at " << cut;
        }
    }
}

TEST_F(PnmDecoder, PicturesBeyondTheAllocationLimitAreRefused)
{
    AllocationLimit limit(64);
    DibGuard d(Decode(Concat(Text("P5 10 10 255\n"), Bytes(100, 1))));
    EXPECT_EQ(d->Bits, nullptr);
}

} // namespace
