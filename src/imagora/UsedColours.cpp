#include "imagora/UsedColours.h"

#include "imagora/Imagora.h"
#include "imagora/RowBands.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <set>

namespace {

// 1 bit: a row uses index 0 where its bits are not all ones, index 1 where
// they are not all zeros; the spare bits of the last byte do not count.
void OneBitRow(const std::uint8_t* row, int width, bool& zero, bool& one)
{
    const std::size_t whole = std::size_t(width) / 8;
    std::uint64_t all = ~std::uint64_t(0), any = 0;
    std::size_t i = 0;
    for (; whole - i >= 8; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, row + i, 8);
        all &= w;
        any |= w;
    }
    for (; i < whole; ++i) {
        all &= row[i] | ~std::uint64_t(0xFF);
        any |= row[i];
    }
    if (const int spare = width % 8) {
        const unsigned mask = 0xFFu << (8 - spare) & 0xFF;
        all &= (row[whole] | ~mask) | ~std::uint64_t(0xFF);
        any |= row[whole] & mask;
    }
    zero = zero || all != ~std::uint64_t(0);
    one = one || any != 0;
}

} // namespace

std::array<bool, 256> UsedPaletteIndices(const TDibRecord& dib)
{
    std::array<bool, 256> used{};
    const int bits = DibBitCount(dib), width = DibWidth(dib), height = DibHeight(dib);
    if (!dib.Bits || (bits != 1 && bits != 4 && bits != 8))
        return used;
    // Each band notes the byte values it meets; the indices follow from them.
    // An odd width leaves a 4-bit row's last byte with one pixel, its high
    // nibble.
    const int whole = bits == 8 ? width : width / 2;
    const bool halfByte = bits == 4 && width % 2 != 0;
    std::array<std::atomic<bool>, 256> seen{};
    std::array<std::atomic<bool>, 16> last{};
    std::atomic<bool> zero{false}, one{false};
    ForEachRowBand(height, std::size_t(dib.LineBytes), nullptr, [&](int first, int end) {
        if (bits == 1) {
            bool z = false, o = false;
            for (int y = first; y < end && !(z && o); ++y)
                OneBitRow(DibRowFromTop(dib, y), width, z, o);
            zero = zero || z;
            one = one || o;
            return;
        }
        bool local[256] = {}, localLast[16] = {};
        for (int y = first; y < end; ++y) {
            const std::uint8_t* row = DibRowFromTop(dib, y);
            for (int i = 0; i < whole; ++i)
                local[row[i]] = true;
            if (halfByte)
                localLast[row[whole] >> 4] = true;
        }
        for (int v = 0; v < 256; ++v)
            if (local[v])
                seen[std::size_t(v)] = true;
        for (int v = 0; v < 16; ++v)
            if (localLast[v])
                last[std::size_t(v)] = true;
    });
    if (bits == 1) {
        used[0] = zero;
        used[1] = one;
        return used;
    }
    for (int v = 0; v < 256; ++v) {
        if (!seen[std::size_t(v)])
            continue;
        if (bits == 8) {
            used[std::size_t(v)] = true;
        } else {
            used[std::size_t(v >> 4)] = true;
            used[std::size_t(v & 15)] = true;
        }
    }
    for (int v = 0; v < 16; ++v)
        used[std::size_t(v)] = used[std::size_t(v)] || last[std::size_t(v)];
    return used;
}

int ColoursInUse(const TDibRecord& dib)
{
    const std::array<bool, 256> used = UsedPaletteIndices(dib);
    std::set<std::uint32_t> colours;
    for (int i = 0; i < std::min(DibColorCount(dib), 256); ++i) {
        const RGBQUAD& q = dib.Info->bmiColors[i];
        if (used[std::size_t(i)])
            colours.insert(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    }
    return int(colours.size());
}
