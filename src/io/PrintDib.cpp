#include "io/PrintDib.h"

#include "display/StretchDrawDib.h"
#include "gdi/PrinterDC.h"
#include "imagora/Imagora.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

namespace {

// The part of r that lies on a page of width x height.
PlacedRect OnPage(const PlacedRect& r, int width, int height)
{
    const int left = std::clamp(r.x, 0, width), top = std::clamp(r.y, 0, height);
    const int right = std::clamp(r.x + r.width, 0, width);
    const int bottom = std::clamp(r.y + r.height, 0, height);
    return {left, top, right - left, bottom - top};
}

} // namespace

bool PrintDib(const TDibRecord& dib, const PrintOptions& options, PrintTarget& target,
              std::string& error)
{
    if (!dib.Bits) {
        error = "Das Bild enthält keine Bildpunkte.";
        return false;
    }
    const PrinterPage page = target.Page();
    if (page.width <= 0 || page.height <= 0) {
        error = "Der Drucker meldet keine Seitengröße.";
        return false;
    }
    // The page is held like a picture: 4 bytes a pixel, within the same limit.
    std::unique_ptr<PrinterDC> dc;
    if (std::uint64_t(page.width) * std::uint64_t(page.height) * 4 <= DibAllocationLimit()) {
        try {
            dc = std::make_unique<PrinterDC>(page.width, page.height, page.dpiX, page.dpiY);
        } catch (const std::bad_alloc&) {
        }
    }
    if (!dc) {
        error = "Nicht genug Speicher für die Druckseite (" + std::to_string(page.width) + " × " +
                std::to_string(page.height) + " Punkte).";
        return false;
    }
    const int w = DibWidth(dib), h = DibHeight(dib);
    const PlacedRect r = PlaceOnPage(page.width, page.height, w, h, options);
    StretchDrawDib(dc.get(), r.x, r.y, r.width, r.height, dib, 0, 0, w, h, false, SRCCOPY, true,
                   nullptr);
    return target.PrintPage(kPrintJobTitle, *dc, OnPage(r, page.width, page.height), error);
}
