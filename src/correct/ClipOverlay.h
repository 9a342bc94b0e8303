// What a variant of the grid would cost in clipped pixels: the variant drawn
// with the pixels it clips, and the current picture does not, marked.
#pragma once

#include "imagora/DibRecord.h"

#include <cstdint>

// The marks, as 0x00BBGGRR colour values.
constexpr std::uint32_t kClippedHighMark = 0x000000FF; // bright red
constexpr std::uint32_t kClippedLowMark = 0x00FF0000;  // blue

// A new 24-bit picture of variant with every pixel where some channel reaches
// 255 in variant and not in current shown in kClippedHighMark, else every
// pixel where some channel reaches 0 in variant and not in current shown in
// kClippedLowMark; the other pixels keep variant's colour. Burnt highlights
// win over blocked shadows in a pixel that has both, as they are the harder
// loss to see on a screen. Both pictures are of one size and of any depth of
// 1, 4, 8 or 24 bits; otherwise, or when the copy cannot be allocated, the
// record is empty.
TDibRecord MarkClipping(const TDibRecord& current, const TDibRecord& variant);
