// Logical palettes: creation and nearest-colour lookup.
#pragma once

#include "base/GdiObjects.h"

// A palette of lp->palNumEntries entries (at most 256); null for a null or
// empty palette.
HPALETTE CreatePalette(const LOGPALETTE* lp);

// The index of the entry nearest to colour by squared RGB distance; the
// lowest index wins a tie. 0 for a null or empty palette.
unsigned GetNearestPaletteIndex(HPALETTE palette, COLORREF colour);
unsigned NearestPaletteIndex(const std::vector<PALETTEENTRY>& entries, COLORREF colour);
