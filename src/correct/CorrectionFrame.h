// The loop that every colour correction shares: a palette picture gets its
// colour table rewritten and its palette object renewed, a 24-bit picture
// gets every pixel rewritten, rows from the top of the picture. The
// operators differ only in the colour rule they hand in.
#pragma once

#include "app/ProgressSink.h"
#include "imagora/DibRecord.h"

#include <cstddef>
#include <cstdint>

// A rule changes one colour in place: void(uint8_t& r, uint8_t& g, uint8_t& b).

// A rule that maps every channel on its own, tabulated once per call so
// that the pixel loop is three lookups.
struct ChannelTables {
    std::uint8_t red[256];
    std::uint8_t green[256];
    std::uint8_t blue[256];

    void operator()(std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) const
    {
        r = red[r];
        g = green[g];
        b = blue[b];
    }
};

// Tables of f(v) for v = 0..255, one function per channel or one for all.
template <typename R, typename G, typename B> ChannelTables TabulateChannels(R red, G green, B blue)
{
    ChannelTables t;
    for (int v = 0; v < 256; ++v) {
        t.red[v] = std::uint8_t(red(v));
        t.green[v] = std::uint8_t(green(v));
        t.blue[v] = std::uint8_t(blue(v));
    }
    return t;
}

template <typename F> ChannelTables TabulateChannels(F all)
{
    return TabulateChannels(all, all, all);
}

constexpr int ClampChannel(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Whether 1-bit pictures are corrected along with 4 and 8 bits.
enum class OneBit { Treated, Unchanged };

// The number of colour-table entries to correct: 2^bits for the treated
// palette depths, 0 for everything else (24 bits included).
int CorrectedPaletteEntries(const TDibRecord& Dib, OneBit oneBit);

// Writes entry i of Palette and of the colour table behind Info.
void StorePaletteColour(TDibRecord& Dib, int i, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// DeleteObject of the old palette object, then a new one from Palette.
void RenewPaletteHandle(TDibRecord& Dib);

// Calls row(first byte, width) for every row of a 24-bit picture, from the
// top of the picture, reporting progress before each.
template <typename Row>
void ForEachRowFromTop(TDibRecord& Dib, ProgressSink& progress, const Row& row)
{
    const int w = DibWidth(Dib), h = DibHeight(Dib);
    if (w <= 0)
        return;
    for (int d = 0; d < h; ++d) {
        progress.SetProStatus(StepPercent(d, h));
        row(Dib.Bits + std::ptrdiff_t(Dib.LineBytes) * (h - 1 - d), w);
    }
}

template <typename Rule>
void CorrectPixels(TDibRecord& Dib, const Rule& rule, ProgressSink& progress)
{
    ForEachRowFromTop(Dib, progress, [&](std::uint8_t* p, int w) {
        // Through locals: a rule writing a channel byte must not make the
        // compiler reload the others (bytes may alias anything).
        for (std::uint8_t* end = p + std::ptrdiff_t(3) * w; p != end; p += 3) {
            std::uint8_t r = p[2], g = p[1], b = p[0]; // stored blue, green, red
            rule(r, g, b);
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    });
}

// Tabulated rules; large pictures go through tables of byte pairs, which
// halve the lookups.
void CorrectPixels(TDibRecord& Dib, const ChannelTables& tables, ProgressSink& progress);

template <typename PaletteRule, typename PixelRule>
void CorrectColours(TDibRecord& Dib, OneBit oneBit, const PaletteRule& paletteRule,
                    const PixelRule& pixelRule, ProgressSink& progress)
{
    progress.SetProStatus(0);
    if (const int n = CorrectedPaletteEntries(Dib, oneBit); n > 0) {
        for (int i = 0; i < n; ++i) {
            progress.SetProStatus(StepPercent(i, n));
            const PALETTEENTRY& e = Dib.Palette.palPalEntry[i];
            std::uint8_t r = e.peRed, g = e.peGreen, b = e.peBlue;
            paletteRule(r, g, b);
            StorePaletteColour(Dib, i, r, g, b);
        }
        RenewPaletteHandle(Dib);
    } else if (Dib.Bits && DibBitCount(Dib) == 24) {
        CorrectPixels(Dib, pixelRule, progress);
    }
    progress.SetProStatus(0);
}

// The same rule on both paths.
template <typename Rule>
void CorrectColours(TDibRecord& Dib, OneBit oneBit, const Rule& rule, ProgressSink& progress)
{
    CorrectColours(Dib, oneBit, rule, rule, progress);
}
