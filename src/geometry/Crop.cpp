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
