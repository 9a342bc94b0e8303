// The size at which a picture of w x h is shown in a box of W x H keeping its
// proportions: the full width when the picture is relatively wider than the
// box, else the full height. Integer arithmetic, truncating; the products are
// 64-bit, so very tall or wide pictures cannot overflow them.
#pragma once

#include <cstdint>

struct FittedSize {
    int width;
    int height;
};

constexpr FittedSize AspectFit(int boxWidth, int boxHeight, int w, int h)
{
    if (w <= 0 || h <= 0)
        return {0, 0};
    const std::int64_t fullWidthHeight = std::int64_t(boxWidth) * h / w;
    if (boxHeight < fullWidthHeight)
        return {int(std::int64_t(boxHeight) * w / h), boxHeight};
    return {boxWidth, int(fullWidthHeight)};
}
