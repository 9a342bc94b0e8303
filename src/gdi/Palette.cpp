#include "gdi/Palette.h"

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
    if (!palette)
        return 0;
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    unsigned best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (unsigned i = 0; i < palette->entries.size(); ++i) {
        const PALETTEENTRY& e = palette->entries[i];
        const int dr = e.peRed - r, dg = e.peGreen - g, db = e.peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}
