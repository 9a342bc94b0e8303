// Cutting the border off a picture: a new picture of the part inside a
// rectangle.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

enum class CropCheck {
    Fits,    // a part of the picture with at least one pixel
    Empty,   // no width or no height
    Outside, // reaches beyond the picture
};

// r in picture pixels, rows from the top, right and bottom exclusive.
CropCheck CheckCropRect(const RECT& r, const TDibRecord& dib);

// Dst receives the part r of Src with Src's depth and colour table; Src is
// untouched. Dst is empty unless r fits Src and the new picture could be
// allocated. Progress: 0, one report per new row, 0.
void CropDib(const TDibRecord& Src, const RECT& r, TDibRecord& Dst, ProgressSink& progress);

// The same within dib's own pixel block, which keeps the part r and gives
// the rest of its memory back: the bytes CropDib makes, without a second
// picture. r must fit dib. Progress as CropDib's.
void CropDibInPlace(TDibRecord& dib, const RECT& r, ProgressSink& progress);
