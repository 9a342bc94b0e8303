#include "DecoderTestSupport.h"

#include "imagora/Decoders.h"

namespace {

class TiffDecoder : public LeakCheckedTest {};

std::string Sample(const char* name)
{
    return DataFile(std::string("tiff/") + name + ".tiff");
}
std::string Png(const char* name)
{
    return DataFile(std::string("png/") + name + ".png");
}

TEST_F(TiffDecoder, SamplesLikeImageMagick)
{
    REQUIRE_MAGICK();
    ExpectLikeMagick(DecodeTiff, Sample("video-001-paletted"), 8);
    ExpectLikeMagick(DecodeTiff, Sample("video-001-gray"), 8);
    ExpectLikeMagick(DecodeTiff, Sample("bw-packbits"), 1); // white is zero
    ExpectLikeMagick(DecodeTiff, Sample("bw-gopher_ccittGroup4"), 1);
    ExpectLikeMagick(DecodeTiff, Sample("no_compress"), 24, 1); // unassociated alpha
}

TEST_F(TiffDecoder, LayoutsAndDepthsImageMagickWrites)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    const struct {
        const char* source;
        const char* options;
        int bits;
        int tolerance;
    } cases[] = {
        {"basn2c08", "-compress lzw", 24, 0},
        {"basn2c08", "-define tiff:tile-geometry=16x16", 24, 0},
        {"basn2c08", "-define tiff:rows-per-strip=5 -compress zip", 24, 0},
        {"basn2c16", "-depth 16", 24, 1},
        {"basn2c08", "-compress jpeg -quality 90", 24, 2},
        {"basn6a08", "", 24, 1}, // colour with alpha
        {"basn4a08", "", 8, 1},  // grey with alpha stays grey
        {"basn6a08", "-define tiff:alpha=associated", 24, 1},
        {"basn4a08", "-define tiff:alpha=associated", 8, 1},
        {"basn0g16", "-depth 16", 8, 1}, // 16-bit grey
        {"basn0g04-31", "-depth 4", 8, 0},
        {"basn0g02", "-depth 2", 8, 0},
        {"basn0g08", "-define tiff:tile-geometry=16x16", 8, 0},
        {"basn3p04-31i", "-type palette -depth 4", 4, 0},
        {"basn0g01", "-compress group4", 1, 0},
    };
    for (const auto& c : cases) {
        const std::string path = folder.File(std::string(c.source) + ".tif");
        ASSERT_TRUE(Magick(Png(c.source) + " -set colorspace sRGB " + c.options + " " + path));
        ExpectLikeMagick(DecodeTiff, path, c.bits, c.tolerance);
    }
}

TEST_F(TiffDecoder, OrientationTagOpensUpright)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    const char* names[] = {"TopLeft", "TopRight", "BottomRight", "BottomLeft",
                           "LeftTop", "RightTop", "RightBottom", "LeftBottom"};
    for (const char* source : {"basn3p04-31i", "basn2c08"})
        for (const char* name : names) {
            const std::string path = folder.File("turned.tif");
            ASSERT_TRUE(Magick(Png(source) + " -set colorspace sRGB -orient " + name + " " + path));
            const Bytes file = ReadBytes(path);
            DibGuard d;
            ASSERT_TRUE(DecodeTiff(file.data(), file.size(), &d.dib));
            EXPECT_EQ(DibRgb(d.dib), MagickRgb(path, "-auto-orient")) << source << " " << name;
        }
}

TEST_F(TiffDecoder, FirstPageOfAMultiPageFile)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    const std::string path = folder.File("pages.tif");
    ASSERT_TRUE(Magick(Png("basn2c08") + " " + Png("basn0g08") + " -set colorspace sRGB " + path));
    const Bytes tiff = ReadBytes(path), png = ReadBytes(Png("basn2c08"));
    DibGuard page, first;
    ASSERT_TRUE(DecodeTiff(tiff.data(), tiff.size(), &page.dib));
    ASSERT_TRUE(DecodePng(png.data(), png.size(), &first.dib));
    EXPECT_EQ(DibRgb(page.dib), DibRgb(first.dib));
}

TEST_F(TiffDecoder, BrokenCopiesOfGoodFiles)
{
    for (const char* name : {"video-001-paletted", "bw-packbits", "no_compress"})
        ExpectSurvivesDamage(DecodeTiff, ReadBytes(Sample(name)), 0);
}

} // namespace
