// Pieces every file decoder shares: sizing against the allocation limit,
// making the record a decoder fills, storing rows, compositing over white.
#pragma once

#include "imagora/DibRecord.h"

#include <cstdint>

// What a decoder may still allocate. The allocation limit covers the picture
// and every working buffer of one decoding together (staging rows, a whole
// frame, a library's own buffers where the library lets them be counted), so
// no file can make a decoder take more than one picture of the limit's size.
class DecodeBudget {
public:
    DecodeBudget();
    // Takes bytes from what is left; false, and nothing taken, when they do
    // not fit.
    bool Take(std::uint64_t bytes);
    bool TakePicture(const TDibRecord& dib) { return Take(dib.Info->bmiHeader.biSizeImage); }
    void Give(std::uint64_t bytes) { left_ += bytes; }
    std::uint64_t Left() const { return left_; }

private:
    std::uint64_t left_;
};

// Bits per pixel of a palette picture with `colours` entries: 1, 4 or 8.
int PaletteBitCount(int colours);

// A picture of the depth PaletteBitCount(count) whose colour table starts with
// `colours` (the rest black). count must be 1..256. On failure *out holds no
// pixels and the result is false.
bool NewPaletteDib(TDibRecord* out, int width, int height, const RGBQUAD* colours, int count);

// An 8-bit picture whose table is the grey ramp: index v shows grey v.
bool NewGreyDib(TDibRecord* out, int width, int height);

// A 24-bit picture.
bool NewTrueColourDib(TDibRecord* out, int width, int height);

// Stores count palette indices, one byte each, into picture row y (counted
// from the top) from column x on, packed to the picture's depth; the pixels
// around them keep their values. Indices at or past `colours` (or past what
// the depth holds) become 0, so a lying file never shows an undefined entry.
void StoreIndexSpan(const TDibRecord& dib, int y, int x, const std::uint8_t* indices, int count,
                    int colours);

// The same for a whole row.
inline void StoreIndexRow(const TDibRecord& dib, int y, const std::uint8_t* indices, int colours)
{
    StoreIndexSpan(dib, y, 0, indices, DibWidth(dib), colours);
}

// A colour channel over white: the nearest integer to (c*a + 255*(255-a)) / 255
// for a straight (not premultiplied) alpha a.
constexpr std::uint8_t OverWhite(unsigned c, unsigned a)
{
    return std::uint8_t((c * a + 255u * (255u - a) + 127u) / 255u);
}

// Blue, green, red, alpha pixels over white into a 24-bit row.
void CompositeBgraRow(std::uint8_t* bgr, const std::uint8_t* bgra, int width);

// Grey, alpha pairs over white into an 8-bit grey row.
void CompositeGreyAlphaRow(std::uint8_t* grey, const std::uint8_t* greyAlpha, int width);
