#include "io/PrintLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Nearest integer, halves to the even neighbour.
int Round(double q)
{
    return int(std::nearbyint(q));
}

// Trunc, kept inside int: a percentage derived for a needle-thin picture can
// be any size, and the spin edit limits it anyway.
int TruncToInt(double q)
{
    constexpr double limit = std::numeric_limits<int>::max();
    return int(std::clamp(std::trunc(q), -limit, limit));
}

} // namespace

PlacedRect PlaceOnPage(int pageWidth, int pageHeight, int imageWidth, int imageHeight,
                       const PrintOptions& options)
{
    if (imageWidth <= 0 || imageHeight <= 0)
        return {0, 0, 0, 0};
    int w, h;
    if (options.useFull) {
        w = pageWidth;
        h = pageHeight;
        if (options.keepAspect) {
            const std::int64_t t = std::int64_t(imageHeight) * w / imageWidth;
            if (t > pageHeight)
                w = int(std::int64_t(imageWidth) * pageHeight / imageHeight);
            else
                h = int(t);
        }
    } else {
        w = Round(options.widthPercent * double(pageWidth) / 100);
        h = Round(options.heightPercent * double(pageHeight) / 100);
    }
    if (!options.centred)
        return {0, 0, w, h};
    return {(pageWidth - w) / 2, (pageHeight - h) / 2, w, h};
}

PlacedRect PreviewPage(int boxWidth, int boxHeight, int printerWidth, int printerHeight)
{
    if (printerWidth <= 0 || printerHeight <= 0)
        return {0, 0, 0, 0};
    int pw, ph;
    if (printerHeight < printerWidth) {
        pw = boxWidth;
        ph = int(std::int64_t(boxWidth) * printerHeight / printerWidth);
    } else {
        ph = boxHeight;
        pw = int(std::int64_t(boxHeight) * printerWidth / printerHeight);
    }
    return {(boxWidth - pw) / 2, (boxHeight - ph) / 2, pw, ph};
}

int LinkedHeightPercent(int widthPercent, int imageWidth, int imageHeight, int pageWidth,
                        int pageHeight)
{
    if (imageWidth <= 0 || pageHeight <= 0)
        return widthPercent;
    // The product is taken in 32 bits, as a picture's height times a
    // percentage always fits; the rest in floating point.
    const int product = imageHeight * widthPercent;
    return TruncToInt(double(product) / imageWidth * pageWidth / pageHeight);
}

int LinkedWidthPercent(int heightPercent, int imageWidth, int imageHeight, int pageWidth,
                       int pageHeight)
{
    if (imageHeight <= 0 || pageWidth <= 0)
        return heightPercent;
    const int product = imageWidth * heightPercent;
    return TruncToInt(double(product) / imageHeight * pageHeight / pageWidth);
}

int EffectivePrintDpi(int imageWidth, int imageHeight, int printedWidth, int printedHeight,
                      int dpiX, int dpiY)
{
    if (printedWidth <= 0 || printedHeight <= 0)
        return 0;
    const double across = double(imageWidth) * dpiX / printedWidth;
    const double down = double(imageHeight) * dpiY / printedHeight;
    return Round(std::min(across, down));
}
