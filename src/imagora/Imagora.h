// The image library: allocating, freeing, reading and single-pixel access of
// pictures held in TDibRecords.
#pragma once

#include "imagora/DibRecord.h"

#include <cstddef>
#include <cstdint>

// Makes a new picture with all pixel bytes 0. Bits per pixel: 1, 4, 8, 16,
// 24 or 32. The first `colours` entries of source's colour table are copied
// (none when source is null); a 1-bit picture without a source is black and
// white. Palette pictures get Palette, PaletteHandle and HasPalette built from
// the table. On failure the record holds Bits == nullptr and LibData1 == 0.
void newdib(TDibRecord* dib, int width, int height, int bitCount, const BITMAPINFO* source,
            int colours);

// A new picture of width x height with shape's depth and colour table, all
// pixel bytes 0; fails as newdib does.
void NewDibLike(TDibRecord* dib, const TDibRecord& shape, int width, int height);
// The same at shape's own size.
inline void NewDibLike(TDibRecord* dib, const TDibRecord& shape)
{
    NewDibLike(dib, shape, DibWidth(shape), DibHeight(shape));
}

// The record's picture becomes width x height (no larger than it was), its
// rows from the start of its pixel block on, where the caller has put them
// first; the pages of the block past them go back to the system.
void ShrinkDib(TDibRecord& dib, int width, int height);

// Frees everything the record owns; accepts a record without pixels. Pixels
// that other records share stay until the last of them is freed.
void deldib(TDibRecord dib);

// A second record of dib's picture with a header and palette of its own and
// the same pixel memory, which nobody may write to while it is shared: a
// copy made up front would cost a large photo's bytes twice. No pixels when
// dib has none or there is no memory for the header.
TDibRecord ShareDib(const TDibRecord& dib);
// Whether another record shares the record's pixels.
bool DibShared(const TDibRecord& dib);

// Reads a picture file. Failure (unreadable, unknown or malformed) yields a
// record without pixels. windowHandle is accepted for the call's shape only.
void OpenDib(TDibRecord* dib, const char* path, int reserved, void* windowHandle);

// A JPEG file decoded at the smallest of libjpeg's reduced sizes (1/8, 1/4,
// 1/2) that still fills a box of boxWidth x boxHeight when fitted into it
// upright: the quick stand-in for a large picture. False (no pixels) when
// none does, for any other file and on any fault.
bool OpenDibReduced(TDibRecord* dib, const char* path, int boxWidth, int boxHeight);

// An 8-bit copy of a 24-bit picture for palette screens, at its own size or
// scaled to width x height.
void DIBHalftoneDIB(TDibRecord* dst, const TDibRecord& src);
void DIBHalftoneDIBXY(TDibRecord* dst, const TDibRecord& src, int width, int height);

double power(double base, double exponent);

// "Description|mask|Description|mask..." of the readable formats; static text.
const char* GetDIBOpenFilter();

// Pixel blocks larger than this are refused like a failed allocation.
void SetDibAllocationLimit(std::size_t bytes);
std::size_t DibAllocationLimit();
constexpr std::size_t kDefaultDibAllocationLimit = std::size_t(1) << 30;

// Pictures allocated by newdib and not yet released by deldib.
int LiveDibCount();

// Pixel access with rows counted from the top. A 24-bit value is 0x00BBGGRR
// (red in the lowest byte, the order of a COLORREF). Coordinates outside the
// picture read 0 and write nothing.
inline std::uint8_t* DibRowFromTop(const TDibRecord& d, int y)
{
    return d.Bits + std::ptrdiff_t(d.Info->bmiHeader.biHeight - 1 - y) * d.LineBytes;
}

inline bool DibContains(const TDibRecord& d, int x, int y)
{
    return d.Bits && x >= 0 && y >= 0 && x < d.Info->bmiHeader.biWidth &&
           y < d.Info->bmiHeader.biHeight;
}

inline std::uint32_t getpixel(const TDibRecord& d, int x, int y)
{
    if (!DibContains(d, x, y))
        return 0;
    const std::uint8_t* row = DibRowFromTop(d, y);
    const std::ptrdiff_t i = x; // byte offsets of wide rows pass 2^31
    switch (d.Info->bmiHeader.biBitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case 8:
        return row[x];
    case 16:
        return std::uint32_t(row[2 * i]) | (std::uint32_t(row[2 * i + 1]) << 8);
    case 24: {
        const std::uint8_t* p = row + 3 * i; // stored blue, green, red
        return std::uint32_t(p[2]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[0]) << 16);
    }
    case 32: {
        const std::uint8_t* p = row + 4 * i;
        return std::uint32_t(p[2]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[0]) << 16) |
               (std::uint32_t(p[3]) << 24);
    }
    default:
        return 0;
    }
}

inline void setpixel(const TDibRecord& d, int x, int y, std::uint32_t value)
{
    if (!DibContains(d, x, y))
        return;
    std::uint8_t* row = DibRowFromTop(d, y);
    const std::ptrdiff_t i = x;
    switch (d.Info->bmiHeader.biBitCount) {
    case 1: {
        const std::uint8_t mask = std::uint8_t(0x80u >> (x & 7));
        row[x >> 3] =
            (value & 1u) ? std::uint8_t(row[x >> 3] | mask) : std::uint8_t(row[x >> 3] & ~mask);
        break;
    }
    case 4:
        row[x >> 1] = (x & 1) ? std::uint8_t((row[x >> 1] & 0xF0u) | (value & 0x0Fu))
                              : std::uint8_t((row[x >> 1] & 0x0Fu) | ((value & 0x0Fu) << 4));
        break;
    case 8:
        row[x] = std::uint8_t(value);
        break;
    case 16:
        row[2 * i] = std::uint8_t(value);
        row[2 * i + 1] = std::uint8_t(value >> 8);
        break;
    case 24: {
        std::uint8_t* p = row + 3 * i;
        p[0] = std::uint8_t(value >> 16);
        p[1] = std::uint8_t(value >> 8);
        p[2] = std::uint8_t(value);
        break;
    }
    case 32: {
        std::uint8_t* p = row + 4 * i;
        p[0] = std::uint8_t(value >> 16);
        p[1] = std::uint8_t(value >> 8);
        p[2] = std::uint8_t(value);
        p[3] = std::uint8_t(value >> 24);
        break;
    }
    default:
        break;
    }
}
