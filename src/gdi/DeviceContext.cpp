#include "gdi/DeviceContext.h"

#include <cstdlib>
#include <utility>

HPALETTE DeviceContext::SelectPalette(HPALETTE palette, bool /*forceBackground*/)
{
    return std::exchange(selected_, palette);
}

unsigned DeviceContext::RealizePalette()
{
    realized_ = selected_;
    return realized_ ? unsigned(realized_->entries.size()) : 0;
}

int DeviceContext::SetStretchBltMode(int mode)
{
    return std::exchange(stretchMode_, mode);
}

HBITMAP DeviceContext::SelectObject(HBITMAP /*bitmap*/)
{
    return nullptr;
}

bool DeleteDC(HDC dc)
{
    if (!dc)
        return false;
    delete dc;
    return true;
}

void DeviceContext::SetPen(COLORREF colour, int style)
{
    pen_ = colour;
    penStyle_ = style;
    dotOn_ = true;
}

void DeviceContext::Rectangle(int left, int top, int right, int bottom)
{
    if (right - left < 1 || bottom - top < 1)
        return;
    FillRect(RECT{left + 1, top + 1, right - 1, bottom - 1});
    MoveTo(left, top);
    LineTo(right - 1, top);
    LineTo(right - 1, bottom - 1);
    LineTo(left, bottom - 1);
    LineTo(left, top);
}

void DeviceContext::MoveTo(int x, int y)
{
    x_ = x;
    y_ = y;
}

void DeviceContext::LineTo(int x, int y)
{
    // Bresenham from the current position; the end point is left out.
    int cx = x_, cy = y_;
    const int dx = std::abs(x - cx), dy = -std::abs(y - cy);
    const int sx = cx < x ? 1 : -1, sy = cy < y ? 1 : -1;
    int err = dx + dy;
    while (cx != x || cy != y) {
        // A dotted pen's gaps show the brush colour, as the platform's canvas
        // draws them in its background colour, which follows the brush.
        PlotPenPixel(cx, cy, penStyle_ != PS_DOT || dotOn_ ? pen_ : brush_);
        dotOn_ = !dotOn_;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            cx += sx;
        }
        if (e2 <= dx) {
            err += dx;
            cy += sy;
        }
    }
    x_ = x;
    y_ = y;
}
