#include "depth/DitherFS.h"

#include "depth/NearestColour.h"
#include "depth/PixelRows.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// The error still to be spread onto one pixel, times 16. A cell collects at
// most 16 x 255 in magnitude, which 16 bits hold.
struct ErrorCell {
    std::int16_t b, g, r;
};

inline std::int16_t Add(std::int16_t cell, int error)
{
    return std::int16_t(cell + error);
}

inline int Corrected(int component, int cell)
{
    return std::clamp(component + (cell + 8) / 16, 0, 255);
}

// One thread, unlike the other passes: every row runs the other way from the
// row above and so starts where that one ended, at the pixel whose errors
// it needs last; no row can begin before the row above is done.
template <int Bits, typename Source>
void Diffuse(Source source, const TDibRecord& N, ProgressSink& progress)
{
    const int w = DibWidth(N), h = DibHeight(N);
    // Two rows of error cells, each with an outer cell at both ends for the
    // shares that fall outside the picture. A row is read from cell 1 upwards
    // while the row below is written from cell w downwards, so the next row,
    // running the other way, reads each pixel's share where it was laid down.
    std::vector<ErrorCell> first(std::size_t(w) + 2, ErrorCell{}), second(std::size_t(w) + 2);
    NearestColour nearest(N.PaletteHandle);
    bool leftToRight = true;
    for (int y = 0; y < h; ++y) {
        progress.SetProStatus(StepPercent(y, h));
        const ErrorCell* R = (leftToRight ? first : second).data() + 1;
        ErrorCell* P = (leftToRight ? second : first).data() + w;
        int x = leftToRight ? 0 : w - 1;
        const int dx = leftToRight ? 1 : -1;
        leftToRight = !leftToRight;
        *P = ErrorCell{};
        source.Row(y);
        std::uint8_t* row = DibRowFromTop(N, y);
        // The read cell of the next pixel, with this pixel's 7/16 added,
        // travels in registers: nothing reads a read row's cells afterwards.
        int cr = R->r, cg = R->g, cb = R->b;
        for (int k = 0; k < w; ++k, x += dx, ++R, --P) {
            int r, g, b;
            source.Colour(x, r, g, b);
            r = Corrected(r, cr);
            g = Corrected(g, cg);
            b = Corrected(b, cb);
            // the entry's colour is that of N's Palette, the table it was made from
            const NearestColour::Entry& e = nearest.Find(r, g, b);
            PutIndex<Bits>(row, x, e.index);
            const int er = r - e.r, eg = g - e.g, eb = b - e.b;
            cr = R[1].r + 7 * er;
            cg = R[1].g + 7 * eg;
            cb = R[1].b + 7 * eb;
            P[-1] = ErrorCell{std::int16_t(eb), std::int16_t(eg), std::int16_t(er)};
            P[1] = ErrorCell{Add(P[1].b, 3 * eb), Add(P[1].g, 3 * eg), Add(P[1].r, 3 * er)};
            P[0] = ErrorCell{Add(P[0].b, 5 * eb), Add(P[0].g, 5 * eg), Add(P[0].r, 5 * er)};
        }
    }
}

} // namespace

void DitherFS(const TDibRecord& S, TDibRecord& N, ProgressSink& progress)
{
    if (!N.Bits || !S.Bits)
        return;
    const int target = DibBitCount(N);
    if ((target != 1 && target != 4 && target != 8) || DibWidth(S) != DibWidth(N) ||
        DibHeight(S) != DibHeight(N))
        return;
    progress.SetProStatus(0);
    WithIndexBits(target, [&](auto bits) {
        WithPixelSource(S, [&](auto source) { Diffuse<bits>(source, N, progress); });
    });
    progress.SetProStatus(0);
}
