#include "DecoderTestSupport.h"

#include "imagora/DecodeSupport.h"
#include "imagora/Decoders.h"

#include <cstring>

namespace {

class PngDecoder : public LeakCheckedTest {};

// PngSuite carries gAMA 1.0, which ImageMagick would re-encode on output;
// we show the stored values, as the other formats do.
const std::string kStoredValues = "-set colorspace sRGB";

std::string Suite(const char* name)
{
    return DataFile(std::string("png/") + name + ".png");
}

// Small PNG files made byte by byte, for faults no encoder writes.
void Put32(Bytes& b, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(std::uint8_t(v >> shift));
}

std::uint32_t Crc(const std::uint8_t* p, std::size_t n)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void Chunk(Bytes& png, const char* type, const Bytes& body)
{
    Put32(png, std::uint32_t(body.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), body.begin(), body.end());
    Put32(png, Crc(png.data() + start, png.size() - start));
}

// Rows already filtered (a 0 byte before each), in one stored deflate block.
Bytes Zlib(const Bytes& raw)
{
    Bytes z = {0x78,
               0x01,
               0x01,
               std::uint8_t(raw.size()),
               std::uint8_t(raw.size() >> 8),
               std::uint8_t(~raw.size()),
               std::uint8_t(~raw.size() >> 8)};
    z.insert(z.end(), raw.begin(), raw.end());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);
    return z;
}

Bytes MakePng(std::uint32_t width, std::uint32_t height, int depth, int type, const Bytes& raw,
              const Bytes& plte = {}, const Bytes& trns = {})
{
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Put32(ihdr, width);
    Put32(ihdr, height);
    ihdr.insert(ihdr.end(), {std::uint8_t(depth), std::uint8_t(type), 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    if (!plte.empty())
        Chunk(png, "PLTE", plte);
    if (!trns.empty())
        Chunk(png, "tRNS", trns);
    Chunk(png, "IDAT", Zlib(raw));
    Chunk(png, "IEND", {});
    return png;
}

TEST_F(PngDecoder, SuiteLikeImageMagickAtTheRightDepth)
{
    REQUIRE_MAGICK();
    // Alpha and 16-bit channels: ImageMagick blends and scales at 16 bits
    // and lands one off at times.
    const struct {
        const char* name;
        int bits;
        int tolerance;
    } files[] = {
        {"basn0g01", 1, 0},  {"basn0g02", 8, 0},   {"basn0g04-31", 8, 0},  {"basn0g08", 8, 0},
        {"basn0g16", 8, 1},  {"basn2c08", 24, 0},  {"basn2c16", 24, 1},    {"basn3p01", 1, 0},
        {"basn3p02", 4, 0},  {"basn3p08", 8, 0},   {"basn3p04-31i", 4, 0}, {"basn3p08-trns", 8, 1},
        {"basn4a08", 8, 1},  {"basn4a16", 8, 1},   {"basn6a08", 24, 1},    {"basn6a16", 24, 1},
        {"ftbwn0g16", 8, 1}, {"ftbbn2c16", 24, 0},
    };
    for (const auto& f : files)
        ExpectLikeMagick(DecodePng, Suite(f.name), f.bits, f.tolerance, kStoredValues);
}

TEST_F(PngDecoder, SixteenBitChannelsRoundToTheNearestEightBitValue)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    const std::string raw = folder.File("16.rgb");
    ASSERT_TRUE(
        Magick(Suite("basn2c16") + " " + kStoredValues + " -depth 16 -endian LSB rgb:" + raw));
    const Bytes wide = ReadBytes(raw);
    Bytes expected;
    for (std::size_t i = 0; i + 1 < wide.size(); i += 2)
        expected.push_back(std::uint8_t((wide[i] + 256 * wide[i + 1] + 128) / 257));
    const Bytes file = ReadBytes(Suite("basn2c16"));
    DibGuard d;
    ASSERT_TRUE(DecodePng(file.data(), file.size(), &d.dib));
    EXPECT_EQ(DibRgb(d.dib), expected);
}

TEST_F(PngDecoder, InterlacedFilesGiveThePicturesOfTheirPlainTwins)
{
    REQUIRE_MAGICK();
    TempFolder folder;
    for (const char* name : {"basn0g01", "basn3p02", "basn0g08", "basn4a08", "basn6a16"}) {
        const std::string interlaced = folder.File(std::string(name) + ".png");
        ASSERT_TRUE(Magick(Suite(name) + " -interlace PNG PNG00:" + interlaced));
        const Bytes plain = ReadBytes(Suite(name)), adam7 = ReadBytes(interlaced);
        DibGuard a, b;
        ASSERT_TRUE(DecodePng(plain.data(), plain.size(), &a.dib));
        ASSERT_TRUE(DecodePng(adam7.data(), adam7.size(), &b.dib)) << name;
        EXPECT_EQ(DibBitCount(b.dib), DibBitCount(a.dib)) << name;
        EXPECT_EQ(DibRgb(b.dib), DibRgb(a.dib)) << name;
    }
}

TEST_F(PngDecoder, TransparentPaletteEntriesOverWhiteAndIndicesPastThePalette)
{
    // 2-bit indices 0..3 over a palette of three: entry 0 transparent,
    // entry 1 half covering, index 3 names no entry.
    const Bytes plte = {200, 100, 0, 0, 0, 0, 10, 20, 30};
    const Bytes trns = {0, 128};
    const Bytes raw = {0, 0x1B}; // filter 0, pixels 0 1 2 3
    const Bytes png = MakePng(4, 1, 2, 3, raw, plte, trns);
    DibGuard d;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), &d.dib));
    ASSERT_EQ(DibBitCount(d.dib), 4);
    const RGBQUAD* t = d->Info->bmiColors;
    EXPECT_EQ((std::vector<int>{t[0].rgbRed, t[0].rgbGreen, t[0].rgbBlue}),
              (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(t[1].rgbRed, OverWhite(0, 128));
    EXPECT_EQ(t[2].rgbBlue, 30);
    EXPECT_EQ(d->Palette.palPalEntry[1].peRed, OverWhite(0, 128));
    EXPECT_EQ((std::vector<std::uint32_t>{getpixel(d.dib, 0, 0), getpixel(d.dib, 1, 0),
                                          getpixel(d.dib, 2, 0), getpixel(d.dib, 3, 0)}),
              (std::vector<std::uint32_t>{0, 1, 2, 0}));
}

TEST_F(PngDecoder, RefusesLyingAndOversizedPictures)
{
    const Bytes row = {0, 0x80, 0x40};
    const Bytes good = MakePng(2, 1, 8, 0, row);
    DibGuard ok;
    EXPECT_TRUE(DecodePng(good.data(), good.size(), &ok.dib));

    // 30000 x 30000 grey would fit the default limit, but no file this
    // small can hold it: refused before anything is allocated.
    const Bytes lying = MakePng(30000, 30000, 8, 0, row);
    const Bytes zeroWide = MakePng(0, 1, 8, 0, row);
    const Bytes noPalette = MakePng(2, 1, 8, 3, row);
    for (const Bytes* bad : {&lying, &zeroWide, &noPalette}) {
        DibGuard d;
        EXPECT_FALSE(DecodePng(bad->data(), bad->size(), &d.dib));
        EXPECT_EQ(d->Bits, nullptr);
    }
}

TEST_F(PngDecoder, BrokenCopiesOfGoodFiles)
{
    for (const char* name : {"basn3p04-31i", "basn4a16", "basn6a08"})
        ExpectSurvivesDamage(DecodePng, ReadBytes(Suite(name)), 12); // IEND holds no pixels
}

} // namespace
