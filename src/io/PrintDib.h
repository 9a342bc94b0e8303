// Printing a picture on one page: the page is a drawing-layer device of the
// printer's page size in device pixels, the picture is drawn onto it as the
// print dialog lays it out, and the page goes to the printer as one job.
#pragma once

#include "imagora/DibRecord.h"
#include "io/PrintLayout.h"

#include <string>

class RasterDC;

// The printable area in device pixels and the device's resolution.
struct PrinterPage {
    int width = 0, height = 0;
    int dpiX = 0, dpiY = 0;
};

// A printer as printing needs it; the window and the command line hand in
// one over the system's printing.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    virtual PrinterPage Page() const = 0;
    // Starts a job called title, prints page, of which drawn holds all that
    // is not white, and ends the job. False with a German reason when the
    // job could not start or finish.
    virtual bool PrintPage(const std::string& title, const RasterDC& page, const PlacedRect& drawn,
                           std::string& reason) = 0;
};

inline constexpr char kPrintJobTitle[] = "Kelvora Bild";

// Prints the whole picture as options place it on target's page. False with
// a German message in error when nothing was printed.
bool PrintDib(const TDibRecord& dib, const PrintOptions& options, PrintTarget& target,
              std::string& error);
