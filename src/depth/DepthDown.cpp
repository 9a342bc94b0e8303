#include "depth/DepthDown.h"

#include "depth/DepthTables.h"
#include "depth/DitherFS.h"
#include "depth/NearestColour.h"
#include "depth/OptimizedPalette.h"
#include "depth/PixelRows.h"
#include "imagora/DibPalette.h"
#include "imagora/Imagora.h"
#include "imagora/RowBands.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

TDibRecord NewReduced(const TDibRecord& WorkDib, int bits)
{
    TDibRecord New;
    newdib(&New, DibWidth(WorkDib), DibHeight(WorkDib), bits, nullptr, 0);
    return New;
}

// Entries first .. first + count - 1 of both tables := colours.
void StoreColours(TDibRecord& New, int first, const RgbTriple* colours, int count)
{
    for (int i = 0; i < count; ++i)
        StorePaletteColour(New, first + i, colours[i].Red, colours[i].Green, colours[i].Blue);
}

// --- 1 bit: a pixel is light (index 1) or dark (index 0)

// Eight pixels to a byte, the leftmost in the high bit.
template <typename Light>
void ThresholdRow(const std::uint8_t* s, std::uint8_t* d, int w, Light light)
{
    int x = 0;
    for (; w - x >= 8; x += 8) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            byte |= unsigned(light(s, x + k)) << (7 - k);
        d[x >> 3] = std::uint8_t(byte);
    }
    if (x < w) {
        unsigned byte = 0;
        for (int k = 0; x + k < w; ++k)
            byte |= unsigned(light(s, x + k)) << (7 - k);
        d[x >> 3] = std::uint8_t(byte);
    }
}

template <typename Light>
void ThresholdRows(const TDibRecord& WorkDib, TDibRecord& New, Light light, ProgressSink& progress)
{
    const int w = DibWidth(WorkDib), h = DibHeight(WorkDib);
    ForEachRowBand(h, std::size_t(WorkDib.LineBytes), &progress, [&](int first, int last) {
        for (int y = first; y < last; ++y)
            ThresholdRow(DibRowFromTop(WorkDib, y), DibRowFromTop(New, y), w, light);
    });
}

void Threshold(const TDibRecord& WorkDib, TDibRecord& New, ProgressSink& progress)
{
    if (DibBitCount(WorkDib) == 24) {
        // The average of the three bytes, div 3, reaches 128 just where their
        // sum reaches 384.
        ThresholdRows(
            WorkDib, New,
            [](const std::uint8_t* row, int x) {
                const std::uint8_t* p = row + 3 * x;
                return p[0] + p[1] + p[2] >= 3 * 128;
            },
            progress);
        return;
    }
    bool light[256];
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = WorkDib.Palette.palPalEntry[i];
        light[i] = (30 * e.peRed + 59 * e.peGreen + 11 * e.peBlue) / 100 >= 128;
    }
    if (DibBitCount(WorkDib) == 8)
        ThresholdRows(
            WorkDib, New, [&](const std::uint8_t* row, int x) { return light[row[x]]; }, progress);
    else
        ThresholdRows(
            WorkDib, New,
            [&](const std::uint8_t* row, int x) { return light[RowIndex(row, 4, x)]; }, progress);
}

// --- 4 and 8 bits

// Every pixel the index of its nearest palette colour.
void MapToNearest(const TDibRecord& WorkDib, TDibRecord& New, ProgressSink& progress)
{
    const int w = DibWidth(WorkDib), h = DibHeight(WorkDib);
    // The look-up fills its cells as it goes: one for each thread.
    std::vector<std::optional<NearestColour>> nearest(static_cast<std::size_t>(RowBandThreads()));
    WithIndexBits(DibBitCount(New), [&](auto bits) {
        WithPixelSource(WorkDib, [&](auto pixels) {
            ForEachRowBand(h, std::size_t(WorkDib.LineBytes), &progress, [&](int first, int last) {
                std::optional<NearestColour>& own = nearest[std::size_t(RowBandThread())];
                if (!own)
                    own.emplace(New.PaletteHandle);
                auto source = pixels;
                for (int y = first; y < last; ++y) {
                    source.Row(y);
                    std::uint8_t* d = DibRowFromTop(New, y);
                    for (int x = 0; x < w; ++x) {
                        int r, g, b;
                        source.Colour(x, r, g, b);
                        PutIndex<bits>(d, x, (*own)(r, g, b));
                    }
                }
            });
        });
    });
}

// Ordered dithering of a 24-bit picture onto the cube of StdPal256. The
// matrix is indexed by stored rows, the bottom row being row 0.
void OrderedDither(const TDibRecord& WorkDib, TDibRecord& New, ProgressSink& progress)
{
    const int w = DibWidth(WorkDib), h = DibHeight(WorkDib);
    ForEachRowBand(h, std::size_t(WorkDib.LineBytes), &progress, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint8_t* s = WorkDib.Bits + std::ptrdiff_t(y) * WorkDib.LineBytes;
            std::uint8_t* d = New.Bits + std::ptrdiff_t(y) * New.LineBytes;
            for (int x = 0; x < w; ++x, s += 3) {
                const int t = DitherMatrix8[x & 7][y & 7];
                const int b = Div51[s[0]] + (t < Mod51[s[0]]);
                const int g = Div51[s[1]] + (t < Mod51[s[1]]);
                const int r = Div51[s[2]] + (t < Mod51[s[2]]);
                d[x] = CubeToPalette[r + Mul6[g] + Mul36[b]];
            }
        }
    });
}

void MapPixels(const TDibRecord& WorkDib, TDibRecord& New, DepthMethod method,
               ProgressSink& progress)
{
    if (method == DepthMethod::FloydSteinberg)
        DitherFS(WorkDib, New, progress);
    else if (method == DepthMethod::Ordered && DibBitCount(New) == 8)
        OrderedDither(WorkDib, New, progress);
    else
        MapToNearest(WorkDib, New, progress);
}

// The colour table of a 4- or 8-bit reduction.
void BuildTable(const TDibRecord& WorkDib, TDibRecord& New, const DepthDownChoice& c,
                ProgressSink& progress)
{
    RgbTriple colours[256];
    if (DibBitCount(New) == 4) {
        if (c.Optimized)
            OptimizedPalette(WorkDib, 16, 5, colours, progress);
        else
            std::copy(StdPal16.begin(), StdPal16.end(), colours);
        StoreColours(New, 0, colours, 16);
    } else if (!c.Optimized || c.Method == DepthMethod::Ordered) {
        StoreColours(New, 0, StdPal256.data(), 256);
    } else if (c.WindowsColours) {
        constexpr int ends = kWindowsColoursAtEachEnd, optimized = 256 - 2 * ends;
        StoreColours(New, 0, StdPal256.data(), ends);
        StoreColours(New, 256 - ends, StdPal256.data() + 256 - ends, ends);
        OptimizedPalette(WorkDib, optimized, 4, colours, progress);
        StoreColours(New, ends, colours, optimized);
    } else {
        OptimizedPalette(WorkDib, 256, 4, colours, progress);
        StoreColours(New, 0, colours, 256);
    }
    RenewPaletteHandle(New);
}

} // namespace

bool DepthDownConverts(int T, int D)
{
    switch (T) {
    case 1:
        return D == 24 || D == 8 || D == 4;
    case 4:
        return D == 24 || D == 8;
    case 8:
        return D == 24;
    default:
        return false;
    }
}

void DepthDownTable(const TDibRecord& WorkDib, TDibRecord& New, const DepthDownChoice& choice,
                    ProgressSink& progress)
{
    // newdib's 1-bit table is the one wanted: entry 0 black, entry 1 white
    if (DibBitCount(New) != 1)
        BuildTable(WorkDib, New, choice, progress);
}

void DepthDownPixels(const TDibRecord& Source, TDibRecord& New, const DepthDownChoice& choice,
                     ProgressSink& progress)
{
    if (DibBitCount(New) != 1)
        MapPixels(Source, New, choice.Method, progress);
    else if (choice.Method == DepthMethod::Nearest)
        Threshold(Source, New, progress);
    else
        DitherFS(Source, New, progress);
}

TDibRecord DepthDownTo(const TDibRecord& WorkDib, int T, const DepthDownChoice& choice,
                       ProgressSink& progress)
{
    progress.SetProStatus(0);
    TDibRecord New;
    if (WorkDib.Bits && DepthDownConverts(T, DibBitCount(WorkDib))) {
        New = NewReduced(WorkDib, T);
        if (New.LibData1 != 0) {
            DepthDownTable(WorkDib, New, choice, progress);
            DepthDownPixels(WorkDib, New, choice, progress);
        }
    }
    progress.SetProStatus(0);
    return New;
}
