// Pictures and colour read-back shared by the tests of pixel operations.
#pragma once

#include "TestSupport.h"

#include <cstdint>
#include <cstring>
#include <ostream>
#include <vector>

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Rgb& c)
    {
        return os << '(' << c.r << ", " << c.g << ", " << c.b << ')';
    }
};

inline COLORREF ToColorRef(Rgb c)
{
    return RGB(std::uint8_t(c.r), std::uint8_t(c.g), std::uint8_t(c.b));
}

// One row of 24-bit pixels.
inline TDibRecord TrueColourRow(const std::vector<Rgb>& colours)
{
    return MakeDib(int(colours.size()), 1, 24,
                   [&](int x, int) { return ToColorRef(colours[std::size_t(x)]); });
}

inline Rgb PixelColour(const TDibRecord& d, int x, int y)
{
    const std::uint32_t v = getpixel(d, x, y);
    return Rgb{int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)};
}

// A palette picture of 1, 4 or 8 bits whose table holds colours (the rest
// black); pixel x of its single row shows entry x mod table size.
inline TDibRecord PalettePicture(int bits, const std::vector<Rgb>& colours)
{
    BITMAPINFO table{};
    for (std::size_t i = 0; i < colours.size(); ++i)
        table.bmiColors[i] = RGBQUAD{std::uint8_t(colours[i].b), std::uint8_t(colours[i].g),
                                     std::uint8_t(colours[i].r), 0};
    TDibRecord d;
    const int n = 1 << bits;
    newdib(&d, n, 1, bits, &table, n);
    for (int x = 0; x < n; ++x)
        setpixel(d, x, 0, std::uint32_t(x));
    return d;
}

// Same size, depth and pixel values (padding and colour tables aside).
// A new picture with d's header, colour table and pixel block.
inline TDibRecord CopyOf(const TDibRecord& d)
{
    TDibRecord copy;
    NewDibLike(&copy, d);
    if (copy.Bits)
        std::memcpy(copy.Bits, d.Bits, d.Info->bmiHeader.biSizeImage);
    return copy;
}

// A pass that works in place, run on a copy so it reads like one making a
// new picture.
template <void (*InPlace)(TDibRecord&, ProgressSink&)>
void OnCopy(const TDibRecord& src, TDibRecord& out, ProgressSink& progress)
{
    out = CopyOf(src);
    if (out.Bits)
        InPlace(out, progress);
}

inline bool SamePixels(const TDibRecord& a, const TDibRecord& b)
{
    if (DibWidth(a) != DibWidth(b) || DibHeight(a) != DibHeight(b) ||
        DibBitCount(a) != DibBitCount(b))
        return false;
    for (int y = 0; y < DibHeight(a); ++y)
        for (int x = 0; x < DibWidth(a); ++x)
            if (getpixel(a, x, y) != getpixel(b, x, y))
                return false;
    return true;
}

// Entry i of Palette; fails the test when the colour table behind Info holds
// another colour.
inline Rgb PaletteColour(const TDibRecord& d, int i)
{
    const PALETTEENTRY& e = d.Palette.palPalEntry[i];
    const RGBQUAD& q = d.Info->bmiColors[i];
    EXPECT_EQ(Rgb(e.peRed, e.peGreen, e.peBlue), Rgb(q.rgbRed, q.rgbGreen, q.rgbBlue))
        << "Palette and colour table differ at entry " << i;
    return Rgb{e.peRed, e.peGreen, e.peBlue};
}

// Every channel value once per channel, in three different orders so that a
// swapped or shared channel shows.
inline std::vector<Rgb> AllChannelValues()
{
    std::vector<Rgb> c;
    for (int v = 0; v < 256; ++v)
        c.push_back(Rgb{v, 255 - v, (v * 37 + 11) & 255});
    return c;
}
