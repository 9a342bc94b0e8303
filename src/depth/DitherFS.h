// Floyd-Steinberg error distribution onto a palette.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

// Maps every pixel of S onto N's palette and writes the indices into N. N has
// S's size, 1, 4 or 8 bits and its final palette; S has 24, 8, 4 or 1 bits.
// Rows run from the top of the picture, alternately left to right and right to
// left, the top row left to right. Of each pixel's error 7/16 go to the next
// pixel of its row; 3/16, 5/16 and 1/16 to the pixels behind, below and ahead
// of it in the row below. Any other pair of pictures, or one without pixels,
// leaves N as it is.
void DitherFS(const TDibRecord& S, TDibRecord& N, ProgressSink& progress);
