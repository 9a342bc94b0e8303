// Draws a rectangle of a picture scaled onto a device context: a paint box's
// canvas or a printer page. Every preview and every print goes through here.
#pragma once

#include "gdi/DeviceContext.h"
#include "imagora/DibRecord.h"

#include <cstdint>
#include <functional>

// SrcY counts rows upwards from the picture's bottom row, as the device's DIB
// transfers do. Failures are reported by message box; the call always returns.
void StretchDrawDib(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                    const TDibRecord& Dib, int SrcX, int SrcY, int SrcWidth, int SrcHeight,
                    bool Halftone, std::uint32_t Rop, bool UseOwnPalette, HPALETTE CallerPalette);

// The desktop's bits per pixel, asked anew on every call. The window installs
// a probe that asks the screen; without one the answer is 32.
int ScreenBitsPerPixel();
std::function<int()> SetScreenBitsPerPixelProbe(std::function<int()> probe);
