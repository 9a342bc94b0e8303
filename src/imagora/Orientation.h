// Turning a picture as stored in its file into its upright view, following
// the orientation value of EXIF and TIFF (1..8: where the stored first row
// and first column belong on screen).
#pragma once

#include "imagora/DibRecord.h"

// Replaces *dib by its upright view; the stored picture is released. Values
// outside 2..8 and records without pixels are left alone. If the turned copy
// cannot be allocated the picture stays as stored: sideways beats nothing.
void ApplyOrientation(TDibRecord* dib, int orientation);
