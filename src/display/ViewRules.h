// The picture viewer's arithmetic: the zoomed size of the picture box, the
// scroll positions a drag or the wheel leads to, and the part of the picture
// that the visible part of the box shows.
#pragma once

struct ZoomedSize {
    int width, height;
    friend bool operator==(const ZoomedSize&, const ZoomedSize&) = default;
};

// Trunc(w * zoom / 100) x Trunc(h * zoom / 100), in floating point.
ZoomedSize ZoomedBoxSize(int imageWidth, int imageHeight, int zoomPercent);

// The zoom field's range, in percent.
constexpr int kMinZoom = 5;
constexpr int kMaxZoom = 9000;

// The zoom one step in (steps > 0) or out (steps < 0) from zoom per step, on
// a ladder of familiar percentages, so a few steps lead from a whole photo to
// its pixels and back to the same values; the range's ends stop it.
int ZoomStep(int zoom, int steps);

// The largest zoom at which the whole picture fits an area of areaWidth x
// areaHeight, within the zoom field's range.
int FitZoom(int imageWidth, int imageHeight, int areaWidth, int areaHeight);

// The scroll position that keeps the picture's point at view position at
// under it when the box grows or shrinks from oldBox to newBox pixels along
// the same direction; the scroll bar then keeps it within its range.
int ZoomScroll(int scroll, int at, int oldBox, int newBox);

struct ScrollPos {
    int h, v;
    friend bool operator==(const ScrollPos&, const ScrollPos&) = default;
};

// Where a drag from (dragX, dragY) to (x, y), both in box pixels, moves the
// scroll positions (h, v): by the distance dragged, raised to 0 and lowered
// to range - 1 in each direction (range: the box's size). The scroll bars
// then keep the positions within what can be scrolled.
ScrollPos PanScroll(ScrollPos now, int dragX, int dragY, int x, int y, int rangeH, int rangeV);

// One wheel step scrolls this far, down for positive steps.
constexpr int kWheelPixels = 20;
constexpr int WheelScroll(int v, int steps)
{
    return v + steps * kWheelPixels;
}

// The drawing that shows the visible part of a box of boxWidth x boxHeight
// holding the picture zoomed: the box's pixels from (scrollX, scrollY) on,
// viewWidth x viewHeight of them, drawn into a view whose (0, 0) is
// (scrollX, scrollY). The source is whole picture pixels; SrcY counts rows
// up from the bottom, as StretchDrawDib takes it. Each box pixel samples the
// picture pixel a whole-box drawing would, exactly so at whole-number zoom
// factors, so memory stays bounded by the view whatever the zoom.
struct ViewDraw {
    int destX, destY, destWidth, destHeight;
    int srcX, srcY, srcWidth, srcHeight;
    friend bool operator==(const ViewDraw&, const ViewDraw&) = default;
};
// False when no picture pixel is visible.
bool VisibleDraw(int imageWidth, int imageHeight, int boxWidth, int boxHeight, int scrollX,
                 int scrollY, int viewWidth, int viewHeight, ViewDraw& draw);
