// Resizing a picture, for the resize dialog and the variation previews:
// samples at 22.10 fixed-point positions, and bilinear interpolation when a
// 24-bit picture grows in both directions.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

// Dst receives a new picture of NewWidth x NewHeight with Src's depth and
// colour table; the caller owns it. Rows are sampled in memory order, so a
// copy lines up with its source at the bottom-left pixel (1-bit pictures go
// through getpixel/setpixel and line up at the top-left). 16- and 32-bit
// sources give a copy of zero bytes. Non-positive sizes, an empty Src or a
// failed allocation give an empty Dst. Src and Dst may be the same record;
// Src is not released.
void DIBResize(const TDibRecord& Src, int NewWidth, int NewHeight, bool Interpolate,
               TDibRecord& Dst, ProgressSink& progress);

// What the resize dialog asks for. With the proportions kept, the side the
// user set is given and the other is 0, following it by the proportions of
// the picture at hand, so a recipe keeps them on pictures of other sizes.
struct ResizeChoice {
    int Width = 1;
    int Height = 1;
    bool Interpolate = true;
};

// The sides a picture can be resized to.
constexpr int kMinResizeSide = 1;
constexpr int kMaxResizeSide = 32767;

// The other side that keeps the proportions of baseSide x baseOther:
// Trunc(side * baseOther / baseSide), kept within the sides above.
int LinkedSide(int side, int baseSide, int baseOther);
