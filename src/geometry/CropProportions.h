// The proportions a crop selection can be held to, and the arithmetic that
// keeps a dragged selection to one, in picture pixels. Qt-free.
#pragma once

#include "base/WinTypes.h"

#include <array>
#include <string_view>

// Width to height; free when either is 0.
struct Proportion {
    int x = 0, y = 0;
    bool Free() const { return x <= 0 || y <= 0; }
};

// The crop page's choices, in the order of its combo box: free, the
// picture's own, then fixed formats.
struct CropProportionChoice {
    std::string_view Caption; // UTF-8
    Proportion Fixed;         // 0:0 for the first two
};
constexpr int kCropFree = 0;
constexpr int kCropAsPicture = 1;
extern const std::array<CropProportionChoice, 8> kCropProportions;

// The proportion of a choice for a picture of width x height; free for an
// unknown choice.
Proportion ProportionOf(int choice, int width, int height);

struct CropSize {
    int w = 0, h = 0;
};
// The largest size of the proportion within w x h: the whole width where the
// height it asks for fits, else the whole height. Sides are rounded, halves
// to even, and never exceed w or h.
CropSize FitSize(int w, int h, Proportion p);

// The largest rectangle of the proportion inside r, centred in it; r itself
// when p is free or r is empty.
RECT FitProportion(const RECT& r, Proportion p);

// A corner dragged from the fixed opposite corner (ax, ay) to the pointer
// (mx, my): the smallest rectangle of the proportion that reaches the pointer,
// made smaller where it would pass 0 or the limits.
RECT ProportionalCorner(int ax, int ay, int mx, int my, int limitX, int limitY, Proportion p);

// A left or right edge dragged from the fixed opposite edge at anchor to the
// pointer column: the height follows the width, centred where the selection
// was (centre2 is top + bottom), moved to stay within 0..limitY, and the width
// shrinks where that height does not fit.
RECT ProportionalSide(int anchor, int pointer, int centre2, int limitY, Proportion p);
