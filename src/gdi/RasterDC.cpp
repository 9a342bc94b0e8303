#include "gdi/RasterDC.h"

#include "gdi/MemoryDC.h"
#include "base/Palette.h"

#include <algorithm>
#include <new>

namespace {

constexpr std::uint32_t kMapped = 0x80000000u; // marks a filled slot of the colour cache
constexpr std::size_t kMapSlots = 1024;
// Compatible bitmaps above this many pixels (1 GiB) are refused like a
// failed allocation.
constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 28;

} // namespace

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

void RasterDC::Attach(std::uint32_t* pixels, int width, int height, int strideBytes)
{
    pixels_ = pixels;
    width_ = width;
    height_ = height;
    stride_ = strideBytes;
}

COLORREF RasterDC::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return ColorFromRaster(Row(y)[x]);
}

void RasterDC::SetBitsPerPixel(int bits)
{
    bitsPerPixel_ = bits;
    mapCache_.clear();
}

void RasterDC::SetResolution(int dpiX, int dpiY)
{
    dpiX_ = dpiX;
    dpiY_ = dpiY;
}

int RasterDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case TECHNOLOGY:
        return technology_;
    case HORZRES:
        return width_;
    case VERTRES:
        return height_;
    case BITSPIXEL:
        return bitsPerPixel_;
    case RASTERCAPS:
        return RC_DIBTODEV;
    case LOGPIXELSX:
        return dpiX_;
    case LOGPIXELSY:
        return dpiY_;
    default:
        return 0;
    }
}

unsigned RasterDC::RealizePalette()
{
    const unsigned n = DeviceContext::RealizePalette();
    if (RealizedPalette())
        realizedColours_ = RealizedPalette()->entries;
    else
        realizedColours_.clear();
    mapCache_.clear();
    return n;
}

bool RasterDC::MapsColours() const
{
    return bitsPerPixel_ <= 8 && !realizedColours_.empty();
}

COLORREF RasterDC::MapColor(COLORREF colour) const
{
    if (!MapsColours())
        return colour;
    const PALETTEENTRY& e = realizedColours_[NearestPaletteIndex(realizedColours_, colour)];
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

void RasterDC::MapSpan(std::uint32_t* p, int n) const
{
    if (!MapsColours())
        return;
    if (mapCache_.empty())
        mapCache_.resize(kMapSlots);
    for (int i = 0; i < n; ++i) {
        const std::uint32_t v = p[i] & 0xFFFFFFu;
        MapSlot& slot = mapCache_[((v * 2654435761u) >> 16) & (kMapSlots - 1)];
        if (slot.key != (v | kMapped))
            slot = MapSlot{v | kMapped, RasterFromColor(MapColor(ColorFromRaster(v)))};
        p[i] = slot.value;
    }
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

void RasterDC::PlotPenPixel(int x, int y, COLORREF colour)
{
    PutPixel(x, y, MapColor(colour));
}

HBITMAP RasterDC::CreateCompatibleBitmap(int width, int height)
{
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > kMaxBitmapPixels)
        return nullptr;
    auto* bitmap = new GdiBitmap;
    try {
        bitmap->pixels.assign(std::size_t(width) * std::size_t(height), 0u);
    } catch (const std::bad_alloc&) {
        delete bitmap;
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = height;
    return bitmap;
}

HDC RasterDC::CreateCompatibleDC()
{
    return new MemoryDC(*this);
}
