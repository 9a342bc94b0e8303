#include "imagora/DibPalette.h"

#include "base/GdiObjects.h"
#include "base/Palette.h"

void StorePaletteColour(TDibRecord& Dib, int i, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    PALETTEENTRY& e = Dib.Palette.palPalEntry[i];
    e.peRed = r;
    e.peGreen = g;
    e.peBlue = b;
    RGBQUAD& q = Dib.Info->bmiColors[i];
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
}

void RenewPaletteHandle(TDibRecord& Dib)
{
    DeleteObject(Dib.PaletteHandle);
    Dib.PaletteHandle = CreatePalette(&Dib.Palette);
}
