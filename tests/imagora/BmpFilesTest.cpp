// Real bitmap files from other projects, compared pixel for pixel with the
// decoded references shipped beside them (see tests/data/bmp/README), and
// files of our own compared with what ImageMagick makes of them.
#include "BmpBuilder.h"
#include "TestSupport.h"

#include "imagora/Decoders.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

class BmpFiles : public LeakCheckedTest {};

const std::string kData = std::string(KELVORA_TEST_DATA) + "/bmp/";

// The colour of a pixel whatever the depth, as 0x00BBGGRR.
COLORREF ColourAt(const TDibRecord& d, int x, int y)
{
    const std::uint32_t v = getpixel(d, x, y);
    if (DibBitCount(d) > 8)
        return v;
    const RGBQUAD& q = d.Info->bmiColors[v];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// Channels narrower than 8 bits are widened differently by different readers
// (ours rounds v * 255 / max; others shift or replicate bits), so such
// pictures are compared in the bits the file holds: red, green, blue.
using ChannelBits = std::array<int, 3>;
constexpr ChannelBits kFullBits = {8, 8, 8};

bool SameColour(COLORREF a, COLORREF b, const ChannelBits& bits)
{
    for (int c = 0; c < 3; ++c) {
        const int drop = 8 + 8 * c - bits[c]; // from the channel's lowest bit
        if (((a >> drop) ^ (b >> drop)) & ((1u << bits[c]) - 1))
            return false;
    }
    return true;
}

void ExpectSameColours(const TDibRecord& actual, const TDibRecord& expected,
                       const ChannelBits& bits = kFullBits)
{
    ASSERT_NE(actual.Bits, nullptr);
    ASSERT_NE(expected.Bits, nullptr);
    ASSERT_EQ(DibWidth(actual), DibWidth(expected));
    ASSERT_EQ(DibHeight(actual), DibHeight(expected));
    int wrong = 0;
    for (int y = 0; y < DibHeight(actual); ++y)
        for (int x = 0; x < DibWidth(actual); ++x)
            if (!SameColour(ColourAt(actual, x, y), ColourAt(expected, x, y), bits) && ++wrong <= 5)
                ADD_FAILURE() << "at " << x << ", " << y << ": " << std::hex
                              << ColourAt(actual, x, y) << " instead of "
                              << ColourAt(expected, x, y);
    EXPECT_EQ(wrong, 0);
}

TEST_F(BmpFiles, DecodeLikeTheirReferences)
{
    const struct {
        const char* file;
        const char* reference;
        int bits;
        ChannelBits precision;
    } cases[] = {
        {"bit1.bmp", "bit1_out.bmp", 1, kFullBits},
        {"bit4.bmp", "bit4_out.bmp", 4, kFullBits},
        {"bit4_RLE.bmp", "bit4_RLE.ppm", 4, kFullBits},
        {"bit8.bmp", "bit8_out.bmp", 8, kFullBits},
        {"bit8_RLE.bmp", "bit8_RLE.ppm", 8, kFullBits},
        {"bit16_565.bmp", "bit16_565_out.bmp", 24, {5, 6, 5}},
        {"bit16_x555.bmp", "bit16_x555_out.bmp", 24, {5, 5, 5}},
        {"bit16_a444.bmp", "bit16_a444_out.bmp", 24, {4, 4, 4}},
        {"bit32.bmp", "bit24_out.bmp", 24, kFullBits},
        {"bit32_alpha.bmp", "bit24_out.bmp", 24, kFullBits},
        {"colormap.bmp", "colormap.ppm", 8, kFullBits},
        {"yellow_rose-small.bmp", "yellow_rose-small.ppm", 24, kFullBits},
        {"yellow_rose-small-v5.bmp", "yellow_rose-small-v5.ppm", 24, kFullBits},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        DibGuard actual, expected;
        OpenDib(&actual.dib, (kData + c.file).c_str(), 0, nullptr);
        OpenDib(&expected.dib, (kData + c.reference).c_str(), 0, nullptr);
        EXPECT_EQ(DibBitCount(actual.dib), c.bits);
        ExpectSameColours(actual.dib, expected.dib, c.precision);
    }
}

bool HaveImageMagick()
{
    return std::system("command -v convert >/dev/null 2>&1") == 0;
}

// ImageMagick's reading of a file, as a 24-bit picture.
TDibRecord ReadWithImageMagick(const std::string& path)
{
    TDibRecord d;
    const std::string ppm = path + ".ppm";
    const std::string command = "convert '" + path + "' -depth 8 'ppm:" + ppm + "' 2>/dev/null";
    if (std::system(command.c_str()) == 0)
        OpenDib(&d, ppm.c_str(), 0, nullptr);
    return d;
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Files written to our own reading of the format are read alike by an
// independent reader.
TEST_F(BmpFiles, AgreeWithImageMagick)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    std::vector<RGBQUAD> table;
    for (int i = 0; i < 256; ++i)
        table.push_back(RGBQUAD{std::uint8_t(i * 3), std::uint8_t(i * 5), std::uint8_t(i * 7), 0});
    auto patterned = [](std::size_t n, int modulo) {
        Bytes b(n);
        for (std::size_t i = 0; i < n; ++i)
            b[i] = std::uint8_t((i * 37 + i / 7) % modulo);
        return b;
    };
    struct Case {
        const char* name;
        BmpSpec spec;
        ChannelBits precision = kFullBits;
    };
    std::vector<Case> cases;
    {
        BmpSpec s;
        s.width = 7;
        s.height = -5;
        s.bits = 4;
        s.table.assign(table.begin(), table.begin() + 16);
        s.pixels = patterned(20, 256);
        cases.push_back({"top-down-4-bit", s});
    }
    {
        BmpSpec s;
        s.headerBytes = 12;
        s.width = 6;
        s.height = 3;
        s.bits = 8;
        s.table = table;
        s.pixels = patterned(24, 256);
        cases.push_back({"os2-core-8-bit", s});
    }
    {
        BmpSpec s;
        s.width = 5;
        s.height = 4;
        s.bits = 16;
        s.pixels = patterned(48, 256);
        cases.push_back({"rgb-555", s, {5, 5, 5}});
        s.compression = BI_BITFIELDS;
        s.masks = {0xF800, 0x07E0, 0x001F};
        cases.push_back({"bitfields-565", s, {5, 6, 5}});
    }
    {
        BmpSpec s;
        s.headerBytes = 124;
        s.width = 3;
        s.height = 3;
        s.bits = 32;
        s.compression = BI_BITFIELDS;
        s.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
        s.pixels = patterned(36, 256);
        for (std::size_t i = 3; i < s.pixels.size(); i += 4)
            s.pixels[i] = 0xFF; // opaque, so that no reader blends
        cases.push_back({"v5-32-bit", s});
    }
    {
        BmpSpec s;
        s.width = 6;
        s.height = 3;
        s.bits = 8;
        s.compression = BI_RLE8;
        s.table = table;
        s.pixels = {0x03, 0x05, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x00, 0x06, 0x07,
                    0x00, 0x00, 0x02, 0x09, 0x00, 0x04, 0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x01};
        cases.push_back({"rle8", s});
    }
    {
        BmpSpec s;
        s.width = 8;
        s.height = 2;
        s.bits = 4;
        s.compression = BI_RLE4;
        s.table.assign(table.begin(), table.begin() + 16);
        s.pixels = {0x05, 0x12, 0x00, 0x03, 0x34, 0x50, 0x00, 0x00, 0x00,
                    0x05, 0x67, 0x89, 0xA0, 0x00, 0x03, 0xBC, 0x00, 0x01};
        cases.push_back({"rle4", s});
    }

    const std::string dir = MakeTempDir();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "/" + c.name + ".bmp";
        WriteFile(path, MakeBmp(c.spec));
        DibGuard ours, theirs;
        OpenDib(&ours.dib, path.c_str(), 0, nullptr);
        theirs.dib = ReadWithImageMagick(path);
        ExpectSameColours(ours.dib, theirs.dib, c.precision);
    }
    std::system(("rm -rf '" + dir + "'").c_str());
}

} // namespace
