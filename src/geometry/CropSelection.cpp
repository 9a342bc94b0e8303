#include "geometry/CropSelection.h"

#include "geometry/CropProportions.h"
#include "geometry/Rounding.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

constexpr int kEdgeZone = 5; // paint-box pixels either side of an edge that grab it

// A dragged edge stops one pixel short of the last drawn column or row; on
// a picture drawn one pixel wide it stays at 0.
int KeepInside(int v, int last)
{
    return std::max(0, std::min(v, last - 1));
}

int ToBox(int v, int drawn, int size)
{
    return Round(static_cast<long double>(std::int64_t(v) * drawn) / size);
}

// Moved by (dx, dy) with its size kept, no further than the picture's edges.
RECT MovedInside(const RECT& r, int dx, int dy, int width, int height)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int left = std::max(0, std::min(r.left + dx, width - w));
    const int top = std::max(0, std::min(r.top + dy, height - h));
    return RECT{left, top, left + w, top + h};
}

RECT Transposed(const RECT& r)
{
    return RECT{r.top, r.left, r.bottom, r.right};
}

} // namespace

void CropSelection::FitSelection(int drawnWidth, int drawnHeight, int width, int height,
                                 const RECT& crop)
{
    drawnWidth_ = drawnWidth;
    drawnHeight_ = drawnHeight;
    width_ = width;
    height_ = height;
    const bool shown = width > 0 && height > 0 && drawnWidth > 0 && drawnHeight > 0;
    CropScaleX = shown ? double(static_cast<long double>(drawnWidth) / width) : 0.0;
    CropScaleY = shown ? double(static_cast<long double>(drawnHeight) / height) : 0.0;
    CropMaxX = shown ? drawnWidth - 1 : -1;
    CropMaxY = shown ? drawnHeight - 1 : -1;
    BoxFromCrop(crop);
}

void CropSelection::BoxFromCrop(const RECT& crop)
{
    if (CropMaxX < 0 || CropMaxY < 0) {
        CropBoxRect = RECT{0, 0, -1, -1};
        return;
    }
    CropBoxRect =
        RECT{ToBox(crop.left, drawnWidth_, width_), ToBox(crop.top, drawnHeight_, height_),
             std::min(ToBox(crop.right, drawnWidth_, width_), CropMaxX),
             std::min(ToBox(crop.bottom, drawnHeight_, height_), CropMaxY)};
}

int CropSelection::ImageColumn(int x) const
{
    return CropScaleX > 0 ? Round(x / static_cast<long double>(CropScaleX)) : 0;
}

int CropSelection::ImageRow(int y) const
{
    return CropScaleY > 0 ? Round(y / static_cast<long double>(CropScaleY)) : 0;
}

bool CropSelection::CanMoveAt(int X, int Y) const
{
    const RECT& b = CropBoxRect;
    const bool whole = b.left <= 0 && b.top <= 0 && b.right >= CropMaxX && b.bottom >= CropMaxY;
    return !whole && b.left < X && X < b.right && b.top < Y && Y < b.bottom;
}

CropSelection::Press CropSelection::SelectionMouseDown(int X, int Y, RECT& crop)
{
    start_ = crop;
    pressX_ = X;
    pressY_ = Y;
    moving_ = false;
    if (CropOnEdge) {
        CropDragMode = 1;
        return Press::Edges;
    }
    if (X < 0 || X > CropMaxX || Y < 0 || Y > CropMaxY)
        return Press::Nothing;
    CropDragMode = 1;
    if (CanMoveAt(X, Y)) {
        moving_ = true;
        return Press::Move;
    }
    CropBoxRect = RECT{X, Y, X, Y};
    // A new band grows from its top-left corner; grabs swapped during an
    // earlier drag must not linger.
    GrabLeft = GrabTop = false;
    GrabRight = GrabBottom = true;
    crop = RECT{ImageColumn(X), ImageRow(Y), ImageColumn(X), ImageRow(Y)};
    start_ = crop;
    return Press::NewBand;
}

void CropSelection::DragHeldToProportion(int X, int Y, RECT& crop) const
{
    const Proportion p = ProportionOf(CropProportion, width_, height_);
    // The pointer and the limits as far as free edges go, in picture pixels.
    const int mx = ImageColumn(KeepInside(X, CropMaxX)), my = ImageRow(KeepInside(Y, CropMaxY));
    const int limitX = ImageColumn(std::max(0, CropMaxX - 1));
    const int limitY = ImageRow(std::max(0, CropMaxY - 1));
    const int ax = GrabLeft ? start_.right : start_.left;
    const int ay = GrabTop ? start_.bottom : start_.top;
    const bool across = GrabLeft || GrabRight, down = GrabTop || GrabBottom;
    if (across && down)
        crop = ProportionalCorner(ax, ay, mx, my, limitX, limitY, p);
    else if (across)
        crop = ProportionalSide(ax, mx, start_.top + start_.bottom, limitY, p);
    else if (down)
        crop = Transposed(
            ProportionalSide(ay, my, start_.left + start_.right, limitX, Proportion{p.y, p.x}));
}

void CropSelection::SelectionDrag(int X, int Y, RECT& crop)
{
    if (moving_) {
        crop =
            MovedInside(start_, ImageColumn(X - pressX_), ImageRow(Y - pressY_), width_, height_);
        BoxFromCrop(crop);
        return;
    }
    if (!ProportionOf(CropProportion, width_, height_).Free()) {
        DragHeldToProportion(X, Y, crop);
        BoxFromCrop(crop);
        return;
    }
    RECT& b = CropBoxRect;
    if (GrabLeft)
        b.left = X;
    if (GrabRight)
        b.right = X;
    if (GrabTop)
        b.top = Y;
    if (GrabBottom)
        b.bottom = Y;
    b = RECT{KeepInside(b.left, CropMaxX), KeepInside(b.top, CropMaxY),
             KeepInside(b.right, CropMaxX), KeepInside(b.bottom, CropMaxY)};
    crop = RECT{ImageColumn(b.left), ImageRow(b.top), ImageColumn(b.right), ImageRow(b.bottom)};
    if (crop.right < crop.left) {
        std::swap(crop.left, crop.right);
        std::swap(GrabLeft, GrabRight);
    }
    if (crop.bottom < crop.top) {
        std::swap(crop.top, crop.bottom);
        std::swap(GrabTop, GrabBottom);
    }
    BoxFromCrop(crop); // as the repaint that follows derives it
}

CropCursor CropSelection::SelectionHover(int X, int Y)
{
    const RECT& b = CropBoxRect;
    const bool alongY = b.top <= Y && Y <= b.bottom;
    const bool alongX = b.left <= X && X <= b.right;
    const bool left = b.left - kEdgeZone < X && X < b.left + kEdgeZone && X < b.right && alongY;
    const bool right =
        !left && b.right - kEdgeZone < X && X < b.right + kEdgeZone && X > b.left && alongY;
    const bool top = b.top - kEdgeZone < Y && Y < b.top + kEdgeZone && Y < b.bottom && alongX;
    const bool bottom =
        !top && b.bottom - kEdgeZone < Y && Y < b.bottom + kEdgeZone && Y > b.top && alongX;

    CropCursor cursor = crDefault;
    if ((left || right) && !(top || bottom))
        cursor = crSizeWE;
    if ((top || bottom) && !(left || right))
        cursor = crSizeNS;
    if ((left && top) || (right && bottom))
        cursor = crSizeNWSE;
    if ((right && top) || (left && bottom))
        cursor = crSizeNESW;
    if (cursor == crDefault && CanMoveAt(X, Y))
        cursor = crSizeAll;

    GrabLeft = left;
    GrabRight = right;
    GrabTop = top;
    GrabBottom = bottom;
    CropOnEdge = left || right || top || bottom;
    return cursor;
}

void CropSelection::SelectionMouseUp()
{
    CropDragMode = 0;
}

std::string SelectionSizeText(const RECT& crop)
{
    return std::to_string(crop.right - crop.left) + " \u00d7 " +
           std::to_string(crop.bottom - crop.top) + " Pixel";
}
