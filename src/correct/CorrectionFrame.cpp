#include "correct/CorrectionFrame.h"

#include "gdi/Palette.h"

#include <bit>
#include <cstring>
#include <vector>

namespace {

// Below this many pixel bytes, building the pair tables costs more than
// they save.
constexpr std::int64_t kPairTableMinBytes = std::int64_t(1) << 21;

// The channel tables for two neighbouring bytes at once, indexed by the
// little-endian 16-bit word they form. A row's byte pairs start on blue,
// red and green in turn: B G | R B | G R | B G ... When all channels share
// one table, so do the pairs: a third of the memory, which stays in cache.
class PairTables {
public:
    explicit PairTables(const ChannelTables& t)
    {
        const bool shared =
            std::memcmp(t.red, t.green, 256) == 0 && std::memcmp(t.red, t.blue, 256) == 0;
        storage_.resize(shared ? 65536 : 3 * 65536);
        std::uint16_t* out = storage_.data();
        bg = Fill(out, t.blue, t.green);
        rb = shared ? bg : Fill(out + 65536, t.red, t.blue);
        gr = shared ? bg : Fill(out + 2 * 65536, t.green, t.red);
    }
    const std::uint16_t* bg;
    const std::uint16_t* rb;
    const std::uint16_t* gr;

private:
    static const std::uint16_t* Fill(std::uint16_t* out, const std::uint8_t* lo,
                                     const std::uint8_t* hi)
    {
        for (int i = 0; i < 65536; ++i)
            out[i] = std::uint16_t(lo[i & 0xFF] | hi[i >> 8] << 8);
        return out;
    }
    std::vector<std::uint16_t> storage_;
};

// Four pixels (twelve bytes, six pairs) per step; the rest byte by byte.
void MapRowByPairs(const PairTables& pairs, const ChannelTables& t, std::uint8_t* p, int width)
{
    static_assert(std::endian::native == std::endian::little);
    const std::uint16_t *bg = pairs.bg, *rb = pairs.rb, *gr = pairs.gr;
    std::uint8_t* const end = p + std::ptrdiff_t(3) * width;
    for (; end - p >= 12; p += 12) {
        std::uint64_t a;
        std::uint32_t b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, 4);
        a = std::uint64_t(bg[a & 0xFFFF]) | std::uint64_t(rb[(a >> 16) & 0xFFFF]) << 16 |
            std::uint64_t(gr[(a >> 32) & 0xFFFF]) << 32 | std::uint64_t(bg[a >> 48]) << 48;
        b = std::uint32_t(rb[b & 0xFFFF]) | std::uint32_t(gr[b >> 16]) << 16;
        std::memcpy(p, &a, 8);
        std::memcpy(p + 8, &b, 4);
    }
    for (; p != end; p += 3)
        t(p[2], p[1], p[0]);
}

} // namespace

int CorrectedPaletteEntries(const TDibRecord& Dib, OneBit oneBit)
{
    if (!Dib.Bits)
        return 0;
    switch (DibBitCount(Dib)) {
    case 1:
        return oneBit == OneBit::Treated ? 2 : 0;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

void StorePaletteColour(TDibRecord& Dib, int i, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    PALETTEENTRY& e = Dib.Palette.palPalEntry[i];
    e.peRed = r;
    e.peGreen = g;
    e.peBlue = b;
    RGBQUAD& q = Dib.Info->bmiColors[i];
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
}

void RenewPaletteHandle(TDibRecord& Dib)
{
    DeleteObject(Dib.PaletteHandle);
    Dib.PaletteHandle = CreatePalette(&Dib.Palette);
}

void CorrectPixels(TDibRecord& Dib, const ChannelTables& tables, ProgressSink& progress)
{
    if (std::int64_t(DibWidth(Dib)) * DibHeight(Dib) * 3 < kPairTableMinBytes) {
        CorrectPixels<ChannelTables>(Dib, tables, progress);
        return;
    }
    const PairTables pairs(tables);
    ForEachRowFromTop(Dib, progress,
                      [&](std::uint8_t* row, int w) { MapRowByPairs(pairs, tables, row, w); });
}
