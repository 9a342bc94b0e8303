// A device context: the surface that every picture, bar and frame is drawn
// onto. HDC is a pointer to one, so drawing code reads like the platform
// calls it stands in for. The transfers are virtual so that tests can put a
// device in place that refuses or miscounts on purpose.
#pragma once

#include "base/GdiObjects.h"

#include <cstdint>

// GetDeviceCaps indices and answers
constexpr int TECHNOLOGY = 2;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;
constexpr int RC_DIBTODEV = 0x0200;

// stretch modes; every stretch of this layer samples points
constexpr int COLORONCOLOR = 3;

// the raster operation the program draws with; others are refused
constexpr std::uint32_t SRCCOPY = 0x00CC0020;

// StretchDIBits' failure value
constexpr int GDI_ERROR = -1;

// pen styles
constexpr int PS_SOLID = 0;
constexpr int PS_DOT = 2;

class DeviceContext;
using HDC = DeviceContext*;

class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    virtual int GetDeviceCaps(int index) const = 0;

    // Palettes: SelectPalette returns the palette it replaces (null is the
    // device's default); RealizePalette makes the selected one the device's
    // colours and returns how many.
    virtual HPALETTE SelectPalette(HPALETTE palette, bool forceBackground);
    virtual unsigned RealizePalette();
    HPALETTE SelectedPalette() const { return selected_; }
    HPALETTE RealizedPalette() const { return realized_; }

    // Returns the previous mode.
    virtual int SetStretchBltMode(int mode);
    int StretchBltMode() const { return stretchMode_; }

    // Bottom-up DIBs only; ySrc counts rows upwards from the DIB's bottom
    // row. Returns the number of scan lines copied, GDI_ERROR on refusal.
    virtual int StretchDIBits(int xDest, int yDest, int destW, int destH, int xSrc, int ySrc,
                              int srcW, int srcH, const void* bits, const BITMAPINFO* info,
                              unsigned usage, std::uint32_t rop) = 0;
    // Unscaled: bits hold numScans scan lines starting with scan startScan
    // (scans count from the bottom). Returns the lines set, 0 on failure.
    virtual int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                                  unsigned startScan, unsigned numScans, const void* bits,
                                  const BITMAPINFO* info, unsigned usage) = 0;
    // Writes DIB scan lines into a bitmap made by CreateCompatibleBitmap.
    // Returns the lines copied, 0 on failure.
    virtual int SetDIBits(HBITMAP bitmap, unsigned startScan, unsigned numScans, const void* bits,
                          const BITMAPINFO* info, unsigned usage) = 0;
    // Null on failure.
    virtual HBITMAP CreateCompatibleBitmap(int width, int height) = 0;
    // A memory device context, released with DeleteDC; null on failure.
    virtual HDC CreateCompatibleDC() = 0;
    // Selects a bitmap into a memory device context and returns the one it
    // replaces (null at first); other devices hold no bitmaps and return null.
    virtual HBITMAP SelectObject(HBITMAP bitmap);
    // Copies from another device with its rows counted from the top. Nonzero
    // on success.
    virtual int StretchBlt(int xDest, int yDest, int destW, int destH, HDC source, int xSrc,
                           int ySrc, int srcW, int srcH, std::uint32_t rop) = 0;

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
    virtual void PlotPenPixel(int x, int y, COLORREF colour) = 0;

private:
    HPALETTE selected_ = nullptr;
    HPALETTE realized_ = nullptr;
    int stretchMode_ = 1; // the platform's default, BLACKONWHITE
    COLORREF pen_ = 0;
    int penStyle_ = PS_SOLID;
    COLORREF brush_ = 0xFFFFFF;
    int x_ = 0, y_ = 0;
    bool dotOn_ = true; // a dotted pen's phase carries over from line to line
};

// Releases a device context made by CreateCompatibleDC; false for null.
bool DeleteDC(HDC dc);
