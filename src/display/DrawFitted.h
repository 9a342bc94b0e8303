// Draws a whole picture fitted into a box at its top-left corner, as every
// picture pane of the main window shows the working image.
#pragma once

#include "gdi/DeviceContext.h"
#include "imagora/DibRecord.h"

// The box and the fitting are in logical pixels; the picture is drawn at the
// device's resolution.
void DrawFitted(HDC dc, int boxWidth, int boxHeight, const TDibRecord& dib);
