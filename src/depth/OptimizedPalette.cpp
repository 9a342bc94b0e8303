#include "depth/OptimizedPalette.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr int kBins = 32768; // one per 15-bit colour number r << 10 | g << 5 | b
constexpr std::uint16_t kFullCount = 65535;

// One bin's count goes up; a full bin first halves the whole histogram, so
// that the relative frequencies survive in 16 bits.
inline void CountPixel(std::uint16_t* counts, unsigned n)
{
    if (counts[n] == kFullCount)
        for (int k = 0; k < kBins; ++k)
            counts[k] = std::uint16_t(counts[k] >> 1);
    ++counts[n];
}

} // namespace

void SortCounts(std::uint16_t* counts, std::uint16_t* bins, int L, int R)
{
    // The two parts of a pass never overlap, so the order they are sorted in
    // changes nothing; taking the smaller one first bounds the recursion.
    while (L < R) {
        int i = L, j = R;
        const std::uint16_t p = counts[(L + R) / 2];
        do {
            while (counts[i] < p)
                ++i;
            while (counts[j] > p)
                --j;
            if (i <= j) {
                std::swap(counts[i], counts[j]);
                std::swap(bins[i], bins[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - L < R - i) {
            if (L < j)
                SortCounts(counts, bins, L, j);
            L = i;
        } else {
            if (i < R)
                SortCounts(counts, bins, i, R);
            R = j;
        }
    }
}

void OptimizedPalette(const TDibRecord& Dib, int Count, int Shift, RgbTriple* triples,
                      ProgressSink& progress)
{
    progress.SetProStatus(0);
    Count = std::clamp(Count, 0, 256);
    Shift = std::clamp(Shift, 3, 7);
    std::vector<std::uint16_t> counts(kBins + 1, 0), bins(kBins + 1);
    for (int k = 0; k < kBins; ++k)
        bins[std::size_t(k)] = std::uint16_t(k);

    // The bin number of each channel value, in its place.
    unsigned red[256], green[256], blue[256];
    for (unsigned v = 0; v < 256; ++v) {
        red[v] = (v >> Shift) << 10;
        green[v] = (v >> Shift) << 5;
        blue[v] = v >> Shift;
    }
    const int bits = Dib.Bits ? DibBitCount(Dib) : 0;
    const int w = DibWidth(Dib), h = DibHeight(Dib);
    if (bits == 8 || bits == 24) {
        unsigned entryBin[256];
        for (int i = 0; i < 256; ++i) {
            const PALETTEENTRY& e = Dib.Palette.palPalEntry[i];
            entryBin[i] = red[e.peRed] | green[e.peGreen] | blue[e.peBlue];
        }
        for (int y = 0; y < h; ++y) {
            progress.SetProStatus(StepPercent(y, h));
            const std::uint8_t* p = Dib.Bits + std::ptrdiff_t(y) * Dib.LineBytes;
            if (bits == 8)
                for (int x = 0; x < w; ++x)
                    CountPixel(counts.data(), entryBin[p[x]]);
            else
                for (const std::uint8_t* end = p + std::ptrdiff_t(3) * w; p != end; p += 3)
                    CountPixel(counts.data(), red[p[2]] | green[p[1]] | blue[p[0]]);
        }
    }

    SortCounts(counts.data(), bins.data(), 0, kBins - 1);
    for (int k = 0; k < Count; ++k) {
        const unsigned n = bins[std::size_t(kBins - 1 - k)];
        triples[k] =
            RgbTriple{std::uint8_t((n >> 10) << Shift), std::uint8_t(((n >> 5) & 31) << Shift),
                      std::uint8_t((n & 31) << Shift)};
    }
    progress.SetProStatus(0);
}
