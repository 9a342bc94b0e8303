// A printer page: a white raster at the printer's resolution that reports
// itself as a raster printer, so drawing code takes its printer paths.
#pragma once

#include "gdi/RasterDC.h"

class PrinterDC : public RasterDC {
public:
    // A page of width x height device pixels at dpiX x dpiY dots per inch.
    PrinterDC(int width, int height, int dpiX, int dpiY);
};
