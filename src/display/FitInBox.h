// The size at which a picture of w x h is shown in a box of W x H keeping its
// proportions: the full width when the picture is relatively wider than the
// box, else the full height. Integer arithmetic, truncating.
#pragma once

struct FittedSize {
    int width;
    int height;
};

constexpr FittedSize AspectFit(int boxWidth, int boxHeight, int w, int h)
{
    if (w <= 0 || h <= 0)
        return {0, 0};
    const int fullWidthHeight = boxWidth * h / w;
    if (boxHeight < fullWidthHeight)
        return {boxHeight * w / h, boxHeight};
    return {boxWidth, fullWidthHeight};
}
