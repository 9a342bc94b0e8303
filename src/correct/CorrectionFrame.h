// The loop that every colour correction shares: a palette picture gets its
// colour table rewritten and its palette object renewed, a 24-bit picture
// gets every pixel rewritten, rows from the top of the picture. The
// operators differ only in the colour rule they hand in.
#pragma once

#include "imagora/DibPalette.h"
#include "imagora/DibRecord.h"
#include "imagora/RowBands.h"
#include "base/ProgressSink.h"

#include <cstddef>
#include <cstdint>

// A rule changes one colour in place: void(uint8_t& r, uint8_t& g, uint8_t& b).

// A rule that maps every channel through one table, built once per call so
// that the pixel loop is lookups only.
struct ChannelTable {
    std::uint8_t value[256];

    void operator()(std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) const
    {
        r = value[r];
        g = value[g];
        b = value[b];
    }
};

// The table of f(v) for v = 0..255.
template <typename F> ChannelTable Tabulate(F f)
{
    ChannelTable t;
    for (int v = 0; v < 256; ++v)
        t.value[v] = std::uint8_t(f(v));
    return t;
}

// A rule of plain integer arithmetic, the same on every channel up to one
// argument per channel (within 16 bits): rule(v, argument) gives the new
// value, 0..255. The pixel pass runs over whole rows as byte arrays, which
// the compiler turns into vector code; a rule narrows its intermediate values
// to 16 bits (std::int16_t or std::uint16_t casts where every value fits) so
// that a vector holds 8 channels, not 4.
template <typename F> struct ChannelArithmetic {
    F rule;
    int red, green, blue;

    void operator()(std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) const
    {
        r = std::uint8_t(rule(r, red));
        g = std::uint8_t(rule(g, green));
        b = std::uint8_t(rule(b, blue));
    }
};

template <typename F> ChannelArithmetic<F> OnEveryChannel(F rule, int argument)
{
    return {rule, argument, argument, argument};
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

// Calls row(first byte, width) for every row of a 24-bit picture, in bands
// on all cores; progress hears of the rows from the top of the picture, as
// before each row of a plain loop.
template <typename Row>
void ForEachRowFromTop(TDibRecord& Dib, ProgressSink& progress, const Row& row)
{
    const int w = DibWidth(Dib), h = DibHeight(Dib);
    if (w <= 0)
        return;
    ForEachRowBand(h, std::size_t(Dib.LineBytes), &progress, [&](int first, int last) {
        for (int d = first; d < last; ++d)
            row(Dib.Bits + std::ptrdiff_t(Dib.LineBytes) * (h - 1 - d), w);
    });
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

// Tabulated rules; large pictures go through a table of byte pairs, which
// halves the lookups.
void CorrectPixels(TDibRecord& Dib, const ChannelTable& table, ProgressSink& progress);

template <typename F>
void CorrectPixels(TDibRecord& Dib, const ChannelArithmetic<F>& c, ProgressSink& progress)
{
    // Blocks of 16 pixels, 48 bytes in stored order blue, green, red: a
    // multiple of the vector width, so the inner loop has a fixed count and
    // no remainder, which is what the compiler's cheap vectoriser at -O2
    // asks for. A row's last bytes start a block of their own.
    constexpr int kBlock = 48;
    std::int16_t argument[kBlock];
    for (int j = 0; j < kBlock; j += 3) {
        argument[j] = std::int16_t(c.blue);
        argument[j + 1] = std::int16_t(c.green);
        argument[j + 2] = std::int16_t(c.red);
    }
    ForEachRowFromTop(Dib, progress, [&](std::uint8_t* p, int w) {
        std::uint8_t* const end = p + std::ptrdiff_t(3) * w;
        for (; end - p >= kBlock; p += kBlock)
            for (int j = 0; j < kBlock; ++j)
                p[j] = std::uint8_t(c.rule(p[j], argument[j]));
        for (int j = 0; p != end; ++p, ++j)
            *p = std::uint8_t(c.rule(*p, argument[j]));
    });
}

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
