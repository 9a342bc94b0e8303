#include "depth/DepthUp.h"

#include "depth/PixelRows.h"
#include "imagora/DibPalette.h"
#include "imagora/Imagora.h"
#include "imagora/RowBands.h"

#include <random>

namespace {

bool Raised(int from, int to)
{
    return (from == 4 && to == 8) || (from == 1 && (to == 4 || to == 8 || to == 24)) ||
           (from == 8 && to == 24) || (from == 4 && to == 24);
}

// The generator is the standard's own, so a seed gives the same colours on
// every machine.
std::uint8_t RandomLevel(std::minstd_rand& random)
{
    return std::uint8_t((random() % 256) & ~3);
}

void StoreRandomColours(TDibRecord& New, int first, int last, std::uint32_t seed)
{
    std::minstd_rand random(seed);
    for (int i = first; i <= last; ++i) {
        const std::uint8_t r = RandomLevel(random);
        const std::uint8_t g = RandomLevel(random);
        const std::uint8_t b = RandomLevel(random);
        StorePaletteColour(New, i, r, g, b);
    }
}

// The colour table of the raised picture; 24 bits have none.
void BuildTable(const TDibRecord& WorkDib, TDibRecord& New, int from, int to, std::uint32_t seed)
{
    if (to == 24)
        return;
    const int white = (1 << to) - 1;
    if (from == 4) {
        for (int i = 0; i < 16; ++i) {
            const PALETTEENTRY& e = WorkDib.Palette.palPalEntry[i];
            StorePaletteColour(New, i, e.peRed, e.peGreen, e.peBlue);
        }
        StoreRandomColours(New, 16, white, seed);
    } else {
        StorePaletteColour(New, 0, 0, 0, 0);
        StoreRandomColours(New, 1, white - 1, seed);
        StorePaletteColour(New, white, 255, 255, 255);
    }
    RenewPaletteHandle(New);
}

void ConvertPixels(const TDibRecord& WorkDib, TDibRecord& New, int from, int to,
                   ProgressSink& progress)
{
    const int w = DibWidth(WorkDib), h = DibHeight(WorkDib);
    // A 1-bit pixel is black or the target's white, whatever its colour.
    const std::uint32_t white = to == 24 ? 0xFFFFFFu : std::uint32_t((1 << to) - 1);
    ForEachRowBand(h, std::size_t(New.LineBytes), &progress, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint8_t* s = WorkDib.Bits + std::ptrdiff_t(y) * WorkDib.LineBytes;
            std::uint8_t* d = New.Bits + std::ptrdiff_t(y) * New.LineBytes;
            for (int x = 0; x < w; ++x) {
                if (from == 1) {
                    setpixel(New, x, y, getpixel(WorkDib, x, y) == 0 ? 0 : white);
                    continue;
                }
                const int index = RowIndex(s, from, x);
                if (to == 8) {
                    d[x] = std::uint8_t(index);
                    continue;
                }
                const PALETTEENTRY& e = WorkDib.Palette.palPalEntry[index];
                d[3 * x] = e.peBlue;
                d[3 * x + 1] = e.peGreen;
                d[3 * x + 2] = e.peRed;
            }
        }
    });
}

} // namespace

TDibRecord DepthUpTo(const TDibRecord& WorkDib, int target, std::uint32_t seed,
                     ProgressSink& progress)
{
    progress.SetProStatus(0);
    const int from = DibBitCount(WorkDib);
    TDibRecord New;
    if (WorkDib.Bits && Raised(from, target)) {
        newdib(&New, DibWidth(WorkDib), DibHeight(WorkDib), target, nullptr, 0);
        if (New.LibData1 != 0) {
            BuildTable(WorkDib, New, from, target, seed);
            ConvertPixels(WorkDib, New, from, target, progress);
        }
    }
    progress.SetProStatus(0);
    return New;
}
