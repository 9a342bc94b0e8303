// The picture built from frames of every kind, fed byte by byte as a
// backend might send them.
#include "PictureSupport.h"

#include "quorscan/ScanImage.h"
#include "quorscan/ScanStatus.h"

#include <cmath>
#include <cstring>

namespace {

SANE_Parameters Frame(SANE_Frame format, int depth, int width, int lines, int lineBytes,
                      bool last = true)
{
    SANE_Parameters p{};
    p.format = format;
    p.last_frame = last ? SANE_TRUE : SANE_FALSE;
    p.depth = depth;
    p.pixels_per_line = width;
    p.lines = lines;
    p.bytes_per_line = lineBytes;
    return p;
}

// Feeds data in pieces of the given size.
void Feed(ScanImageBuilder& b, const std::vector<std::uint8_t>& data, std::size_t piece)
{
    for (std::size_t i = 0; i < data.size(); i += piece)
        b.Add(data.data() + i, std::min(piece, data.size() - i));
}

std::vector<std::uint8_t> Native16(const std::vector<std::uint16_t>& samples)
{
    std::vector<std::uint8_t> bytes(2 * samples.size());
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

class ScanImage : public LeakCheckedTest {
protected:
    void TearDown() override
    {
        deldib(picture);
        LeakCheckedTest::TearDown();
    }
    TDibRecord Take()
    {
        deldib(picture);
        picture = builder.TakePicture(error);
        return picture;
    }
    ScanImageBuilder builder;
    std::string error;
    TDibRecord picture{};
};

TEST_F(ScanImage, SixteenBitSamplesAreRoundedNotCut)
{
    std::vector<std::uint16_t> all(65536);
    for (int v = 0; v < 65536; ++v)
        all[std::size_t(v)] = std::uint16_t(v);
    ASSERT_TRUE(builder.BeginFrame(Frame(SANE_FRAME_GRAY, 16, 256, 256, 512), error));
    Feed(builder, Native16(all), 1000);
    builder.EndFrame();
    ASSERT_TRUE(Take().Bits) << error;
    for (int v = 0; v < 65536; ++v)
        ASSERT_EQ(getpixel(picture, v % 256, v / 256), std::uint32_t(std::lround(v / 257.0))) << v;
}

TEST_F(ScanImage, OneBitColourPacksThreeSamplesPerPixel)
{
    // (red, green, blue) = 101, 011, 110: the bits 1010 1111 0...
    ASSERT_TRUE(builder.BeginFrame(Frame(SANE_FRAME_RGB, 1, 3, 1, 2), error));
    Feed(builder, {0xAF, 0x00}, 1);
    builder.EndFrame();
    ASSERT_TRUE(Take().Bits) << error;
    ASSERT_EQ(DibBitCount(picture), 24);
    EXPECT_EQ(PixelColour(picture, 0, 0), (Rgb{255, 0, 255}));
    EXPECT_EQ(PixelColour(picture, 1, 0), (Rgb{0, 255, 255}));
    EXPECT_EQ(PixelColour(picture, 2, 0), (Rgb{255, 255, 0}));
}

TEST_F(ScanImage, LineartSetBitsAreBlack)
{
    // 10 pixels in lines of 3 bytes (the third is padding).
    ASSERT_TRUE(builder.BeginFrame(Frame(SANE_FRAME_GRAY, 1, 10, 2, 3), error));
    Feed(builder, {0b10110000, 0b01000000, 0xFF, 0x00, 0x00, 0xFF}, 4);
    builder.EndFrame();
    ASSERT_TRUE(Take().Bits) << error;
    ASSERT_EQ(DibBitCount(picture), 1);
    const std::vector<int> black = {0, 2, 3, 9};
    for (int x = 0; x < 10; ++x) {
        const bool isBlack = std::find(black.begin(), black.end(), x) != black.end();
        EXPECT_EQ(PaletteColour(picture, int(getpixel(picture, x, 0))),
                  isBlack ? (Rgb{0, 0, 0}) : (Rgb{255, 255, 255}))
            << x;
        EXPECT_EQ(PaletteColour(picture, int(getpixel(picture, x, 1))), (Rgb{255, 255, 255}));
    }
}

TEST_F(ScanImage, ChannelFramesFillTheirColourWhateverTheirOrder)
{
    const std::vector<std::pair<SANE_Frame, std::uint8_t>> frames = {
        {SANE_FRAME_BLUE, 30}, {SANE_FRAME_RED, 10}, {SANE_FRAME_GREEN, 20}};
    for (std::size_t f = 0; f < frames.size(); ++f) {
        ASSERT_TRUE(builder.BeginFrame(Frame(frames[f].first, 8, 2, 2, 2, f == 2), error));
        Feed(builder, std::vector<std::uint8_t>(4, frames[f].second), 3);
        EXPECT_EQ(builder.EndFrame(), f == 2);
    }
    ASSERT_TRUE(Take().Bits) << error;
    EXPECT_EQ(PixelColour(picture, 1, 1), (Rgb{10, 20, 30}));
}

TEST_F(ScanImage, UnknownHeightGrowsLineByLine)
{
    ASSERT_TRUE(builder.BeginFrame(Frame(SANE_FRAME_GRAY, 8, 3, -1, 3), error));
    EXPECT_EQ(builder.Percent(), -1);
    std::vector<std::uint8_t> data;
    for (int i = 0; i < 1000 * 3; ++i)
        data.push_back(std::uint8_t(i / 3));
    data.push_back(7); // an incomplete last line is dropped
    Feed(builder, data, 7);
    builder.EndFrame();
    ASSERT_TRUE(Take().Bits) << error;
    ASSERT_EQ(DibHeight(picture), 1000);
    for (int y = 0; y < 1000; y += 111)
        EXPECT_EQ(getpixel(picture, 2, y), std::uint32_t(y & 0xFF)) << "first line on top";
}

TEST_F(ScanImage, KnownHeightKeepsWhatArrivesAndNoMore)
{
    ASSERT_TRUE(builder.BeginFrame(Frame(SANE_FRAME_GRAY, 8, 4, 3, 4), error));
    Feed(builder, std::vector<std::uint8_t>(5 * 4, 9), 4);
    builder.EndFrame();
    ASSERT_TRUE(Take().Bits);
    EXPECT_EQ(DibHeight(picture), 3) << "extra lines dropped";

    ScanImageBuilder shorter;
    ASSERT_TRUE(shorter.BeginFrame(Frame(SANE_FRAME_GRAY, 8, 4, 3, 4), error));
    Feed(shorter, std::vector<std::uint8_t>(2 * 4, 9), 4);
    EXPECT_EQ(shorter.Percent(), 66);
    shorter.EndFrame();
    TDibRecord cut = shorter.TakePicture(error);
    EXPECT_EQ(DibHeight(cut), 2) << "a short frame gives a shorter picture";
    deldib(cut);
}

TEST_F(ScanImage, FramesThatCannotBeTakenSayWhy)
{
    EXPECT_FALSE(builder.BeginFrame(Frame(SANE_Frame(7), 8, 4, 4, 4), error));
    EXPECT_NE(error.find("Format 7"), std::string::npos) << error;
    EXPECT_FALSE(ScanImageBuilder().BeginFrame(Frame(SANE_FRAME_GRAY, 4, 4, 4, 2), error));
    EXPECT_FALSE(ScanImageBuilder().BeginFrame(Frame(SANE_FRAME_RGB, 8, 4, 4, 11), error))
        << "lines shorter than their pixels";

    ScanImageBuilder mixed;
    ASSERT_TRUE(mixed.BeginFrame(Frame(SANE_FRAME_RED, 8, 4, 4, 4, false), error));
    EXPECT_FALSE(mixed.BeginFrame(Frame(SANE_FRAME_GREEN, 8, 5, 4, 5, false), error));
    EXPECT_FALSE(mixed.BeginFrame(Frame(SANE_FRAME_GRAY, 8, 4, 4, 4), error));
}

TEST_F(ScanImage, NoLinesOrTooMuchIsNoPicture)
{
    ASSERT_TRUE(builder.BeginFrame(Frame(SANE_FRAME_GRAY, 8, 4, 4, 4), error));
    builder.EndFrame();
    EXPECT_EQ(Take().Bits, nullptr);
    EXPECT_EQ(error, ScanStatusMessage(SANE_STATUS_EOF));

    const AllocationLimit limit(1000);
    ScanImageBuilder endless;
    ASSERT_TRUE(endless.BeginFrame(Frame(SANE_FRAME_RGB, 8, 100, -1, 300), error));
    Feed(endless, std::vector<std::uint8_t>(300 * 4, 1), 300);
    EXPECT_TRUE(endless.TooLarge());
    TDibRecord none = endless.TakePicture(error);
    EXPECT_EQ(none.Bits, nullptr);
    EXPECT_EQ(error, ScanStatusMessage(SANE_STATUS_NO_MEM));
    EXPECT_FALSE(ScanImageBuilder().BeginFrame(Frame(SANE_FRAME_RGB, 8, 100, 100, 300), error))
        << "a known height beyond the limit is refused at once";
}

} // namespace
