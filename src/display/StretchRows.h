// The program's own scalers for screens: point sampling, one destination row
// at a time, into a reused one-row DIB that is drawn with SetDIBitsToDevice.
#pragma once

#include "gdi/DeviceContext.h"
#include "imagora/DibRecord.h"

// SrcTop is the source rectangle's top row counted from the picture's top.
// Destination pixels whose source lies outside the picture are black.
void StretchRows24(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                   const TDibRecord& Dib, int SrcX, int SrcTop, int SrcWidth, int SrcHeight);
// The same for 8-bit pictures; the row DIB carries the picture's colour table.
void StretchRows8(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                  const TDibRecord& Dib, int SrcX, int SrcTop, int SrcWidth, int SrcHeight);
