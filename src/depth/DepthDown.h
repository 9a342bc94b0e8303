// Reducing a picture to 1, 4 or 8 bits: threshold or nearest palette colour,
// ordered dithering onto the standard palette's colour cube, or
// Floyd-Steinberg error distribution, with the standard or an optimized
// palette.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

#include <cstdint>

enum class DepthMethod {
    Nearest,       // each pixel the nearest palette colour; 1 bit: a brightness threshold
    Ordered,       // 8 bits only; other targets treat it as their other method
    FloydSteinberg // error distribution
};

// What the reduction dialog's OK hands over.
struct DepthDownChoice {
    DepthMethod Method = DepthMethod::FloydSteinberg;
    bool Optimized = true;      // the palette from the picture's own colours
    bool WindowsColours = true; // 8 bits, optimized: frame it with the 20 system colours
    friend bool operator==(const DepthDownChoice&, const DepthDownChoice&) = default;
};

// Splits a 24-bit pixel value into its bytes 0-7, 8-15 and 16-23.
inline void getrgb24(std::uint32_t Value, int& Low, int& Mid, int& High)
{
    Low = int(Value & 0xFF);
    Mid = int((Value >> 8) & 0xFF);
    High = int((Value >> 16) & 0xFF);
}

// The reduced picture, or an empty record when the pair is not converted
// (1 bit from 24, 8 or 4; 4 bits from 24 or 8; 8 bits from 24) or the new
// picture cannot be allocated. WorkDib itself is not changed.
//
// Ordered dithering maps onto the cube of the standard palette, so it always
// brings that palette along, whatever palette was chosen.
TDibRecord DepthDownTo(const TDibRecord& WorkDib, int T, const DepthDownChoice& choice,
                       ProgressSink& progress);

// Whether DepthDownTo reduces a picture of D bits to T bits.
bool DepthDownConverts(int T, int D);

// The two halves of DepthDownTo, for a preview that maps a part of the
// picture with the colour table made from all of it. New has T bits and any
// size; its table is built from WorkDib as the reduction builds it.
void DepthDownTable(const TDibRecord& WorkDib, TDibRecord& New, const DepthDownChoice& choice,
                    ProgressSink& progress);
// Source (WorkDib or a part of it) onto New's table; both of one size.
void DepthDownPixels(const TDibRecord& Source, TDibRecord& New, const DepthDownChoice& choice,
                     ProgressSink& progress);
