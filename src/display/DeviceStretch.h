// Drawing through the device's own DIB stretching, for every picture the row
// scalers do not take (palette depths other than 8, 16 and 32 bits, and any
// picture on a printer), with two fallbacks for devices that refuse it.
#pragma once

#include "gdi/DeviceContext.h"
#include "imagora/DibRecord.h"

#include <cstdint>

// The source rectangle must lie inside the picture and both sizes be
// positive. SrcY counts rows upwards from the picture's bottom row.
void StretchDibOnDevice(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                        const TDibRecord& Dib, int SrcX, int SrcY, int SrcWidth, int SrcHeight,
                        std::uint32_t Rop);
