#include "base/Palette.h"

#include <algorithm>

HPALETTE CreatePalette(const LOGPALETTE* lp)
{
    if (!lp || lp->palNumEntries == 0)
        return nullptr;
    auto* palette = new GdiPalette;
    const int n = std::min<int>(lp->palNumEntries, 256);
    palette->entries.assign(lp->palPalEntry, lp->palPalEntry + n);
    return palette;
}

unsigned GetNearestPaletteIndex(HPALETTE palette, COLORREF colour)
{
    return palette ? NearestPaletteIndex(palette->entries, colour) : 0;
}

unsigned NearestPaletteIndex(const std::vector<PALETTEENTRY>& entries, COLORREF colour)
{
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    unsigned best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (unsigned i = 0; i < entries.size(); ++i) {
        const PALETTEENTRY& e = entries[i];
        const int dr = e.peRed - r, dg = e.peGreen - g, db = e.peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}
