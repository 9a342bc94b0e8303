#include "DecoderTestSupport.h"

#include "imagora/Decoders.h"

namespace {

class JpegDecoder : public LeakCheckedTest {};

std::string Sample(const char* name)
{
    return DataFile(std::string("jpeg/") + name + ".jpeg");
}

// The file with an EXIF block holding only an orientation, right after SOI.
Bytes WithOrientation(const Bytes& jpeg, int orientation, bool bigEndian)
{
    const auto u16 = [bigEndian](int v) {
        return bigEndian ? Bytes{std::uint8_t(v >> 8), std::uint8_t(v)}
                         : Bytes{std::uint8_t(v), std::uint8_t(v >> 8)};
    };
    Bytes tiff =
        bigEndian ? Bytes{'M', 'M', 0, 42, 0, 0, 0, 8} : Bytes{'I', 'I', 42, 0, 8, 0, 0, 0};
    for (const Bytes& part :
         {u16(1), u16(0x0112), u16(3), bigEndian ? Bytes{0, 0, 0, 1} : Bytes{1, 0, 0, 0},
          u16(orientation), Bytes{0, 0, 0, 0, 0, 0}})
        tiff.insert(tiff.end(), part.begin(), part.end());
    const std::size_t length = 2 + 6 + tiff.size();
    Bytes out = {0xFF, 0xD8, 0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length), 'E', 'x',
                 'i',  'f',  0,    0};
    out.reserve(out.size() + tiff.size() + jpeg.size()); // also spares GCC 12 a false warning
    out.insert(out.end(), tiff.begin(), tiff.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

TEST_F(JpegDecoder, SamplesLikeImageMagick)
{
    REQUIRE_MAGICK();
    // Both decode through libjpeg-turbo with its defaults: no difference at all.
    const std::pair<const char*, int> files[] = {
        {"video-001.q50.420", 24},
        {"video-001.q50.410", 24},
        {"video-001.q50.444.progressive", 24},
        {"video-001.rgb", 24},
        {"video-001.cmyk", 24},
        {"video-005.gray.q50", 8},
        // Fewer scans than usual, but a complete file with its end marker.
        {"video-001.progressive.truncated", 24},
    };
    for (const auto& [name, bits] : files)
        ExpectLikeMagick(DecodeJpeg, Sample(name), bits);
}

TEST_F(JpegDecoder, CmykIsInvertedOnlyWhenAdobeSaysSo)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    // ImageMagick writes CMYK as YCCK with Adobe's marker and inverted samples.
    const std::string flat = folder.File("flat.jpg");
    ASSERT_TRUE(Magick("-size 16x16 'xc:cmyk(64,128,192,32)' -quality 100 " + flat));
    Bytes file = ReadBytes(flat);
    DibGuard ycck;
    ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), &ycck.dib));
    const Bytes rgb = DibRgb(ycck.dib); // (255 - ink) * (255 - black) / 255
    EXPECT_LE(MaxDifference(Bytes(rgb.begin(), rgb.begin() + 3), Bytes{167, 111, 55}), 1);

    // The sample's plain CMYK without Adobe's marker: the same samples now
    // mean ink, not its absence. ImageMagick's reading of the marked file
    // gives the ink as 255 - sample, so plain red is its ink * black / 255.
    const std::string cmyk = folder.File("inks.cmyk");
    ASSERT_TRUE(Magick(Sample("video-001.cmyk") + " -depth 8 cmyk:" + cmyk));
    const Bytes inks = ReadBytes(cmyk);
    file = ReadBytes(Sample("video-001.cmyk"));
    for (std::size_t i = 2; i + 4 < file.size(); i += 2 + file[i + 2] * 256u + file[i + 3])
        if (file[i + 1] == 0xEE) {
            file.erase(file.begin() + std::ptrdiff_t(i),
                       file.begin() + std::ptrdiff_t(i + 2 + file[i + 2] * 256u + file[i + 3]));
            break;
        }
    Bytes expected;
    for (std::size_t i = 0; i + 3 < inks.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            expected.push_back(std::uint8_t((inks[i + c] * inks[i + 3] + 127) / 255));
    DibGuard plain;
    ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), &plain.dib));
    EXPECT_EQ(DibRgb(plain.dib), expected);
}

TEST_F(JpegDecoder, ExifOrientationOpensUpright)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    const Bytes plain = ReadBytes(Sample("video-001.q50.420"));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const Bytes file = WithOrientation(plain, orientation, orientation % 2 == 0);
        const std::string path = folder.File("turned.jpg");
        WriteBytes(path, file);
        DibGuard d;
        ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), &d.dib));
        EXPECT_EQ(DibWidth(d.dib), orientation >= 5 ? 103 : 150) << orientation;
        EXPECT_EQ(DibRgb(d.dib), MagickRgb(path, "-auto-orient")) << "orientation " << orientation;
    }
}

// A camera's EXIF block: sub-IFDs, GPS and a maker note around the
// orientation (6: turn clockwise), as libexif meets them in photos.
TEST_F(JpegDecoder, ACamerasFullExifBlockStillTurnsThePhoto)
{
    const Bytes file = ReadBytes(Sample("video-001.exif-canon"));
    DibGuard turned, plain;
    ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), &turned.dib));
    const Bytes original = ReadBytes(Sample("video-001.q50.420"));
    ASSERT_TRUE(DecodeJpeg(original.data(), original.size(), &plain.dib));
    ASSERT_EQ(DibWidth(turned.dib), 103);
    ASSERT_EQ(DibHeight(turned.dib), 150);
    // The stored picture's bottom-left corner is the upright one's top-left.
    EXPECT_EQ(getpixel(turned.dib, 0, 0), getpixel(plain.dib, 0, 102));
    EXPECT_EQ(getpixel(turned.dib, 102, 149), getpixel(plain.dib, 149, 0));
}

// The sample is 150 x 103; at 1/8, 1/4 and 1/2 libjpeg makes it 19 x 13,
// 38 x 26 and 75 x 52. A box the picture is relatively wider than asks for
// its width, any other for its height; a quarter turn turns the box.
TEST_F(JpegDecoder, AReducedDecodeIsTheSmallestThatFillsTheBox)
{
    const Bytes plain = ReadBytes(Sample("video-001.q50.420"));
    const Bytes turned = WithOrientation(plain, 6, false);
    const struct {
        const Bytes* file;
        int boxWidth, boxHeight;
        int width, height; // 0: not reduced
    } rows[] = {
        {&plain, 19, 13, 19, 13}, {&plain, 19, 14, 19, 13}, {&plain, 20, 20, 38, 26},
        {&plain, 75, 500, 75, 52}, {&plain, 76, 60, 0, 0},  {&turned, 14, 19, 13, 19},
        {&turned, 14, 20, 26, 38},
    };
    for (const auto& r : rows) {
        DibGuard d;
        const bool reduced =
            DecodeJpegReduced(r.file->data(), r.file->size(), r.boxWidth, r.boxHeight, &d.dib);
        EXPECT_EQ(reduced, r.width > 0) << r.boxWidth << " x " << r.boxHeight;
        EXPECT_EQ(DibWidth(d.dib), r.width) << r.boxWidth << " x " << r.boxHeight;
        EXPECT_EQ(DibHeight(d.dib), r.height) << r.boxWidth << " x " << r.boxHeight;
    }
}

TEST_F(JpegDecoder, BrokenCopiesOfGoodFiles)
{
    // Cutting only the end marker, or the padding bits before it, loses no pixels.
    for (const char* name : {"video-001.q50.420", "video-001.q50.444.progressive"})
        ExpectSurvivesDamage(DecodeJpeg, ReadBytes(Sample(name)), 3);
}

} // namespace
