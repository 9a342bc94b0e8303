#include "geometry/Rotate.h"

#include "geometry/Rounding.h"
#include "imagora/Imagora.h"
#include "imagora/Orientation.h"
#include "imagora/RowBands.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void RotLeft(const TDibRecord& Src, TDibRecord& Result, ProgressSink& progress)
{
    OrientDib(Src, kOrientTurnAnticlockwise, Result, progress);
}

void RotRight(const TDibRecord& Src, TDibRecord& Result, ProgressSink& progress)
{
    OrientDib(Src, kOrientTurnClockwise, Result, progress);
}

void Rot180(const TDibRecord& Src, TDibRecord& Result, ProgressSink& progress)
{
    OrientDib(Src, kOrientHalfTurn, Result, progress);
}

void Rot180InPlace(TDibRecord& dib, ProgressSink& progress)
{
    OrientDibInPlace(dib, kOrientHalfTurn, progress);
}

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Round half to even of a sampling position. The library call costs more
// than the rest of a pixel, so the processor's own conversion is used, which
// rounds the same way in the default rounding mode.
inline int RoundPosition(double v)
{
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(v));
#else
    return Round(v);
#endif
}

struct Turn {
    long double s, c;
};

constexpr int kTileRows = 64;
constexpr int kTileColumns = 64;

// The new size: the corners taken relative to the centre pixel (width div 2,
// height div 2), turned and rounded, spanned together with the centre itself.
std::pair<int, int> TurnedSize(int width, int height, const Turn& t)
{
    const int hw = width / 2, hh = height / 2, rw = width - hw, rh = height - hh;
    const std::pair<int, int> corners[] = {{rw, -hh}, {rw, rh}, {-hw, rh}, {-hw, -hh}};
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const auto& [u, v] : corners) {
        const int x = Round(u * t.c - v * t.s);
        const int y = Round(u * t.s + v * t.c);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    return {maxX - minX, maxY - minY};
}

// Fills the new picture. New pixel (x, y), rows from the top, samples the
// source at (Round(u c - v s), Round(u s + v c)) + the source's centre, with
// (u, v) = (x, y) - the new centre. A row's start is worked out in extended
// precision and each pixel adds x times the step in double, so a sample
// differs from the extended result only where its position lies within about
// 1e-11 of a half (for pictures of some ten thousand pixels a side). Bytes:
// 1 or 3 copy whole bytes; 0 goes through the library's pixel access.
template <int Bytes>
void TurnPixels(const TDibRecord& src, const TDibRecord& dst, const Turn& t, COLORREF colour,
                ProgressSink& progress)
{
    const int width = DibWidth(src), height = DibHeight(src);
    const int newWidth = DibWidth(dst), newHeight = DibHeight(dst);
    const int centreX = width / 2, centreY = height / 2;
    const long double u0 = -(newWidth / 2);
    const double c = double(t.c), s = double(t.s);
    // Tiles of a band of rows by a run of columns: the source pixels a tile
    // samples lie close together, so they stay in the cache while the tile's
    // rows are made. Bands of whole tiles go to all cores.
    const auto band = [&](int first, int last) {
        double a0[kTileRows], b0[kTileRows];
        for (int y0 = first; y0 < last; y0 += kTileRows) {
            const int rows = std::min(kTileRows, last - y0);
            for (int r = 0; r < rows; ++r) {
                const long double v = y0 + r - newHeight / 2;
                a0[r] = double(u0 * t.c - v * t.s);
                b0[r] = double(u0 * t.s + v * t.c);
            }
            for (int x0 = 0; x0 < newWidth; x0 += kTileColumns) {
                const int x1 = std::min(newWidth, x0 + kTileColumns);
                for (int r = 0; r < rows; ++r) {
                    const int y = y0 + r;
                    std::uint8_t* out = DibRowFromTop(dst, y);
                    for (int x = x0; x < x1; ++x) {
                        const int sx = RoundPosition(a0[r] + x * c) + centreX;
                        const int sy = RoundPosition(b0[r] + x * s) + centreY;
                        if (unsigned(sx) >= unsigned(width) || unsigned(sy) >= unsigned(height))
                            setpixel(dst, x, y, colour);
                        else if constexpr (Bytes == 0)
                            setpixel(dst, x, y, getpixel(src, sx, sy));
                        else
                            std::memcpy(out + std::ptrdiff_t(x) * Bytes,
                                        DibRowFromTop(src, sy) + std::ptrdiff_t(sx) * Bytes, Bytes);
                    }
                }
            }
        }
    };
    // A row costs its own bytes and about as many of the source.
    ForEachRowBand(newHeight, 2 * std::size_t(dst.LineBytes), &progress, band, kTileRows);
}

// Anticlockwise in the picture, rows from the top: Right turns the other way.
Turn TurnOf(bool right, long double angle)
{
    const long double radians = (right ? -angle : angle) * kPi / 180;
    return {std::sin(radians), std::cos(radians)};
}

} // namespace

FreeTurn::FreeTurn(int width, int height, bool right, long double angle)
    : centreX_(width / 2), centreY_(height / 2)
{
    const Turn t = TurnOf(right, angle);
    s_ = t.s;
    c_ = t.c;
    std::tie(newWidth_, newHeight_) = TurnedSize(width, height, t);
}

void FreeTurn::Place(double x, double y, double& newX, double& newY) const
{
    // The inverse of the sampling: new (u, v) takes the source at R (u, v).
    const long double u = x - centreX_, v = y - centreY_;
    newX = double(u * c_ + v * s_ + newWidth_ / 2);
    newY = double(-u * s_ + v * c_ + newHeight_ / 2);
}

void DibRotxxx(const TDibRecord& Src, bool Right, long double Angle, COLORREF Colour,
               TDibRecord& Result, ProgressSink& progress)
{
    const Turn t = TurnOf(Right, Angle);
    TDibRecord turned;
    if (Src.Bits) {
        const auto [width, height] = TurnedSize(DibWidth(Src), DibHeight(Src), t);
        NewDibLike(&turned, Src, width, height);
    }
    if (turned.Bits) {
        progress.SetProStatus(0);
        switch (DibBitCount(Src)) {
        case 8:
            TurnPixels<1>(Src, turned, t, Colour, progress);
            break;
        case 24:
            TurnPixels<3>(Src, turned, t, Colour, progress);
            break;
        default:
            TurnPixels<0>(Src, turned, t, Colour, progress);
            break;
        }
        progress.SetProStatus(0);
    }
    Result = turned;
}
