#include "display/DrawFitted.h"

#include "display/FitInBox.h"
#include "display/StretchDrawDib.h"
#include "gdi/LogicalPixels.h"

void DrawFitted(HDC dc, int boxWidth, int boxHeight, const TDibRecord& dib)
{
    if (!dib.Bits)
        return;
    const int w = DibWidth(dib), h = DibHeight(dib);
    const FittedSize fit = AspectFit(boxWidth, boxHeight, w, h);
    if (fit.width <= 0 || fit.height <= 0)
        return;
    StretchDrawDib(dc, 0, 0, LogicalToDevice(dc, fit.width), LogicalToDevice(dc, fit.height), dib,
                   0, 0, w, h, true, SRCCOPY, true, nullptr);
}
