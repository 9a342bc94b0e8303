#include "gdi/RasterDC.h"

#include "gdi/Palette.h"

#include <algorithm>

RasterDC::RasterDC(int width, int height)
    : own_(std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0)), 0u),
      pixels_(own_.data()), width_(std::max(width, 0)), height_(std::max(height, 0)),
      stride_(width_ * 4)
{
}

RasterDC::RasterDC(std::uint32_t* pixels, int width, int height, int strideBytes)
    : pixels_(pixels), width_(width), height_(height), stride_(strideBytes)
{
}

COLORREF RasterDC::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return ColorFromRaster(Row(y)[x]);
}

int RasterDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case TECHNOLOGY:
        return technology_;
    case BITSPIXEL:
        return bitsPerPixel_;
    case RASTERCAPS:
        return RC_DIBTODEV;
    default:
        return 0;
    }
}

COLORREF RasterDC::MapColor(COLORREF colour) const
{
    if (bitsPerPixel_ > 8 || !RealizedPalette() || RealizedPalette()->entries.empty())
        return colour;
    const PALETTEENTRY& e =
        RealizedPalette()->entries[GetNearestPaletteIndex(RealizedPalette(), colour)];
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

void RasterDC::PutPixel(int x, int y, COLORREF colour)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    Row(y)[x] = RasterFromColor(colour);
}

void RasterDC::FillRect(const RECT& r)
{
    const int left = std::max(r.left, 0), right = std::min(r.right, width_);
    const int top = std::max(r.top, 0), bottom = std::min(r.bottom, height_);
    const std::uint32_t value = RasterFromColor(MapColor(BrushColor()));
    for (int y = top; y < bottom; ++y)
        std::fill(Row(y) + left, Row(y) + std::max(left, right), value);
}

void RasterDC::PlotPenPixel(int x, int y) { PutPixel(x, y, MapColor(PenColor())); }
