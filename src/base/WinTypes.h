// Windows-compatible bitmap structures. Their layouts are those of the DIB
// file format and of the GDI, so a header read from a .bmp file or handed to
// a device context needs no translation.
#pragma once

#include <cstdint>

using COLORREF = std::uint32_t; // 0x00BBGGRR: red in the lowest byte

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr std::uint8_t GetRValue(COLORREF c)
{
    return std::uint8_t(c);
}
constexpr std::uint8_t GetGValue(COLORREF c)
{
    return std::uint8_t(c >> 8);
}
constexpr std::uint8_t GetBValue(COLORREF c)
{
    return std::uint8_t(c >> 16);
}

// biCompression values
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

constexpr unsigned DIB_RGB_COLORS = 0;

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

struct RGBQUAD {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};

// The colour table follows the header; it is declared with its full room of
// 256 entries so that indexing never leaves the declared array.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

struct PALETTEENTRY {
    std::uint8_t peRed;
    std::uint8_t peGreen;
    std::uint8_t peBlue;
    std::uint8_t peFlags;
};

struct LOGPALETTE {
    std::uint16_t palVersion;
    std::uint16_t palNumEntries;
    PALETTEENTRY palPalEntry[256];
};
#pragma pack(pop)

static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);
static_assert(sizeof(BITMAPINFO) == 40 + 4 * 256);
static_assert(sizeof(PALETTEENTRY) == 4);
static_assert(sizeof(LOGPALETTE) == 1028);

struct RECT {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    friend bool operator==(const RECT&, const RECT&) = default;
};

// Handles of the drawing stand-in; the objects themselves are in GdiObjects.h.
struct GdiObject;
struct GdiPalette;
struct GdiBitmap;
using HGDIOBJ = GdiObject*;
using HPALETTE = GdiPalette*;
using HBITMAP = GdiBitmap*;

// Bytes per stored row of a picture: whole 32-bit words.
constexpr std::int64_t DibLineBytes(std::int64_t width, int bitCount)
{
    return ((width * bitCount + 31) / 32) * 4;
}
