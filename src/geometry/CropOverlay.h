// The crop selection drawn over the fitted picture: what the cut throws away
// dimmed, and the dotted outline. Laid out in logical pixels, as the mouse
// gives them, and drawn at the device's resolution.
#pragma once

#include "gdi/DeviceContext.h"

// The picture is drawn drawnWidth x drawnHeight at the top-left corner; box
// is the selection's outline, its right and bottom edges on the last pixels
// inside. With dim, the picture outside the outline is darkened first.
void DrawCropOverlay(HDC dc, int drawnWidth, int drawnHeight, const RECT& box, bool dim);
