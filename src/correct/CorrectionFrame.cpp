#include "correct/CorrectionFrame.h"

#include "base/Palette.h"

#include <bit>
#include <cstring>
#include <vector>

namespace {

// Below this many pixel bytes, building the pair table costs more than it
// saves.
constexpr std::int64_t kPairTableMinBytes = std::int64_t(1) << 21;

// The channel table for two neighbouring bytes at once, indexed by the
// little-endian 16-bit word they form; 128 KB, which stays in cache.
class PairTable {
public:
    explicit PairTable(const ChannelTable& t) : pair_(65536)
    {
        for (int i = 0; i < 65536; ++i)
            pair_[std::size_t(i)] = std::uint16_t(t.value[i & 0xFF] | t.value[i >> 8] << 8);
    }
    std::uint16_t operator[](std::uint64_t word) const { return pair_[std::size_t(word)]; }

private:
    std::vector<std::uint16_t> pair_;
};

// With one table for all channels a row is a flat byte array: sixteen bytes
// (eight pairs) per step, the rest byte by byte.
void MapRowByPairs(const PairTable& pair, const ChannelTable& t, std::uint8_t* p, int width)
{
    static_assert(std::endian::native == std::endian::little);
    const auto map = [&](std::uint64_t a) {
        return std::uint64_t(pair[a & 0xFFFF]) | std::uint64_t(pair[(a >> 16) & 0xFFFF]) << 16 |
               std::uint64_t(pair[(a >> 32) & 0xFFFF]) << 32 | std::uint64_t(pair[a >> 48]) << 48;
    };
    std::uint8_t* const end = p + std::ptrdiff_t(3) * width;
    for (; end - p >= 16; p += 16) {
        std::uint64_t a, b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, 8);
        a = map(a);
        b = map(b);
        std::memcpy(p, &a, 8);
        std::memcpy(p + 8, &b, 8);
    }
    for (; p != end; ++p)
        *p = t.value[*p];
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

void CorrectPixels(TDibRecord& Dib, const ChannelTable& table, ProgressSink& progress)
{
    if (std::int64_t(DibWidth(Dib)) * DibHeight(Dib) * 3 < kPairTableMinBytes) {
        CorrectPixels<ChannelTable>(Dib, table, progress);
        return;
    }
    const PairTable pair(table);
    ForEachRowFromTop(Dib, progress,
                      [&](std::uint8_t* row, int w) { MapRowByPairs(pair, table, row, w); });
}
