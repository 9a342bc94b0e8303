#include "display/ViewRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

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

int ZoomStep(int zoom, int steps)
{
    static constexpr int kLadder[] = {5,    8,    10,   12,   17,   25,   33,  50,
                                      67,   100,  150,  200,  300,  400,  600, 800,
                                      1200, 1600, 2400, 3200, 4800, 6400, 9000};
    for (; steps > 0; --steps) {
        const int* next = std::upper_bound(std::begin(kLadder), std::end(kLadder), zoom);
        zoom = next == std::end(kLadder) ? kMaxZoom : *next;
    }
    for (; steps < 0; ++steps) {
        const int* next = std::lower_bound(std::begin(kLadder), std::end(kLadder), zoom);
        zoom = next == std::begin(kLadder) ? kMinZoom : *(next - 1);
    }
    return zoom;
}

int FitZoom(int imageWidth, int imageHeight, int areaWidth, int areaHeight)
{
    if (imageWidth <= 0 || imageHeight <= 0)
        return 100;
    // Whole percentages that keep w * zoom <= area * 100, so the truncated
    // zoomed size is at most the area.
    const std::int64_t across = std::int64_t(std::max(areaWidth, 0)) * 100 / imageWidth;
    const std::int64_t down = std::int64_t(std::max(areaHeight, 0)) * 100 / imageHeight;
    return int(std::clamp<std::int64_t>(std::min(across, down), kMinZoom, kMaxZoom));
}

int ZoomScroll(int scroll, int at, int oldBox, int newBox)
{
    if (oldBox <= 0)
        return scroll;
    const std::int64_t point = std::int64_t(scroll) + at;
    const std::int64_t moved = (2 * point * newBox + oldBox) / (2 * std::int64_t(oldBox));
    return int(std::clamp<std::int64_t>(moved - at, 0, std::numeric_limits<int>::max()));
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
