// A device context: the surface that every picture, bar and frame is drawn
// onto. HDC is a pointer to one, so drawing code reads like the platform
// calls it stands in for.
#pragma once

#include "gdi/GdiObjects.h"

#include <cstdint>

// GetDeviceCaps indices and answers
constexpr int TECHNOLOGY = 2;
constexpr int BITSPIXEL = 12;
constexpr int RASTERCAPS = 38;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;
constexpr int RC_DIBTODEV = 0x0200;

// pen styles
constexpr int PS_SOLID = 0;
constexpr int PS_DOT = 2;

class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    virtual int GetDeviceCaps(int index) const = 0;

    // Palettes: SelectPalette returns the palette it replaces; RealizePalette
    // makes the selected one the device's colours and returns how many.
    HPALETTE SelectPalette(HPALETTE palette, bool forceBackground);
    virtual unsigned RealizePalette();
    HPALETTE SelectedPalette() const { return selected_; }
    HPALETTE RealizedPalette() const { return realized_; }

    void SetPen(COLORREF colour, int style = PS_SOLID);
    void SetBrush(COLORREF colour) { brush_ = colour; }
    COLORREF PenColor() const { return pen_; }
    COLORREF BrushColor() const { return brush_; }

    // Fills left..right-1 x top..bottom-1 with the brush.
    virtual void FillRect(const RECT& r) = 0;
    // Outlines with the pen and fills the inside with the brush.
    virtual void Rectangle(int left, int top, int right, int bottom);
    void MoveTo(int x, int y);
    // Draws from the current position up to, not including, (x, y).
    void LineTo(int x, int y);

protected:
    virtual void PlotPenPixel(int x, int y) = 0;

private:
    HPALETTE selected_ = nullptr;
    HPALETTE realized_ = nullptr;
    COLORREF pen_ = 0;
    int penStyle_ = PS_SOLID;
    COLORREF brush_ = 0xFFFFFF;
    int x_ = 0, y_ = 0;
    bool dotOn_ = true; // a dotted pen's phase carries over from line to line
};

using HDC = DeviceContext*;
