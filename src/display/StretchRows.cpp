#include "display/StretchRows.h"

#include "imagora/Imagora.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// The two scalers differ only in the row DIB's depth and in the bytes that
// make one pixel (3 or 1). The column table holds byte offsets into a stored
// row; a source row met again (enlarging) is not copied again, its buffer is
// simply drawn once more.
template <int PixelBytes>
void StretchRows(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight, const TDibRecord& Dib,
                 int SrcX, int SrcTop, int SrcWidth, int SrcHeight)
{
    if (!Dc || !Dib.Bits || DestWidth <= 0 || DestHeight <= 0)
        return;
    TDibRecord row;
    if constexpr (PixelBytes == 3)
        newdib(&row, DestWidth, 1, 24, nullptr, 0);
    else
        newdib(&row, DestWidth, 1, 8, Dib.Info, 256);
    const std::unique_ptr<int[]> column(new (std::nothrow) int[std::size_t(DestWidth)]);
    if (!row.Bits || !column) {
        deldib(row);
        return;
    }

    const int height = DibHeight(Dib);
    const std::int64_t rowBytes = std::int64_t(DibWidth(Dib)) * PixelBytes;
    int first = DestWidth, last = -1;
    for (int i = 0; i < DestWidth; ++i) {
        const std::int64_t offset = (SrcX + std::int64_t(SrcWidth) * i / DestWidth) * PixelBytes;
        if (offset < 0 || offset >= rowBytes)
            continue;
        column[std::size_t(i)] = int(offset);
        if (first > i)
            first = i;
        last = i;
    }

    const std::int64_t maxOffset = std::int64_t(height - 1) * Dib.LineBytes;
    std::int64_t previous = -1;
    for (int r = 0; r < DestHeight; ++r) {
        const std::int64_t t = SrcTop + std::int64_t(SrcHeight) * r / DestHeight;
        const std::int64_t offset = (height - 1 - t) * Dib.LineBytes;
        if (offset < 0 || offset > maxOffset) {
            std::memset(row.Bits, 0, std::size_t(row.LineBytes));
        } else if (offset != previous) {
            const std::uint8_t* in = Dib.Bits + offset;
            std::uint8_t* out = row.Bits + PixelBytes * first;
            const int* columns = column.get();
            for (int i = first; i <= last; ++i, out += PixelBytes) {
                // All loads before the stores: the stores could alias the
                // source, which would otherwise order every load after them.
                const std::uint8_t* p = in + columns[i];
                if constexpr (PixelBytes == 3) {
                    const std::uint8_t b = p[0], g = p[1], r = p[2];
                    out[0] = b;
                    out[1] = g;
                    out[2] = r;
                } else {
                    out[0] = p[0];
                }
            }
            previous = offset;
        }
        Dc->SetDIBitsToDevice(DestX, DestY + r, DestWidth, 1, 0, 0, 0, 1, row.Bits, row.Info,
                              DIB_RGB_COLORS);
    }
    deldib(row);
}

} // namespace

void StretchRows24(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                   const TDibRecord& Dib, int SrcX, int SrcTop, int SrcWidth, int SrcHeight)
{
    StretchRows<3>(Dc, DestX, DestY, DestWidth, DestHeight, Dib, SrcX, SrcTop, SrcWidth, SrcHeight);
}

void StretchRows8(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                  const TDibRecord& Dib, int SrcX, int SrcTop, int SrcWidth, int SrcHeight)
{
    StretchRows<1>(Dc, DestX, DestY, DestWidth, DestHeight, Dib, SrcX, SrcTop, SrcWidth, SrcHeight);
}
