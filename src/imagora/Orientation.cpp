#include "imagora/Orientation.h"

#include "imagora/Imagora.h"

#include <cstring>

namespace {

// Where the upright pixel (dx, dy) comes from in the stored picture:
// sx = ax*dx + bx*dy + cx, sy = ay*dx + by*dy + cy (rows from the top).
struct SourceMap {
    int ax, bx, cx;
    int ay, by, cy;
};

SourceMap MapFor(int orientation, int storedWidth, int storedHeight)
{
    const int right = storedWidth - 1;
    const int bottom = storedHeight - 1;
    switch (orientation) {
    case 2: // mirrored left to right
        return {-1, 0, right, 0, 1, 0};
    case 3: // upside down
        return {-1, 0, right, 0, -1, bottom};
    case 4: // mirrored top to bottom
        return {1, 0, 0, 0, -1, bottom};
    case 5: // transposed
        return {0, 1, 0, 1, 0, 0};
    case 6: // stored a quarter turn anticlockwise: turn clockwise
        return {0, 1, 0, -1, 0, bottom};
    case 7: // transverse
        return {0, -1, right, -1, 0, bottom};
    default: // 8: stored a quarter turn clockwise: turn anticlockwise
        return {0, -1, right, 1, 0, 0};
    }
}

void CopyWholeBytes(const TDibRecord& src, const TDibRecord& dst, const SourceMap& m, int bytes)
{
    const int width = DibWidth(dst);
    const int height = DibHeight(dst);
    const int storedHeight = DibHeight(src);
    const std::ptrdiff_t step = std::ptrdiff_t(m.ax) * bytes - std::ptrdiff_t(m.ay) * src.LineBytes;
    for (int dy = 0; dy < height; ++dy) {
        const int sx = m.bx * dy + m.cx;
        const int sy = m.by * dy + m.cy;
        const std::uint8_t* s = src.Bits + std::ptrdiff_t(storedHeight - 1 - sy) * src.LineBytes +
                                std::ptrdiff_t(sx) * bytes;
        std::uint8_t* d = DibRowFromTop(dst, dy);
        for (int dx = 0; dx < width; ++dx, s += step, d += bytes)
            std::memcpy(d, s, std::size_t(bytes));
    }
}

void CopyPackedPixels(const TDibRecord& src, const TDibRecord& dst, const SourceMap& m)
{
    const int width = DibWidth(dst);
    const int height = DibHeight(dst);
    for (int dy = 0; dy < height; ++dy)
        for (int dx = 0; dx < width; ++dx)
            setpixel(dst, dx, dy,
                     getpixel(src, m.ax * dx + m.bx * dy + m.cx, m.ay * dx + m.by * dy + m.cy));
}

} // namespace

void ApplyOrientation(TDibRecord* dib, int orientation)
{
    if (orientation < 2 || orientation > 8 || !dib->Bits)
        return;
    const int width = DibWidth(*dib);
    const int height = DibHeight(*dib);
    const int bits = DibBitCount(*dib);
    const bool swapped = orientation >= 5;

    TDibRecord turned;
    NewDibLike(&turned, *dib, swapped ? height : width, swapped ? width : height);
    if (!turned.Bits)
        return;
    const SourceMap m = MapFor(orientation, width, height);
    if (bits % 8 == 0)
        CopyWholeBytes(*dib, turned, m, bits / 8);
    else
        CopyPackedPixels(*dib, turned, m);
    deldib(*dib);
    *dib = turned;
}
