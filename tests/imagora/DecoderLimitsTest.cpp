#include "DecoderTestSupport.h"

#include "imagora/Decoders.h"

namespace {

class DecoderLimits : public LeakCheckedTest {};

struct Sample {
    Decoder decode;
    const char* file;
    // Working memory beside the picture, all of it held to the same limit:
    // a limit of exactly the picture's size is then too small.
    bool needsMoreThanThePicture;
};

constexpr Sample kSamples[] = {
    {DecodeBmp, "bmp/bit8_RLE.bmp", false},
    {DecodePnm, "bmp/bit8_RLE.ppm", false},
    {DecodePng, "png/basn6a16.png", true}, // libpng's own state and rows
    {DecodeJpeg, "jpeg/video-001.q50.420.jpeg", false},
    {DecodeJpeg, "jpeg/video-001.q50.444.progressive.jpeg", true}, // every coefficient
    {DecodeGif, "gif/video-001.interlaced.gif", true},             // a frame row
    {DecodeTiff, "tiff/video-001-paletted.tiff", false},           // rows land in the picture
    {DecodeTiff, "tiff/video-001-gray.tiff", false},
    {DecodeTiff, "tiff/no_compress.tiff", true}, // RGBA rows: 4 bytes a pixel
    {DecodeWebp, "webp/blue-purple-pink.lossy.webp", false},
    {DecodeWebp, "webp/yellow_rose.lossy-with-alpha.webp", true}, // BGRA frame
    {DecodeWebp, "webp/gopher-doc.2bpp.lossless.webp", true},     // libwebp's ARGB frame
};

TEST_F(DecoderLimits, NothingPastTheAllocationLimit)
{
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.file);
        const Bytes file = ReadBytes(DataFile(s.file));
        DibGuard full;
        ASSERT_TRUE(s.decode(file.data(), file.size(), &full.dib));
        const std::size_t pictureBytes = full->Info->bmiHeader.biSizeImage;
        {
            AllocationLimit limit(pictureBytes - 1);
            DibGuard d;
            EXPECT_FALSE(s.decode(file.data(), file.size(), &d.dib));
            EXPECT_EQ(d->Bits, nullptr);
        }
        AllocationLimit limit(pictureBytes);
        DibGuard d;
        EXPECT_EQ(s.decode(file.data(), file.size(), &d.dib), !s.needsMoreThanThePicture);
        EXPECT_EQ(d->Bits != nullptr, !s.needsMoreThanThePicture);
    }
}

TEST_F(DecoderLimits, EmptyAndForeignInputGivesNoPicture)
{
    const Decoder decoders[] = {DecodePng, DecodeJpeg, DecodeGif, DecodeTiff, DecodeWebp};
    const Bytes png = ReadBytes(DataFile("png/basn0g08.png"));
    const Bytes gif = ReadBytes(DataFile("gif/triangle-001.gif"));
    for (Decoder decode : decoders) {
        DibGuard d;
        const std::uint8_t nothing = 0;
        EXPECT_FALSE(decode(&nothing, 0, &d.dib));
        // Each format's signature belongs to one decoder only.
        EXPECT_EQ(decode(png.data(), png.size(), &d.dib), decode == DecodePng);
        deldib(d.dib);
        EXPECT_EQ(decode(gif.data(), gif.size(), &d.dib), decode == DecodeGif);
    }
}

} // namespace
