// Turning and mirroring a picture into one of its eight orientations: the
// upright view of a photo as its EXIF or TIFF orientation value (1..8) says
// the stored rows and columns belong on screen, and the mirrors and quarter
// turns of the crop page.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

// The orientation values, named by what they do to the stored picture.
enum Orientation : int {
    kOrientAsStored = 1,
    kOrientMirrorLeftRight = 2,
    kOrientHalfTurn = 3,
    kOrientMirrorTopBottom = 4,
    kOrientTranspose = 5,
    kOrientTurnClockwise = 6,
    kOrientTransverse = 7,
    kOrientTurnAnticlockwise = 8,
};

// Dst receives a new picture: Src in that orientation, with Src's depth and
// colour table; Src is untouched. Progress: 0, then before Src's row y
// (from the top) y * 100 div (height - 1), then 0. An empty Src, a value
// outside 1..8 or a failed allocation give an empty Dst.
void OrientDib(const TDibRecord& Src, int orientation, TDibRecord& Dst, ProgressSink& progress);

// The orientations that keep the picture's shape (mirrors and the half turn)
// made within the picture's own pixels: the same bytes as OrientDib gives,
// without a second picture's memory. Progress: 0, then before the pair of
// rows y and height - 1 - y (from the top) y * 100 div ((height + 1) div 2
// - 1), then 0. Other values and records without pixels are left alone.
void OrientDibInPlace(TDibRecord& dib, int orientation, ProgressSink& progress);

// Replaces *dib by its upright view; the stored picture is released. Values
// outside 2..8 and records without pixels are left alone. If the turned copy
// cannot be allocated the picture stays as stored: sideways beats nothing.
void ApplyOrientation(TDibRecord* dib, int orientation);
