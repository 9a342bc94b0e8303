// Mirroring a picture within its own pixels: left and right swapped, or top
// and bottom; size, depth and colour table stay.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

// Progress: 0, one report per pair of rows (the top and bottom ones first),
// 0. A record without pixels is left alone.
void MirrorH(TDibRecord& dib, ProgressSink& progress);
void MirrorV(TDibRecord& dib, ProgressSink& progress);
