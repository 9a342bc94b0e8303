// Which entries of a palette picture's colour table its pixels use.
#pragma once

#include "imagora/DibRecord.h"

#include <array>

// used[i] for every index i a pixel of the 1-, 4- or 8-bit picture holds;
// nothing for other depths and empty records. Whole bytes at a time, in bands
// on all cores: a picture of gigapixels takes about as long as reading it.
std::array<bool, 256> UsedPaletteIndices(const TDibRecord& dib);

// The different colours a palette picture shows: its used entries, those of
// the same colour counted once.
int ColoursInUse(const TDibRecord& dib);
