#include "geometry/Crop.h"

#include "imagora/Imagora.h"
#include "imagora/RowBands.h"

#include <cstring>

CropCheck CheckCropRect(const RECT& r, const TDibRecord& dib)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return CropCheck::Empty;
    if (!dib.Bits || r.left < 0 || r.top < 0 || r.right > DibWidth(dib) ||
        r.bottom > DibHeight(dib))
        return CropCheck::Outside;
    return CropCheck::Fits;
}

void CropDib(const TDibRecord& Src, const RECT& r, TDibRecord& Dst, ProgressSink& progress)
{
    progress.SetProStatus(0);
    TDibRecord cut;
    if (CheckCropRect(r, Src) == CropCheck::Fits)
        NewDibLike(&cut, Src, r.right - r.left, r.bottom - r.top);
    if (cut.Bits) {
        const int width = r.right - r.left, height = r.bottom - r.top;
        const int bits = DibBitCount(Src);
        ForEachRowBand(height, std::size_t(cut.LineBytes), &progress, [&](int first, int last) {
            for (int y = first; y < last; ++y) {
                if (bits == 24 || bits == 8) {
                    const int bytes = bits / 8;
                    std::memcpy(DibRowFromTop(cut, y),
                                DibRowFromTop(Src, r.top + y) + std::ptrdiff_t(r.left) * bytes,
                                std::size_t(width) * std::size_t(bytes));
                } else {
                    for (int x = 0; x < width; ++x)
                        setpixel(cut, x, y, getpixel(Src, r.left + x, r.top + y));
                }
            }
        });
    }
    Dst = cut;
    progress.SetProStatus(0);
}

void CropDibInPlace(TDibRecord& dib, const RECT& r, ProgressSink& progress)
{
    progress.SetProStatus(0);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int bits = DibBitCount(dib);
    // The cut as it will lie in the block: its rows packed from the start.
    BITMAPINFO shape = *dib.Info;
    shape.bmiHeader.biWidth = width;
    shape.bmiHeader.biHeight = height;
    TDibRecord cut = dib;
    cut.Info = &shape;
    cut.LineBytes = std::int32_t(DibLineBytes(width, bits));
    // Every pixel moves to the same place or an earlier one, so going through
    // the block upwards (rows bottom-up, pixels left to right) reads each
    // source pixel before anything is written over it. The rows therefore
    // go one after another, from the bottom one.
    const std::size_t usedBits = std::size_t(width) * std::size_t(bits);
    for (int y = height - 1; y >= 0; --y) {
        progress.SetProStatus(StepPercent(height - 1 - y, height));
        std::uint8_t* row = DibRowFromTop(cut, y);
        if (bits >= 8) {
            std::memmove(row, DibRowFromTop(dib, r.top + y) + std::ptrdiff_t(r.left) * (bits / 8),
                         usedBits / 8);
        } else {
            for (int x = 0; x < width; ++x)
                setpixel(cut, x, y, getpixel(dib, r.left + x, r.top + y));
        }
        // what follows the pixels is zero, as in a new picture
        std::size_t whole = usedBits / 8;
        if (const int rest = int(usedBits % 8))
            row[whole++] &= std::uint8_t(0xFF00u >> rest);
        std::memset(row + whole, 0, std::size_t(cut.LineBytes) - whole);
    }
    ShrinkDib(dib, width, height);
    progress.SetProStatus(0);
}
