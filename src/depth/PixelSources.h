// The colours of a picture's pixels, row by row with rows counted from the
// top, for the loops that map pixels onto a palette. Row(y) picks a row, then
// Colour(x, r, g, b) reads its pixel x.
#pragma once

#include "imagora/Imagora.h"

#include <cstdint>

// 24 bits, straight from the row bytes (blue, green, red).
struct TrueColourSource {
    const TDibRecord& dib;
    const std::uint8_t* row = nullptr;
    void Row(int y) { row = DibRowFromTop(dib, y); }
    void Colour(int x, int& r, int& g, int& b) const
    {
        const std::uint8_t* p = row + 3 * x;
        b = p[0];
        g = p[1];
        r = p[2];
    }
};

// 8 bits: the Palette entry of the row byte.
struct ByteIndexSource {
    const TDibRecord& dib;
    const std::uint8_t* row = nullptr;
    void Row(int y) { row = DibRowFromTop(dib, y); }
    void Colour(int x, int& r, int& g, int& b) const
    {
        const PALETTEENTRY& e = dib.Palette.palPalEntry[row[x]];
        r = e.peRed;
        g = e.peGreen;
        b = e.peBlue;
    }
};

// 4 and 1 bits: the Palette entry of the pixel's index.
struct PixelIndexSource {
    const TDibRecord& dib;
    int y = 0;
    void Row(int row) { y = row; }
    void Colour(int x, int& r, int& g, int& b) const
    {
        const PALETTEENTRY& e = dib.Palette.palPalEntry[getpixel(dib, x, y) & 0xFF];
        r = e.peRed;
        g = e.peGreen;
        b = e.peBlue;
    }
};

// Calls f(source) with the reader for dib's depth (24, 8, 4 or 1 bits);
// false for any other depth.
template <typename F> bool WithPixelSource(const TDibRecord& dib, F f)
{
    switch (DibBitCount(dib)) {
    case 24:
        f(TrueColourSource{dib});
        return true;
    case 8:
        f(ByteIndexSource{dib});
        return true;
    case 4:
    case 1:
        f(PixelIndexSource{dib});
        return true;
    default:
        return false;
    }
}
