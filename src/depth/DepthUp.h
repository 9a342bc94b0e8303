// Raising a picture's colour depth: 4 -> 8, 1 -> 8, 1 -> 4, 1 -> 24, 4 -> 24
// and 8 -> 24. Exact, except that a 1-bit picture becomes black and white
// whatever its two colours were.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

#include <cstdint>

// The raised picture, or an empty record for any other pair of depths or when
// the new picture cannot be allocated; WorkDib itself is not changed. The
// colour-table entries that no pixel uses get random colours (red, green,
// blue in this order, each a multiple of 4), the same for the same seed.
TDibRecord DepthUpTo(const TDibRecord& WorkDib, int target, std::uint32_t seed,
                     ProgressSink& progress);
