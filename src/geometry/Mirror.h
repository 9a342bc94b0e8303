// Mirroring a picture into a new one of the same size, depth and colour
// table: left and right swapped, or top and bottom.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

// Dst receives the mirrored copy; Src is untouched. Dst is empty when Src is
// or the copy cannot be allocated. Progress: 0, one report per row, 0.
void MirrorH(const TDibRecord& Src, TDibRecord& Dst, ProgressSink& progress);
void MirrorV(const TDibRecord& Src, TDibRecord& Dst, ProgressSink& progress);
