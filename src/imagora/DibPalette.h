// Changing a palette picture's colours: every colour goes into both Palette
// and the colour table behind Info, and the palette object is renewed once
// the table is complete, so drawing and saving see the same colours.
#pragma once

#include "imagora/DibRecord.h"

#include <cstdint>

// Writes entry i of Palette and of the colour table behind Info.
void StorePaletteColour(TDibRecord& Dib, int i, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// DeleteObject of the old palette object, then a new one from Palette.
void RenewPaletteHandle(TDibRecord& Dib);
