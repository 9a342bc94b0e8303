// Layout is worked out in logical pixels, 96 to the inch, the unit of window
// sizes and mouse positions. A device with more pixels to the inch (a HiDPI
// screen's canvas) draws that layout at its own resolution, so pictures come
// out sharp; at 96 dpi nothing changes.
#pragma once

#include "gdi/DeviceContext.h"

#include <cmath>

// A logical coordinate or length in the device's pixels.
inline int LogicalToDevice(HDC dc, int logical)
{
    const int dpi = dc->GetDeviceCaps(LOGPIXELSX);
    return dpi == 96 ? logical : int(std::lround(double(logical) * dpi / 96));
}
