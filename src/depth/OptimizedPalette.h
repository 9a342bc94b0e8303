// The optimized palette: the most frequent colours of a picture, each channel
// quantised by dropping its low Shift bits. A popularity method, no
// averaging: a palette colour is the lowest colour of its histogram bin.
#pragma once

#include "depth/DepthTables.h"
#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

#include <cstdint>

// Fills triples[0 .. Count - 1], most frequent colour first, from an 8- or
// 24-bit picture (other depths count no pixels). Count is taken within
// 0..256 and Shift within 3..7, so every level fits the 5 bits of its bin
// number. When fewer colours occur than asked for, the rest come from empty
// bins in the order the sort leaves them.
void OptimizedPalette(const TDibRecord& Dib, int Count, int Shift, RgbTriple* triples,
                      ProgressSink& progress);

// Sorts counts[L..R] ascending, moving bins[] along: a quicksort on the
// middle element whose treatment of equal counts decides which of several
// equally frequent colours make the palette.
void SortCounts(std::uint16_t* counts, std::uint16_t* bins, int L, int R);
