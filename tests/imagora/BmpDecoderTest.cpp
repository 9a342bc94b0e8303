#include "BmpBuilder.h"
#include "TestSupport.h"

#include "imagora/Decoders.h"

#include <functional>

namespace {

class BmpDecoder : public LeakCheckedTest {};

TDibRecord Decode(const Bytes& file)
{
    ExactBuffer exact(file);
    TDibRecord d;
    DecodeBmp(exact.data.get(), exact.size, &d);
    return d;
}

// One file row of palette indices, packed most significant first.
Bytes PackRow(const std::vector<int>& indices, int bits)
{
    Bytes row((indices.size() * bits + 7) / 8);
    for (std::size_t x = 0; x < indices.size(); ++x) {
        const std::size_t bit = x * bits;
        row[bit / 8] |= std::uint8_t(indices[x] << (8 - bits - bit % 8));
    }
    return row;
}

// The file rows of a picture given by value(x, y), y from the top, in the
// order the file stores them.
template <typename RowOf> Bytes FileRows(int height, bool topDown, RowOf rowOf)
{
    std::vector<Bytes> rows;
    for (int n = 0; n < height; ++n)
        rows.push_back(rowOf(topDown ? n : height - 1 - n));
    return PaddedRows(rows);
}

Bytes Bgr(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return {b, g, r};
}

void ExpectPixels(const TDibRecord& d, int width, int height,
                  const std::function<std::uint32_t(int, int)>& expected)
{
    ASSERT_NE(d.Bits, nullptr);
    ASSERT_EQ(DibWidth(d), width);
    ASSERT_EQ(DibHeight(d), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(getpixel(d, x, y), expected(x, y)) << "at " << x << ", " << y;
}

RGBQUAD TableColour(int i)
{
    return RGBQUAD{std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i), 0};
}

TEST_F(BmpDecoder, PaletteDepthsKeepIndicesAndColourTableInBothRowOrders)
{
    for (int bits : {1, 4, 8}) {
        for (bool topDown : {false, true}) {
            const int width = 13, height = 3, colours = 1 << bits;
            auto index = [&](int x, int y) { return (x * 3 + y * 5) % colours; };
            BmpSpec s;
            s.width = width;
            s.height = topDown ? -height : height;
            s.bits = std::uint16_t(bits);
            for (int i = 0; i < colours; ++i)
                s.table.push_back(TableColour(i));
            s.pixels = FileRows(height, topDown, [&](int y) {
                std::vector<int> row;
                for (int x = 0; x < width; ++x)
                    row.push_back(index(x, y));
                return PackRow(row, bits);
            });
            SCOPED_TRACE(std::to_string(bits) + " bits, top-down " + std::to_string(topDown));
            DibGuard d(Decode(MakeBmp(s)));
            ExpectPixels(d.dib, width, height, index);
            EXPECT_EQ(DibBitCount(d.dib), bits);
            EXPECT_EQ(d->HasPalette, 1);
            for (int i = 0; i < colours; ++i) {
                const RGBQUAD& q = d->Info->bmiColors[i];
                EXPECT_EQ(q.rgbBlue, TableColour(i).rgbBlue);
                EXPECT_EQ(q.rgbGreen, TableColour(i).rgbGreen);
                EXPECT_EQ(q.rgbRed, TableColour(i).rgbRed);
                EXPECT_EQ(d->Palette.palPalEntry[i].peRed, TableColour(i).rgbRed);
            }
        }
    }
}

TEST_F(BmpDecoder, ShortColourTableIsPaddedWithBlackAndIndicesBeyondItStay)
{
    BmpSpec s;
    s.width = 16;
    s.bits = 4;
    s.clrUsed = 3;
    s.table = {TableColour(1), TableColour(2), TableColour(3)};
    std::vector<int> row;
    for (int x = 0; x < 16; ++x)
        row.push_back(x);
    s.pixels = PaddedRows({PackRow(row, 4)});
    DibGuard d(Decode(MakeBmp(s)));
    ExpectPixels(d.dib, 16, 1, [](int x, int) { return std::uint32_t(x); });
    EXPECT_EQ(d->Info->bmiColors[2].rgbBlue, TableColour(3).rgbBlue);
    for (int i = 3; i < 16; ++i) {
        const RGBQUAD& q = d->Info->bmiColors[i];
        EXPECT_EQ(q.rgbRed | q.rgbGreen | q.rgbBlue, 0) << "entry " << i;
    }
}

TEST_F(BmpDecoder, ColourCountAboveTheDepthIsCapped)
{
    BmpSpec s;
    s.width = 8;
    s.bits = 1;
    s.clrUsed = 256; // a lie: a 1-bit picture has two colours
    s.table = {TableColour(4), TableColour(5)};
    s.pixels = PaddedRows({{0xA5}});
    DibGuard d(Decode(MakeBmp(s)));
    ExpectPixels(d.dib, 8, 1, [](int x, int) { return (0xA5u >> (7 - x)) & 1; });
    EXPECT_EQ(d->Info->bmiColors[1].rgbBlue, TableColour(5).rgbBlue);
}

TEST_F(BmpDecoder, TrueColourInBothRowOrders)
{
    auto colour = [](int x, int y) {
        return RGB(std::uint8_t(x * 50), std::uint8_t(y * 90), std::uint8_t(200 - x));
    };
    for (bool topDown : {false, true}) {
        BmpSpec s;
        s.width = 5; // 15 bytes a row: one byte of padding
        s.height = topDown ? -2 : 2;
        s.pixels = FileRows(2, topDown, [&](int y) {
            Bytes row;
            for (int x = 0; x < 5; ++x) {
                const COLORREF c = colour(x, y);
                const Bytes p = Bgr(GetRValue(c), GetGValue(c), GetBValue(c));
                row.insert(row.end(), p.begin(), p.end());
            }
            return row;
        });
        DibGuard d(Decode(MakeBmp(s)));
        ExpectPixels(d.dib, 5, 2, colour);
        EXPECT_EQ(DibBitCount(d.dib), 24);
    }
}

TEST_F(BmpDecoder, LastRowMayLackItsPadding)
{
    BmpSpec s;
    s.width = 1;
    s.height = 2;
    s.pixels = {1, 2, 3, 0, 4, 5, 6}; // bottom row padded, top row not
    DibGuard d(Decode(MakeBmp(s)));
    ExpectPixels(d.dib, 1, 2, [](int, int y) { return y == 0 ? RGB(6, 5, 4) : RGB(3, 2, 1); });
}

// Five-bit channels widen as v * 255 / 31, rounded.
TEST_F(BmpDecoder, SixteenBitsDefaultToFiveFiveFiveAndBecomeTrueColour)
{
    const int levels[] = {0, 1, 16, 31};
    const int widened[] = {0, 8, 132, 255};
    BmpSpec s;
    s.width = 4;
    s.bits = 16;
    Bytes row;
    for (int i = 0; i < 4; ++i) {
        // red = level i, green = level 3 - i, blue = level i; the top bit is unused
        const int v = 0x8000 | (levels[i] << 10) | (levels[3 - i] << 5) | levels[i];
        PutLe(row, std::uint32_t(v), 2);
    }
    s.pixels = PaddedRows({row});
    DibGuard d(Decode(MakeBmp(s)));
    EXPECT_EQ(DibBitCount(d.dib), 24);
    ExpectPixels(d.dib, 4, 1, [&](int x, int) {
        return RGB(std::uint8_t(widened[x]), std::uint8_t(widened[3 - x]),
                   std::uint8_t(widened[x]));
    });
}

struct BitFieldCase {
    const char* name;
    std::uint32_t headerBytes;
    std::uint32_t compression;
    std::uint16_t bits;
    std::vector<std::uint32_t> masks;
    std::uint32_t pixel;
    COLORREF expected;
};

TEST_F(BmpDecoder, BitFieldsInEveryHeaderGeneration)
{
    // clang-format off
    const BitFieldCase cases[] = {
        {"5-6-5 after a 40-byte header", 40, BI_BITFIELDS, 16, {0xF800, 0x07E0, 0x001F},
         (31u << 11) | (32u << 5) | 1u, RGB(255, 130, 8)},
        {"4-4-4 with alpha, 56-byte header", 56, BI_BITFIELDS, 16, {0x0F00, 0x00F0, 0x000F, 0xF000},
         0xF1A3, RGB(17, 170, 51)},
        {"RGBA bytes, 108-byte header", 108, BI_BITFIELDS, 32,
         {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}, 0xFF332211, RGB(0x11, 0x22, 0x33)},
        {"BGRA bytes, 124-byte header", 124, BI_BITFIELDS, 32, {0x00FF0000, 0x0000FF00, 0x000000FF},
         0x00332211, RGB(0x33, 0x22, 0x11)},
        {"10-10-10 keeps the top bits", 52, BI_BITFIELDS, 32, {0x3FF00000, 0x000FFC00, 0x000003FF},
         (0x3FFu << 20) | (0x200u << 10) | 0x004u, RGB(255, 128, 1)},
        {"alpha bit fields after a 40-byte header", 40, 6, 32,
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, 0xFF0A0B0C, RGB(0x0A, 0x0B, 0x0C)},
        {"a channel without bits is black", 40, BI_BITFIELDS, 16, {0x7C00, 0, 0x001F},
         (31u << 10) | 31u, RGB(255, 0, 255)},
    };
    // clang-format on
    for (const BitFieldCase& c : cases) {
        SCOPED_TRACE(c.name);
        BmpSpec s;
        s.headerBytes = c.headerBytes;
        s.compression = c.compression;
        s.bits = c.bits;
        s.width = 2;
        s.masks = c.masks;
        Bytes row;
        PutLe(row, c.pixel, c.bits / 8);
        PutLe(row, c.masks.size() > 3 ? c.masks[3] : 0, c.bits / 8); // opaque black
        s.pixels = PaddedRows({row});
        DibGuard d(Decode(MakeBmp(s)));
        EXPECT_EQ(DibBitCount(d.dib), 24);
        ExpectPixels(d.dib, 2, 1, [&](int x, int) { return x == 0 ? c.expected : 0u; });
    }
}

TEST_F(BmpDecoder, AnAlphaMaskCompositesOverWhite)
{
    // clang-format off
    const struct {
        const char* name;
        std::uint32_t headerBytes;
        std::uint32_t compression;
        std::uint16_t bits;
        std::vector<std::uint32_t> masks;
        std::vector<std::uint32_t> pixels;
        std::vector<COLORREF> expected;
    } cases[] = {
        {"half, clear and opaque, 124-byte header", 124, BI_BITFIELDS, 32,
         {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
         {0x80332211, 0x00332211, 0xFF332211}, {RGB(136, 144, 153), RGB(255, 255, 255),
                                                RGB(0x11, 0x22, 0x33)}},
        {"4-bit alpha, 56-byte header", 56, BI_BITFIELDS, 16, {0x0F00, 0x00F0, 0x000F, 0xF000},
         {0x8000, 0xF0F0}, {RGB(119, 119, 119), RGB(0, 255, 0)}},
        {"alpha bit fields after a 40-byte header", 40, 6, 32,
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, {0x40000000, 0xFFFFFFFF},
         {RGB(191, 191, 191), RGB(255, 255, 255)}},
        {"all alpha bits 0: the writer left them empty", 108, BI_BITFIELDS, 32,
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, {0x00102030, 0x00405060},
         {RGB(0x10, 0x20, 0x30), RGB(0x40, 0x50, 0x60)}},
        {"without bit fields the fourth byte is no alpha", 124, BI_RGB, 32,
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, {0x80102030, 0x00405060},
         {RGB(0x10, 0x20, 0x30), RGB(0x40, 0x50, 0x60)}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BmpSpec s;
        s.headerBytes = c.headerBytes;
        s.compression = c.compression;
        s.bits = c.bits;
        s.width = int(c.pixels.size());
        s.masks = c.masks;
        Bytes row;
        for (std::uint32_t p : c.pixels)
            PutLe(row, p, c.bits / 8);
        s.pixels = PaddedRows({row});
        DibGuard d(Decode(MakeBmp(s)));
        ExpectPixels(d.dib, s.width, 1, [&](int x, int) { return c.expected[std::size_t(x)]; });
    }
}

TEST_F(BmpDecoder, ThirtyTwoBitsIgnoreAlpha)
{
    BmpSpec s;
    s.bits = 32;
    s.width = 2;
    s.pixels = {0x10, 0x20, 0x30, 0x00, 0x40, 0x50, 0x60, 0x7F};
    DibGuard d(Decode(MakeBmp(s)));
    ExpectPixels(d.dib, 2, 1,
                 [](int x, int) { return x == 0 ? RGB(0x30, 0x20, 0x10) : RGB(0x60, 0x50, 0x40); });
}

TEST_F(BmpDecoder, Os2CoreHeaderWithColourTriples)
{
    BmpSpec s;
    s.headerBytes = 12;
    s.width = 3;
    s.height = 2;
    s.bits = 8;
    s.table = {TableColour(0), TableColour(1), TableColour(2)}; // the rest of 256 missing
    s.pixels = PaddedRows({{2, 1, 0}, {0, 1, 2}});              // bottom row first
    DibGuard d(Decode(MakeBmp(s)));
    ExpectPixels(d.dib, 3, 2, [](int x, int y) { return std::uint32_t(y == 0 ? x : 2 - x); });
    EXPECT_EQ(d->Info->bmiColors[2].rgbBlue, TableColour(2).rgbBlue);
    EXPECT_EQ(d->Info->bmiColors[2].rgbGreen, TableColour(2).rgbGreen);
    EXPECT_EQ(d->Info->bmiColors[2].rgbRed, TableColour(2).rgbRed);
    EXPECT_EQ(d->Info->bmiColors[3].rgbGreen, 0) << "beyond the file's table";

    BmpSpec t;
    t.headerBytes = 12;
    t.pixels = PaddedRows({Bgr(9, 8, 7)});
    DibGuard c(Decode(MakeBmp(t)));
    ExpectPixels(c.dib, 1, 1, [](int, int) { return RGB(9, 8, 7); });
}

TEST_F(BmpDecoder, Os2Version2HeadersLongAndShort)
{
    for (std::uint32_t headerBytes : {64u, 16u}) {
        SCOPED_TRACE(headerBytes);
        BmpSpec s;
        s.headerBytes = headerBytes;
        s.width = 4;
        s.bits = 4;
        for (int i = 0; i < 16; ++i)
            s.table.push_back(TableColour(i));
        s.pixels = PaddedRows({{0x12, 0xEF}});
        DibGuard d(Decode(MakeBmp(s)));
        const std::uint32_t expected[] = {1, 2, 14, 15};
        ExpectPixels(d.dib, 4, 1, [&](int x, int) { return expected[x]; });
        EXPECT_EQ(d->Info->bmiColors[15].rgbBlue, TableColour(15).rgbBlue);
    }
}

BmpSpec RleSpec(int width, int height, int bits, Bytes stream)
{
    BmpSpec s;
    s.width = width;
    s.height = height;
    s.bits = std::uint16_t(bits);
    s.compression = bits == 8 ? BI_RLE8 : BI_RLE4;
    for (int i = 0; i < (1 << bits); ++i)
        s.table.push_back(TableColour(i));
    s.pixels = std::move(stream);
    return s;
}

// Expected pictures are written top row first.
void ExpectRows(const TDibRecord& d, const std::vector<std::vector<int>>& rows)
{
    ExpectPixels(d, int(rows[0].size()), int(rows.size()),
                 [&](int x, int y) { return std::uint32_t(rows[y][x]); });
}

TEST_F(BmpDecoder, Rle8RunsLiteralsLineEndsAndJumps)
{
    const Bytes stream = {
        0x03, 0x05,                         // three 5s
        0x00, 0x03, 0x01, 0x02, 0x03, 0x00, // literal 1 2 3, padded to a word
        0x00, 0x00,                         // end of line
        0x02, 0x07,                         // two 7s
        0x00, 0x02, 0x01, 0x01,             // jump right 1, up 1
        0x02, 0x09,                         // two 9s
        0x00, 0x00,                         //
        0x00, 0x04, 0x0A, 0x0B, 0x0C, 0x0D, // literal of even length: no padding
        0x00, 0x01,                         // end of picture
        0x03, 0x0E,                         // after the end: ignored
    };
    DibGuard d(Decode(MakeBmp(RleSpec(6, 4, 8, stream))));
    EXPECT_EQ(DibBitCount(d.dib), 8);
    ExpectRows(d.dib, {
                          {10, 11, 12, 13, 0, 0},
                          {0, 0, 0, 9, 9, 0},
                          {7, 7, 0, 0, 0, 0},
                          {5, 5, 5, 1, 2, 3},
                      });
    EXPECT_EQ(d->Info->bmiColors[9].rgbBlue, TableColour(9).rgbBlue);
}

TEST_F(BmpDecoder, Rle4AlternatesNibblesAndClipsAtTheRightEdge)
{
    const Bytes stream = {
        0x05, 0x12,                         // 1 2 1 2 1
        0x00, 0x03, 0x34, 0x50,             // literal 3 4 5: the 5 falls past the edge
        0x00, 0x00,                         //
        0x00, 0x05, 0x67, 0x89, 0xA0, 0x00, // literal 6 7 8 9 10, padded
        0x02, 0xBC,                         // 11 12
        0x00, 0x01,
    };
    DibGuard d(Decode(MakeBmp(RleSpec(7, 2, 4, stream))));
    EXPECT_EQ(DibBitCount(d.dib), 4);
    ExpectRows(d.dib, {
                          {6, 7, 8, 9, 10, 11, 12},
                          {1, 2, 1, 2, 1, 3, 4},
                      });
}

TEST_F(BmpDecoder, RleRunsOffTheEdgesAreClippedNotWrapped)
{
    const Bytes stream = {
        0xFF, 0x03, // 255 pixels into a 4-pixel row
        0x00, 0x00, //
        0x01, 0x04, //
        0x00, 0xC8, // a literal of 200 from x = 1, far past the edge
    };
    Bytes full = stream;
    full.insert(full.end(), 200, 0x06);
    const Bytes tail = {0x00, 0x02, 0x00, 0x05, 0x05, 0x01}; // jump past the top, then a run
    full.insert(full.end(), tail.begin(), tail.end());
    DibGuard d(Decode(MakeBmp(RleSpec(4, 2, 8, full))));
    ExpectRows(d.dib, {
                          {4, 6, 6, 6},
                          {3, 3, 3, 3},
                      });
}

TEST_F(BmpDecoder, TruncatedRleKeepsWhatArrived)
{
    const Bytes stream = {0x03, 0x05, 0x00, 0x00, 0x02, 0x07, 0x00, 0x05, 0x01};
    DibGuard d(Decode(MakeBmp(RleSpec(4, 3, 8, stream))));
    ExpectRows(d.dib, {
                          {0, 0, 0, 0},
                          {7, 7, 0, 0},
                          {5, 5, 5, 0},
                      });
}

} // namespace
