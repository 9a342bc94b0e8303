#include "geometry/CropProportions.h"

#include "geometry/Rounding.h"

#include <algorithm>
#include <cstdlib>

const std::array<CropProportionChoice, 8> kCropProportions = {{
    {"frei", {}},
    {"wie Original", {}},
    {"1:1", {1, 1}},
    {"3:2", {3, 2}},
    {"2:3", {2, 3}},
    {"4:3", {4, 3}},
    {"3:4", {3, 4}},
    {"16:9", {16, 9}},
}};

namespace {

int HeightFor(int w, Proportion p)
{
    return Round(static_cast<long double>(w) * p.y / p.x);
}

int WidthFor(int h, Proportion p)
{
    return Round(static_cast<long double>(h) * p.x / p.y);
}

} // namespace

Proportion ProportionOf(int choice, int width, int height)
{
    if (choice == kCropAsPicture)
        return Proportion{width, height};
    if (choice < 0 || choice >= int(kCropProportions.size()))
        return Proportion{};
    return kCropProportions[std::size_t(choice)].Fixed;
}

CropSize FitSize(int w, int h, Proportion p)
{
    const int forWidth = HeightFor(w, p);
    if (forWidth <= h)
        return CropSize{w, forWidth};
    const int forHeight = std::min(w, WidthFor(h, p));
    return CropSize{forHeight, std::min(h, HeightFor(forHeight, p))};
}

RECT FitProportion(const RECT& r, Proportion p)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (p.Free() || w <= 0 || h <= 0)
        return r;
    const CropSize s = FitSize(w, h, p);
    const int left = r.left + (w - s.w) / 2, top = r.top + (h - s.h) / 2;
    return RECT{left, top, left + s.w, top + s.h};
}

RECT ProportionalCorner(int ax, int ay, int mx, int my, int limitX, int limitY, Proportion p)
{
    const int w = std::abs(mx - ax), h = std::abs(my - ay);
    const bool wide = static_cast<long long>(w) * p.y >= static_cast<long long>(h) * p.x;
    const CropSize reach = wide ? CropSize{w, HeightFor(w, p)} : CropSize{WidthFor(h, p), h};
    // The room from the anchor towards the pointer.
    const int roomX = std::max(0, mx < ax ? ax : limitX - ax);
    const int roomY = std::max(0, my < ay ? ay : limitY - ay);
    const CropSize s = FitSize(std::min(reach.w, roomX), std::min(reach.h, roomY), p);
    const int left = mx < ax ? ax - s.w : ax, top = my < ay ? ay - s.h : ay;
    return RECT{left, top, left + s.w, top + s.h};
}

RECT ProportionalSide(int anchor, int pointer, int centre2, int limitY, Proportion p)
{
    const CropSize s = FitSize(std::abs(pointer - anchor), std::max(0, limitY), p);
    const int left = pointer < anchor ? anchor - s.w : anchor;
    const int top = std::max(0, std::min((centre2 - s.h) / 2, limitY - s.h));
    return RECT{left, top, left + s.w, top + s.h};
}
