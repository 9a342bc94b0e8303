#include "imagora/Orientation.h"

#include "imagora/Imagora.h"
#include "imagora/RowBands.h"

#include <algorithm>
#include <cstring>

namespace {

// Where a stored pixel lands: with swap its column becomes the result's row
// and its row the result's column; then either axis of the result may run
// backwards.
struct Placement {
    bool swap, flipX, flipY;
};

constexpr Placement kPlacements[] = {
    {false, false, false}, // 1
    {false, true, false},  // 2
    {false, true, true},   // 3
    {false, false, true},  // 4
    {true, false, false},  // 5
    {true, true, false},   // 6
    {true, true, true},    // 7
    {true, false, true},   // 8
};

// Source rows turned together: each source column of a band is one short run
// in a result row, so both the reads and the writes stay within a few cache
// lines instead of striding across the whole picture for every pixel.
constexpr int kBandRows = 32;

struct Job {
    const TDibRecord& src;
    const TDibRecord& dst;
    Placement p;
    int width;  // of the source
    int height; // of the source

    int DestX(int x, int y) const
    {
        const int a = p.swap ? y : x;
        return p.flipX ? DibWidth(dst) - 1 - a : a;
    }
    int DestY(int x, int y) const
    {
        const int b = p.swap ? x : y;
        return p.flipY ? DibHeight(dst) - 1 - b : b;
    }
};

// 1- and 4-bit pixels, one at a time through the library's pixel access.
void PlacePixels(const Job& j, int y0, int y1)
{
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < j.width; ++x)
            setpixel(j.dst, j.DestX(x, y), j.DestY(x, y), getpixel(j.src, x, y));
}

// Whole rows: copied as they are, or with their pixels reversed.
template <int Bytes> void PlaceRow(const Job& j, int y)
{
    const std::uint8_t* s = DibRowFromTop(j.src, y);
    std::uint8_t* d = DibRowFromTop(j.dst, j.DestY(0, y));
    if (!j.p.flipX) {
        std::memcpy(d, s, std::size_t(j.src.LineBytes));
        return;
    }
    d += std::ptrdiff_t(j.width - 1) * Bytes;
    for (int x = 0; x < j.width; ++x, s += Bytes, d -= Bytes)
        std::memcpy(d, s, Bytes);
}

// A band of rows turned sideways: source column x becomes one run of result
// row DestY(x, .). The run is written forwards, from its first byte up; where
// the result's columns run backwards the band's rows are taken from its last.
template <int Bytes> void PlaceBand(const Job& j, int y0, int y1)
{
    const int n = y1 - y0;
    const std::uint8_t* rows[kBandRows];
    for (int i = 0; i < n; ++i)
        rows[i] = DibRowFromTop(j.src, j.p.flipX ? y1 - 1 - i : y0 + i);
    const std::ptrdiff_t first = std::ptrdiff_t(j.DestX(0, j.p.flipX ? y1 - 1 : y0)) * Bytes;
    for (int x = 0; x < j.width; ++x) {
        std::uint8_t* d = DibRowFromTop(j.dst, j.DestY(x, y0)) + first;
        const std::ptrdiff_t column = std::ptrdiff_t(x) * Bytes;
        for (int i = 0; i < n; ++i, d += Bytes)
            std::memcpy(d, rows[i] + column, Bytes);
    }
}

template <int Bytes> void PlaceBytes(const Job& j, int y0, int y1)
{
    if (j.p.swap) {
        PlaceBand<Bytes>(j, y0, y1);
        return;
    }
    for (int y = y0; y < y1; ++y)
        PlaceRow<Bytes>(j, y);
}

void Place(const Job& j, int y0, int y1)
{
    switch (DibBitCount(j.src)) {
    case 8:
        PlaceBytes<1>(j, y0, y1);
        break;
    case 16:
        PlaceBytes<2>(j, y0, y1);
        break;
    case 24:
        PlaceBytes<3>(j, y0, y1);
        break;
    case 32:
        PlaceBytes<4>(j, y0, y1);
        break;
    default:
        if (j.p.swap || j.p.flipX)
            PlacePixels(j, y0, y1);
        else
            PlaceBytes<1>(j, y0, y1); // whole rows: the packing does not matter
        break;
    }
}

} // namespace

void OrientDib(const TDibRecord& Src, int orientation, TDibRecord& Dst, ProgressSink& progress)
{
    progress.SetProStatus(0);
    TDibRecord result;
    if (Src.Bits && orientation >= kOrientAsStored && orientation <= kOrientTurnAnticlockwise) {
        const Placement p = kPlacements[orientation - 1];
        const int width = DibWidth(Src), height = DibHeight(Src);
        NewDibLike(&result, Src, p.swap ? height : width, p.swap ? width : height);
        if (result.Bits) {
            const Job j{Src, result, p, width, height};
            // Turned sideways, a band's rows become columns of the result. At
            // 1 and 4 bits several columns share a byte; bands of whole
            // blocks start on a byte unless the columns run backwards from
            // an edge that is not on one, and such a turn takes one band.
            const int bits = DibBitCount(Src);
            const bool sharedBytes = p.swap && p.flipX && bits < 8 && height % (8 / bits) != 0;
            ForEachRowBand(
                height, std::size_t(Src.LineBytes), &progress,
                [&](int first, int last) {
                    for (int y0 = first; y0 < last; y0 += kBandRows)
                        Place(j, y0, std::min(last, y0 + kBandRows));
                },
                sharedBytes ? height : kBandRows);
        }
    }
    Dst = result;
    progress.SetProStatus(0);
}

void ApplyOrientation(TDibRecord* dib, int orientation)
{
    if (orientation <= kOrientAsStored || orientation > kOrientTurnAnticlockwise || !dib->Bits)
        return;
    NullProgress silent;
    TDibRecord turned;
    OrientDib(*dib, orientation, turned, silent);
    if (!turned.Bits)
        return;
    deldib(*dib);
    *dib = turned;
}
