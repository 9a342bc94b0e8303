// Reading colours from and writing indices into the rows of a picture, for
// the loops that map pixels onto a palette.
#pragma once

#include "imagora/Imagora.h"

#include <cstdint>
#include <type_traits>

// The colours of a picture's pixels, row by row with rows counted from the
// top: Row(y) picks a row, then Colour(x, r, g, b) reads its pixel x.

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

// Calls f(r, g, b) for every pixel, rows from the top; palette pictures give
// their entries' colours. False for an empty record or any other depth.
template <typename F> bool ForEachColour(const TDibRecord& dib, F f)
{
    const int w = DibWidth(dib), h = DibHeight(dib);
    return dib.Bits && WithPixelSource(dib, [&](auto source) {
               for (int y = 0; y < h; ++y) {
                   source.Row(y);
                   for (int x = 0; x < w; ++x) {
                       int r, g, b;
                       source.Colour(x, r, g, b);
                       f(r, g, b);
                   }
               }
           });
}

// The palette index of pixel x of a stored row of 4 or 8 bits per pixel: 4-bit
// pixels at even x in the high nibble of their byte, at odd x in the low one.
inline int RowIndex(const std::uint8_t* row, int bits, int x)
{
    if (bits == 8)
        return row[x];
    return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
}

// Writes palette index into pixel x of a row of Bits (1, 4 or 8) bits per
// pixel, leaving the other pixels of its byte as they are.
template <int Bits> inline void PutIndex(std::uint8_t* row, int x, unsigned index)
{
    if constexpr (Bits == 8) {
        row[x] = std::uint8_t(index);
    } else if constexpr (Bits == 4) {
        std::uint8_t& byte = row[x >> 1];
        byte = (x & 1) ? std::uint8_t((byte & 0xF0) | index)
                       : std::uint8_t((byte & 0x0F) | (index << 4));
    } else {
        std::uint8_t& byte = row[x >> 3];
        const unsigned mask = 0x80u >> (x & 7);
        byte = std::uint8_t(index & 1 ? byte | mask : byte & ~mask);
    }
}

// Calls f(std::integral_constant<int, bits>) for 1, 4 or 8 bits; false for
// any other depth.
template <typename F> bool WithIndexBits(int bits, F f)
{
    switch (bits) {
    case 8:
        f(std::integral_constant<int, 8>{});
        return true;
    case 4:
        f(std::integral_constant<int, 4>{});
        return true;
    case 1:
        f(std::integral_constant<int, 1>{});
        return true;
    default:
        return false;
    }
}
