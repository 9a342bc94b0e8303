// The picture record that the whole program passes around. A plain copy
// shares the buffers of the original; ownership moves by assignment and ends
// with deldib. A record without pixels has Bits == nullptr.
#pragma once

#include "base/WinTypes.h"

#include <cstdint>

struct TDibRecord {
    BITMAPINFO* Info = nullptr;   // header and colour table
    std::uint32_t LibData1 = 0;   // library: non-zero for an allocated picture
    std::uint32_t LibData2 = 0;   // library: size of the pixel block
    std::uint8_t* Bits = nullptr; // rows bottom-up
    std::int32_t LineBytes = 0;   // bytes per stored row, a multiple of 4
    std::uint8_t HasPalette = 0;  // 1: draw through PaletteHandle
    std::uint8_t LibFlag = 0;     // library-owned
    LOGPALETTE Palette{};         // red, green, blue, flags
    HPALETTE PaletteHandle = nullptr;
    std::uint8_t LibTail[28]{}; // library-owned
};

// The small functions on a record. An empty record (no header) reads as 0 x 0
// with 0 bits, so callers that compute with it draw and change nothing.
inline int DibWidth(const TDibRecord& d)
{
    return d.Info ? d.Info->bmiHeader.biWidth : 0;
}
inline int DibHeight(const TDibRecord& d)
{
    return d.Info ? d.Info->bmiHeader.biHeight : 0;
}
inline int DibBitCount(const TDibRecord& d)
{
    return d.Info ? d.Info->bmiHeader.biBitCount : 0;
}

// 2 to the power n by doubling in 32-bit arithmetic; 1 for n <= 0.
inline std::int32_t TwoPow(std::int32_t n)
{
    std::uint32_t v = 1;
    for (std::int32_t i = 0; i < n; ++i)
        v *= 2;
    return std::int32_t(v);
}

inline std::int32_t DibColorCount(const TDibRecord& d)
{
    return TwoPow(DibBitCount(d));
}

// The colour count handed to newdib when copying a picture's colour table:
// the table's size for palette pictures, 0 for true colour.
inline int DibTableColors(const TDibRecord& d)
{
    const int n = DibColorCount(d);
    return n > 256 ? 0 : n;
}

inline bool DibHasPixels(const TDibRecord& d)
{
    return d.Bits != nullptr;
}
