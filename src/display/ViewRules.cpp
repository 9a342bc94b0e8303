#include "display/ViewRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

struct Span {
    std::int64_t dest0, dest1, src0, src1;
};

// The source pixels showing in box pixels [view0, view1) of a box of size
// box for a picture of size image, and the box pixels they cover: box pixel
// X shows source pixel X * image div box, so source pixel s covers the box
// pixels from ceil(s * box / image) on.
Span VisibleSpan(std::int64_t image, std::int64_t box, std::int64_t view0, std::int64_t view1)
{
    const std::int64_t src0 = view0 * image / box;
    const std::int64_t src1 = std::min(image, (view1 * image + box - 1) / box);
    const auto first = [&](std::int64_t s) { return (s * box + image - 1) / image; };
    return {first(src0), src1 == image ? box : first(src1), src0, src1};
}

} // namespace

ZoomedSize ZoomedBoxSize(int imageWidth, int imageHeight, int zoomPercent)
{
    return {int(std::trunc(imageWidth * double(zoomPercent) / 100)),
            int(std::trunc(imageHeight * double(zoomPercent) / 100))};
}

ScrollPos PanScroll(ScrollPos now, int dragX, int dragY, int x, int y, int rangeH, int rangeV)
{
    int h = now.h + (dragX - x), v = now.v + (dragY - y);
    h = std::min(std::max(h, 0), rangeH - 1);
    v = std::min(std::max(v, 0), rangeV - 1);
    return {h, v};
}

bool VisibleDraw(int imageWidth, int imageHeight, int boxWidth, int boxHeight, int scrollX,
                 int scrollY, int viewWidth, int viewHeight, ViewDraw& draw)
{
    const std::int64_t x0 = std::max(scrollX, 0), y0 = std::max(scrollY, 0);
    const std::int64_t x1 = std::min<std::int64_t>(boxWidth, std::int64_t(scrollX) + viewWidth);
    const std::int64_t y1 = std::min<std::int64_t>(boxHeight, std::int64_t(scrollY) + viewHeight);
    if (imageWidth <= 0 || imageHeight <= 0 || x0 >= x1 || y0 >= y1)
        return false;
    const Span across = VisibleSpan(imageWidth, boxWidth, x0, x1);
    const Span down = VisibleSpan(imageHeight, boxHeight, y0, y1);
    if (across.src0 >= across.src1 || down.src0 >= down.src1)
        return false;
    draw = {
        int(across.dest0 - scrollX),    int(down.dest0 - scrollY), int(across.dest1 - across.dest0),
        int(down.dest1 - down.dest0),   int(across.src0),          int(imageHeight - down.src1),
        int(across.src1 - across.src0), int(down.src1 - down.src0)};
    return true;
}
