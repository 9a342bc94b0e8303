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

// A row's pixels reversed where they are. The bytes past the last pixel end
// up zero, as in a picture newly made for the result.
template <int Bytes> void ReverseRow(std::uint8_t* row, int width, std::size_t lineBytes)
{
    std::uint8_t* a = row;
    std::uint8_t* b = row + std::ptrdiff_t(width - 1) * Bytes;
    for (; a < b; a += Bytes, b -= Bytes) {
        std::uint8_t t[Bytes];
        std::memcpy(t, a, Bytes);
        std::memcpy(a, b, Bytes);
        std::memcpy(b, t, Bytes);
    }
    const std::size_t used = std::size_t(width) * Bytes;
    std::memset(row + used, 0, lineBytes - used);
}

// 1 and 4 bits: pixel by pixel, then the unused low bits of the last byte.
void ReversePackedRow(const TDibRecord& d, int y)
{
    const int width = DibWidth(d), bits = DibBitCount(d);
    for (int x = 0, z = width - 1; x < z; ++x, --z) {
        const std::uint32_t left = getpixel(d, x, y);
        setpixel(d, x, y, getpixel(d, z, y));
        setpixel(d, z, y, left);
    }
    std::uint8_t* row = DibRowFromTop(d, y);
    const std::size_t usedBits = std::size_t(width) * std::size_t(bits);
    std::size_t whole = usedBits / 8;
    if (const int rest = int(usedBits % 8))
        row[whole++] &= std::uint8_t(0xFF00u >> rest);
    std::memset(row + whole, 0, std::size_t(d.LineBytes) - whole);
}

void ReverseRow(const TDibRecord& d, int y)
{
    std::uint8_t* row = DibRowFromTop(d, y);
    const int width = DibWidth(d);
    const std::size_t lineBytes = std::size_t(d.LineBytes);
    switch (DibBitCount(d)) {
    case 8:
        return ReverseRow<1>(row, width, lineBytes);
    case 16:
        return ReverseRow<2>(row, width, lineBytes);
    case 24:
        return ReverseRow<3>(row, width, lineBytes);
    case 32:
        return ReverseRow<4>(row, width, lineBytes);
    default:
        return ReversePackedRow(d, y);
    }
}

void SwapRows(const TDibRecord& d, int a, int b)
{
    std::swap_ranges(DibRowFromTop(d, a), DibRowFromTop(d, a) + d.LineBytes, DibRowFromTop(d, b));
}

} // namespace

void OrientDibInPlace(TDibRecord& dib, int orientation, ProgressSink& progress)
{
    if (!dib.Bits || (orientation != kOrientMirrorLeftRight && orientation != kOrientHalfTurn &&
                      orientation != kOrientMirrorTopBottom))
        return;
    progress.SetProStatus(0);
    const Placement p = kPlacements[orientation - 1];
    const int height = DibHeight(dib);
    // Rows y and height - 1 - y are worked together, so no band touches
    // another's rows.
    ForEachRowBand((height + 1) / 2, 2 * std::size_t(dib.LineBytes), &progress,
                   [&](int first, int last) {
                       for (int y = first; y < last; ++y) {
                           const int z = height - 1 - y;
                           if (p.flipX) {
                               ReverseRow(dib, y);
                               if (z != y)
                                   ReverseRow(dib, z);
                           }
                           if (p.flipY && z != y)
                               SwapRows(dib, y, z);
                       }
                   });
    progress.SetProStatus(0);
}

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
    if (orientation <= kOrientMirrorTopBottom) {
        OrientDibInPlace(*dib, orientation, silent);
        return;
    }
    TDibRecord turned;
    OrientDib(*dib, orientation, turned, silent);
    if (!turned.Bits)
        return;
    deldib(*dib);
    *dib = turned;
}
