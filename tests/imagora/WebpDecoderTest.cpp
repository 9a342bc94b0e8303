#include "DecoderTestSupport.h"

#include "imagora/Decoders.h"

namespace {

class WebpDecoder : public LeakCheckedTest {};

std::string Sample(const char* name)
{
    return DataFile(std::string("webp/") + name);
}

TEST_F(WebpDecoder, LossyLikeImageMagick)
{
    REQUIRE_MAGICK();
    ExpectLikeMagick(DecodeWebp, Sample("blue-purple-pink.lossy.webp"), 24);
    ExpectLikeMagick(DecodeWebp, Sample("video-001.lossy.webp"), 24);
    ExpectLikeMagick(DecodeWebp, Sample("yellow_rose.lossy-with-alpha.webp"), 24, 1);
}

TEST_F(WebpDecoder, LosslessGivesItsReferencePicture)
{
    const Bytes webp = ReadBytes(Sample("gopher-doc.2bpp.lossless.webp"));
    const Bytes png = ReadBytes(Sample("gopher-doc.2bpp.png"));
    DibGuard a, b;
    ASSERT_TRUE(DecodeWebp(webp.data(), webp.size(), &a.dib));
    ASSERT_TRUE(DecodePng(png.data(), png.size(), &b.dib));
    EXPECT_EQ(DibRgb(a.dib), DibRgb(b.dib));
}

TEST_F(WebpDecoder, AnimationsAreRefused)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    const std::string path = folder.File("moving.webp");
    ASSERT_TRUE(Magick("-size 2x2 xc:red xc:blue -loop 0 " + path));
    const Bytes file = ReadBytes(path);
    DibGuard d;
    EXPECT_FALSE(DecodeWebp(file.data(), file.size(), &d.dib));
    EXPECT_EQ(d->Bits, nullptr);
}

TEST_F(WebpDecoder, BrokenCopiesOfGoodFiles)
{
    for (const char* name : {"blue-purple-pink.lossy.webp", "gopher-doc.2bpp.lossless.webp"})
        ExpectSurvivesDamage(DecodeWebp, ReadBytes(Sample(name)), 0);
}

} // namespace
