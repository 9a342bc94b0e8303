#include "geometry/CropOverlay.h"

#include "gdi/LogicalPixels.h"
#include "gdi/RasterDC.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Every logical pixel of the outline becomes a block of device pixels, so the
// dots keep their size and lie on the picture's pixels at any scale.
class DottedPath {
public:
    explicit DottedPath(HDC dc) : dc_(dc) {}

    // From (x0, y0) up to, not including, (x1, y1) along a row or a column;
    // the dots run on from one leg to the next.
    void Leg(int x0, int y0, int x1, int y1)
    {
        const int sx = x1 > x0 ? 1 : x1 < x0 ? -1 : 0, sy = y1 > y0 ? 1 : y1 < y0 ? -1 : 0;
        for (int x = x0, y = y0; x != x1 || y != y1; x += sx, y += sy) {
            dc_->SetBrush(dot_ ? RGB(0, 0, 0) : RGB(255, 255, 255)); // black dots, white gaps
            dc_->FillRect(RECT{LogicalToDevice(dc_, x), LogicalToDevice(dc_, y),
                               LogicalToDevice(dc_, x + 1), LogicalToDevice(dc_, y + 1)});
            dot_ = !dot_;
        }
    }

private:
    HDC dc_;
    bool dot_ = true;
};

void DimRow(RasterDC& raster, int y, int from, int to)
{
    std::uint32_t* row = raster.Row(y);
    const bool palette = raster.GetDeviceCaps(BITSPIXEL) <= 8; // shows only its palette's colours
    for (int x = from; x < to; ++x) {
        const std::uint32_t halved = (row[x] >> 1) & 0x7F7F7Fu;
        row[x] = palette ? RasterFromColor(raster.MapColor(ColorFromRaster(halved))) : halved;
    }
}

// Halves the brightness of the picture's pixels outside keep. Screens are
// rasters; a device that is not one is left as it is.
void DimOutside(HDC dc, const RECT& picture, const RECT& keep)
{
    auto* raster = dynamic_cast<RasterDC*>(dc);
    if (!raster)
        return;
    const int right = std::min<int>(picture.right, raster->Width());
    const int bottom = std::min<int>(picture.bottom, raster->Height());
    for (int y = std::max<int>(picture.top, 0); y < bottom; ++y) {
        if (y < keep.top || y >= keep.bottom) {
            DimRow(*raster, y, 0, right);
            continue;
        }
        DimRow(*raster, y, 0, std::clamp<int>(keep.left, 0, right));
        DimRow(*raster, y, std::clamp<int>(keep.right, 0, right), right);
    }
}

} // namespace

void DrawCropOverlay(HDC dc, int drawnWidth, int drawnHeight, const RECT& box, bool dim)
{
    const auto device = [dc](int v) { return LogicalToDevice(dc, v); };
    if (dim)
        DimOutside(dc, RECT{0, 0, device(drawnWidth), device(drawnHeight)},
                   RECT{device(std::min(box.left, box.right)),
                        device(std::min(box.top, box.bottom)),
                        device(std::max(box.left, box.right) + 1),
                        device(std::max(box.top, box.bottom) + 1)});
    DottedPath path(dc);
    path.Leg(box.left, box.top, box.right, box.top);
    path.Leg(box.right, box.top, box.right, box.bottom);
    path.Leg(box.right, box.bottom, box.left, box.bottom);
    path.Leg(box.left, box.bottom, box.left, box.top);
}
