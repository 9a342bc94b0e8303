#include "correct/CorrectionFrame.h"

#include "gdi/Palette.h"

int CorrectedPaletteEntries(const TDibRecord& Dib, OneBit oneBit)
{
    if (!Dib.Bits)
        return 0;
    switch (DibBitCount(Dib)) {
    case 1:
        return oneBit == OneBit::Treated ? 2 : 0;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

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
