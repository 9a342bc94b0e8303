#include "geometry/CropSelection.h"

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

CropSelection::Press CropSelection::SelectionMouseDown(int X, int Y, RECT& crop)
{
    if (CropOnEdge) {
        CropDragMode = 1;
        return Press::Edges;
    }
    if (X < 0 || X > CropMaxX || Y < 0 || Y > CropMaxY)
        return Press::Nothing;
    CropDragMode = 1;
    CropBoxRect = RECT{X, Y, X, Y};
    // A new band grows from its top-left corner; grabs swapped during an
    // earlier drag must not linger.
    GrabLeft = GrabTop = false;
    GrabRight = GrabBottom = true;
    crop = RECT{ImageColumn(X), ImageRow(Y), ImageColumn(X), ImageRow(Y)};
    return Press::NewBand;
}

void CropSelection::SelectionDrag(int X, int Y, RECT& crop)
{
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

void DrawCropOutline(HDC dc, const RECT& box)
{
    dc->SetPen(RGB(0, 0, 0), PS_DOT);
    dc->SetBrush(RGB(255, 255, 255)); // the dotted pen's gaps
    dc->MoveTo(box.left, box.top);
    dc->LineTo(box.right, box.top);
    dc->LineTo(box.right, box.bottom);
    dc->LineTo(box.left, box.bottom);
    dc->LineTo(box.left, box.top);
}
