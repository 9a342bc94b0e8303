// The pixel transfers of RasterDC: DIBs onto the raster (stretched or not),
// DIBs into compatible bitmaps, and raster to raster.
#include "gdi/RasterDC.h"

#include "gdi/DibSource.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::int64_t kNoRow = -1;

// How many of the rows first..first+count-1 lie in 0..limit-1.
int RowsInside(std::int64_t first, std::int64_t count, std::int64_t limit)
{
    return int(std::max<std::int64_t>(0, std::min(first + count, limit) -
                                             std::max<std::int64_t>(first, 0)));
}

} // namespace

// Destination pixel (dx, dy) of the destination rectangle takes source column
// xSrc + dx * srcW / destW of the source row sourceRow(dy * srcH / destH).
// Pixels whose source lies outside the source (columns 0..srcWidth-1, rows
// for which sourceRow answers kNoRow) or whose destination lies outside the
// raster are left as they are. A row that samples the same source row as the
// row above it is copied from there.
template <typename SourceRow, typename SampleRow>
void RasterDC::Stretch(int xDest, int yDest, int destW, int destH, int xSrc, int srcW, int srcWidth,
                       int srcH, SourceRow sourceRow, SampleRow sampleRow)
{
    // Source columns are non-decreasing in dx, so the usable columns form one run.
    const int dxBegin = std::max(0, -xDest), dxEnd = std::min(destW, width_ - xDest);
    std::vector<int> columns;
    int firstDx = dxEnd;
    for (int dx = dxBegin; dx < dxEnd; ++dx) {
        const std::int64_t sx = xSrc + std::int64_t(dx) * srcW / destW;
        if (sx < 0)
            continue;
        if (sx >= srcWidth)
            break;
        if (columns.empty())
            firstDx = dx;
        columns.push_back(int(sx));
    }
    if (columns.empty())
        return;
    const int n = int(columns.size());
    const int x = xDest + firstDx;

    std::int64_t previousRow = kNoRow;
    const std::uint32_t* previous = nullptr;
    const int dyBegin = std::max(0, -yDest), dyEnd = std::min(destH, height_ - yDest);
    for (int dy = dyBegin; dy < dyEnd; ++dy) {
        const std::int64_t row = sourceRow(std::int64_t(dy) * srcH / destH);
        std::uint32_t* out = Row(yDest + dy) + x;
        if (row == kNoRow) {
            previousRow = kNoRow;
            continue;
        }
        if (row == previousRow) {
            std::memcpy(out, previous, sizeof(std::uint32_t) * std::size_t(n));
        } else {
            sampleRow(row, columns.data(), n, out);
            MapSpan(out, n);
        }
        previousRow = row;
        previous = out;
    }
}

int RasterDC::StretchDIBits(int xDest, int yDest, int destW, int destH, int xSrc, int ySrc,
                            int srcW, int srcH, const void* bits, const BITMAPINFO* info,
                            unsigned usage, std::uint32_t rop)
{
    DibSource source;
    if (rop != SRCCOPY || usage != DIB_RGB_COLORS || !source.Open(info, bits, 0, 0x7FFFFFFF))
        return GDI_ERROR;
    // Mirroring by negative sizes is not offered.
    if (destW < 0 || destH < 0 || srcW < 0 || srcH < 0)
        return GDI_ERROR;
    if (destW == 0 || destH == 0 || srcW == 0 || srcH == 0)
        return 0;

    const int height = source.Height();
    // The rectangle's top row, counted from the DIB's top.
    const std::int64_t top = std::int64_t(height) - ySrc - srcH;
    Stretch(
        xDest, yDest, destW, destH, xSrc, srcW, source.Width(), srcH,
        [&](std::int64_t k) {
            const std::int64_t scan = height - 1 - (top + k);
            return source.HasScan(scan) ? scan : kNoRow;
        },
        [&](std::int64_t scan, const int* columns, int n, std::uint32_t* out) {
            source.Sample(scan, columns, n, out);
        });
    return RowsInside(top, srcH, height);
}

int RasterDC::SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                                unsigned startScan, unsigned numScans, const void* bits,
                                const BITMAPINFO* info, unsigned usage)
{
    DibSource source;
    if (usage != DIB_RGB_COLORS || width < 0 || height < 0 ||
        !source.Open(info, bits, startScan, numScans))
        return 0;

    // Columns i of the rectangle that exist in the DIB and on the raster.
    const std::int64_t i0 = std::max<std::int64_t>({0, -std::int64_t(xSrc), -std::int64_t(xDest)});
    const std::int64_t i1 = std::min<std::int64_t>(
        {width, std::int64_t(source.Width()) - xSrc, std::int64_t(width_) - xDest});
    if (i0 < i1) {
        for (int r = std::max(0, -yDest); r < std::min(height, height_ - yDest); ++r) {
            // The rectangle's top row is its highest scan.
            const std::int64_t scan = std::int64_t(ySrc) + height - 1 - r;
            if (!source.HasScan(scan))
                continue;
            std::uint32_t* out = Row(yDest + r) + xDest + i0;
            source.Copy(scan, int(xSrc + i0), int(i1 - i0), out);
            MapSpan(out, int(i1 - i0));
        }
    }
    return source.AvailableScans();
}

int RasterDC::SetDIBits(HBITMAP bitmap, unsigned startScan, unsigned numScans, const void* bits,
                        const BITMAPINFO* info, unsigned usage)
{
    DibSource source;
    if (!bitmap || usage != DIB_RGB_COLORS || !source.Open(info, bits, startScan, numScans))
        return 0;
    // The DIB's top row lands on the bitmap's top row.
    const int n = std::min(source.Width(), bitmap->width);
    for (int y = 0; y < std::min(source.Height(), bitmap->height); ++y) {
        const std::int64_t scan = source.Height() - 1 - y;
        if (source.HasScan(scan))
            source.Copy(scan, 0, n, bitmap->pixels.data() + std::size_t(y) * bitmap->width);
    }
    return source.AvailableScans();
}

int RasterDC::StretchBlt(int xDest, int yDest, int destW, int destH, HDC source, int xSrc, int ySrc,
                         int srcW, int srcH, std::uint32_t rop)
{
    const auto* from = dynamic_cast<const RasterDC*>(source);
    if (rop != SRCCOPY || !from || from == this || destW < 0 || destH < 0 || srcW < 0 || srcH < 0)
        return 0;
    if (destW == 0 || destH == 0 || srcW == 0 || srcH == 0)
        return 1;
    const int fromHeight = from->Height();
    Stretch(
        xDest, yDest, destW, destH, xSrc, srcW, from->Width(), srcH,
        [&](std::int64_t k) {
            const std::int64_t row = ySrc + k;
            return row >= 0 && row < fromHeight ? row : kNoRow;
        },
        [&](std::int64_t row, const int* columns, int n, std::uint32_t* out) {
            const std::uint32_t* in = from->Row(int(row));
            for (int i = 0; i < n; ++i)
                out[i] = in[columns[i]];
        });
    return 1;
}
