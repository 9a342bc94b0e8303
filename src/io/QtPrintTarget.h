// The system's printing as a print target: a QPrinter, set up for a CUPS
// queue or a PDF file, takes the page.
#pragma once

#include "io/PrintDib.h"

class QPrinter;

class QtPrintTarget final : public PrintTarget {
public:
    // The page is offered at the printer's resolution, at most kMaxPrintDpi.
    explicit QtPrintTarget(QPrinter& printer);

    PrinterPage Page() const override;
    bool PrintPage(const std::string& title, const RasterDC& page, const PlacedRect& drawn,
                   std::string& reason) override;

private:
    QPrinter& printer_;
};

// The page goes to CUPS as PDF, which the printer's driver renders at its own
// resolution; beyond this a photo gains nothing but memory.
constexpr int kMaxPrintDpi = 600;

// The program's printer, made on first use with the system's default
// printer; the print dialog's set-up changes it for the rest of the run.
QPrinter& Printer();
