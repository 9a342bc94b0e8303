#include "gdi/PrinterDC.h"

#include <algorithm>

PrinterDC::PrinterDC(int width, int height, int dpiX, int dpiY) : RasterDC(width, height)
{
    SetTechnology(DT_RASPRINTER);
    SetBitsPerPixel(24);
    SetResolution(dpiX, dpiY);
    for (int y = 0; y < Height(); ++y)
        std::fill(Row(y), Row(y) + Width(), 0xFFFFFFu);
}
