#include "DecoderTestSupport.h"

#include "imagora/Decoders.h"

namespace {

class GifDecoder : public LeakCheckedTest {};

std::string Sample(const char* name)
{
    return DataFile(std::string("gif/") + name + ".gif");
}

// Decodes a GIF that ImageMagick makes from `args`.
void DecodeMade(const std::string& args, const TempFolder& folder, DibGuard& d,
                Bytes* file = nullptr)
{
    const std::string path = folder.File("made.gif");
    ASSERT_TRUE(Magick(args + " " + path));
    const Bytes bytes = ReadBytes(path);
    ASSERT_TRUE(DecodeGif(bytes.data(), bytes.size(), &d.dib)) << args;
    if (file)
        *file = bytes;
}

TEST_F(GifDecoder, SamplesLikeImageMagick)
{
    REQUIRE_MAGICK();
    ExpectLikeMagick(DecodeGif, Sample("video-001"), 8);
    ExpectLikeMagick(DecodeGif, Sample("video-001.interlaced"), 8);
    ExpectLikeMagick(DecodeGif, Sample("video-001.5bpp"), 8);
    ExpectLikeMagick(DecodeGif, Sample("triangle-001"), 8);
}

TEST_F(GifDecoder, DepthFollowsTheColourTable)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    const std::pair<const char*, int> cases[] = {
        {"-size 8x8 xc:black -fill white -draw 'point 1,1'", 1},
        {"-size 16x1 gradient:red-blue -colors 16", 4},
        {"-size 64x1 gradient:red-blue -colors 64", 8},
    };
    for (const auto& [args, bits] : cases) {
        DibGuard d;
        DecodeMade(args, folder, d);
        EXPECT_EQ(DibBitCount(d.dib), bits) << args;
    }
}

TEST_F(GifDecoder, TransparencyAndTheUncoveredScreenShowWhite)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    {
        DibGuard d;
        DecodeMade("-size 3x1 xc:red -fill none -draw 'color 1,0 point'", folder, d);
        EXPECT_EQ(DibRgb(d.dib), (Bytes{255, 0, 0, 255, 255, 255, 255, 0, 0}));
    }
    // A 2 x 2 blue frame at (3, 1) on a 6 x 4 screen; the frame's two-colour
    // table has no white, so one is added.
    DibGuard d;
    DecodeMade("-size 2x2 xc:blue -repage 6x4+3+1", folder, d);
    ASSERT_EQ(DibWidth(d.dib), 6);
    ASSERT_EQ(DibHeight(d.dib), 4);
    const Bytes rgb = DibRgb(d.dib);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool blue = x >= 3 && x < 5 && y >= 1 && y < 3;
            const std::size_t i = std::size_t(3 * (6 * y + x));
            EXPECT_EQ(Bytes(rgb.begin() + std::ptrdiff_t(i), rgb.begin() + std::ptrdiff_t(i + 3)),
                      (blue ? Bytes{0, 0, 255} : Bytes{255, 255, 255}))
                << x << "," << y;
        }
}

TEST_F(GifDecoder, FirstFrameOfAnAnimation)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    DibGuard d;
    DecodeMade("-size 2x2 xc:lime xc:blue -loop 0", folder, d);
    EXPECT_EQ(DibRgb(d.dib), (Bytes{0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0}));
}

// Red, lime, blue, yellow in a row: a global table of four entries.
void DecodeFourColours(const TempFolder& folder, DibGuard& d, Bytes& file)
{
    DecodeMade("-size 4x1 xc:red -fill lime -draw 'point 1,0' -fill blue -draw 'point 2,0' "
               "-fill yellow -draw 'point 3,0'",
               folder, d, &file);
    ASSERT_EQ(file[10] & 0x87, 0x81);
}

TEST_F(GifDecoder, IndicesPastTheColourTableShowEntryZero)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    DibGuard four;
    Bytes file;
    DecodeFourColours(folder, four, file);
    // Shrink the table to two entries; the coded pixels still name all four.
    file[10] = std::uint8_t(file[10] & ~0x07);
    file.erase(file.begin() + 13 + 6, file.begin() + 13 + 12);
    DibGuard two;
    ASSERT_TRUE(DecodeGif(file.data(), file.size(), &two.dib));
    ASSERT_EQ(DibBitCount(two.dib), 1);
    for (int x = 0; x < 4; ++x) {
        const std::uint32_t was = getpixel(four.dib, x, 0);
        EXPECT_EQ(getpixel(two.dib, x, 0), was < 2 ? was : 0u) << x;
    }
}

TEST_F(GifDecoder, TheFramesOwnColourTableWins)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    DibGuard global;
    Bytes file;
    DecodeFourColours(folder, global, file);
    // Copy the table behind the frame's descriptor and blacken the global one.
    const Bytes table(file.begin() + 13, file.begin() + 25);
    std::fill(file.begin() + 13, file.begin() + 25, std::uint8_t(0));
    std::size_t i = 25;
    while (file[i] == 0x21) { // extensions before the frame: their label, then sub-blocks
        for (i += 2; file[i] != 0;)
            i += file[i] + 1u;
        ++i;
    }
    ASSERT_EQ(file[i], 0x2C);
    file[i + 9] = std::uint8_t(file[i + 9] | 0x81);
    file.insert(file.begin() + std::ptrdiff_t(i + 10), table.begin(), table.end());
    DibGuard local;
    ASSERT_TRUE(DecodeGif(file.data(), file.size(), &local.dib));
    EXPECT_EQ(DibRgb(local.dib), (Bytes{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}));
}

TEST_F(GifDecoder, BrokenCopiesOfGoodFiles)
{
    // The last bytes are the trailer and the frame's end, which hold no pixels.
    for (const char* name : {"triangle-001", "video-001.interlaced"})
        ExpectSurvivesDamage(DecodeGif, ReadBytes(Sample(name)), 3);
}

} // namespace
