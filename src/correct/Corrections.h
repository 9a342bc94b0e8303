// The six colour corrections behind the optimize page's modes. Each changes
// the picture in place: a palette picture through its colour table only (the
// pixel indices stay), a 24-bit picture pixel by pixel. Depths an operator
// does not treat, and empty records, are left as they are.
//
// Arguments outside the ranges the page passes are clamped to them, so no
// rule ever leaves 0..255: Offset, Change and Red/Green/Blue to -100..100,
// Percent to 0..200, High/Mid/Shadow to 0..255, Exponent to 0.1..9 (a NaN
// exponent counts as 1, the identity).
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

// Adds Offset to every channel. 1, 4, 8 and 24 bits.
void Helligkeit(TDibRecord& Dib, int Offset, ProgressSink& progress);

// Scales every channel around the middle by Percent (100 = unchanged). 1, 4,
// 8 and 24 bits; palettes use their own rule for increases, which pushes the
// dark half to 0 and the bright half to 255.
void Kontrast(TDibRecord& Dib, int Percent, ProgressSink& progress);

// Stretches (Change > 0) or compresses every channel around 128. 4, 8, 24 bits.
void Saettigung(TDibRecord& Dib, int Change, ProgressSink& progress);

// Mirrors the gamma curve of Exponent about the identity: exponents above 1
// brighten, below 1 darken. 4, 8 and 24 bits.
void Gamma(TDibRecord& Dib, double Exponent, ProgressSink& progress);

// Colours whose luminance reaches High turn white, those at or below Shadow
// black, all others shift by Mid - 128. 4, 8 and 24 bits.
void HighMidShadow(TDibRecord& Dib, int High, int Mid, int Shadow, ProgressSink& progress);

// Scales red, green and blue by 100 + the argument percent. 4, 8 and 24 bits.
void RedGreenBlue(TDibRecord& Dib, int Red, int Green, int Blue, ProgressSink& progress);

// The weighted brightness of a colour that the corrections' measures share.
inline int Luminance(int r, int g, int b)
{
    return (30 * r + 59 * g + 11 * b) / 100;
}
