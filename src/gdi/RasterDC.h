// A device context over a 32-bit raster (0x00RRGGBB per pixel, top-down rows:
// the byte order of QImage::Format_RGB32 and of a 32-bit DIB). It reports a
// display of 32 bits per pixel unless told otherwise; at 8 bits or fewer it
// behaves as a palette screen, mapping every colour it stores through the
// realised palette. Every stretch samples points (COLORONCOLOR), whatever
// the stretch mode says.
#pragma once

#include "gdi/DeviceContext.h"

#include <cstdint>
#include <vector>

class RasterDC : public DeviceContext {
public:
    // Owns a raster of width x height, cleared to black.
    RasterDC(int width, int height);
    // Draws into someone else's raster, such as a QImage's bits.
    RasterDC(std::uint32_t* pixels, int width, int height, int strideBytes);

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t* Row(int y) { return pixelsAt(y); }
    const std::uint32_t* Row(int y) const { return pixelsAt(y); }
    // The pixel as a COLORREF (red lowest); 0 outside.
    COLORREF Pixel(int x, int y) const;

    void SetBitsPerPixel(int bits);
    void SetTechnology(int technology) { technology_ = technology; }
    // Answers of LOGPIXELSX and LOGPIXELSY; 96 unless set.
    void SetResolution(int dpiX, int dpiY);

    int GetDeviceCaps(int index) const override;
    unsigned RealizePalette() override;

    int StretchDIBits(int xDest, int yDest, int destW, int destH, int xSrc, int ySrc, int srcW,
                      int srcH, const void* bits, const BITMAPINFO* info, unsigned usage,
                      std::uint32_t rop) override;
    int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                          unsigned startScan, unsigned numScans, const void* bits,
                          const BITMAPINFO* info, unsigned usage) override;
    int SetDIBits(HBITMAP bitmap, unsigned startScan, unsigned numScans, const void* bits,
                  const BITMAPINFO* info, unsigned usage) override;
    // A black bitmap of the raster's kind; null for an empty or huge size.
    HBITMAP CreateCompatibleBitmap(int width, int height) override;
    // A memory device context with this device's depth and resolution.
    HDC CreateCompatibleDC() override;
    // The source must be another RasterDC (a memory DC with its bitmap).
    int StretchBlt(int xDest, int yDest, int destW, int destH, HDC source, int xSrc, int ySrc,
                   int srcW, int srcH, std::uint32_t rop) override;

    void FillRect(const RECT& r) override;

    // A colour as this device shows it: through the realised palette on a
    // palette screen, unchanged otherwise.
    COLORREF MapColor(COLORREF colour) const;
    // Writes a colour already mapped by MapColor; clipped to the raster.
    void PutPixel(int x, int y, COLORREF colour);

protected:
    void PlotPenPixel(int x, int y, COLORREF colour) override;
    // Points the device at another raster (a memory DC's selected bitmap).
    void Attach(std::uint32_t* pixels, int width, int height, int strideBytes);

private:
    std::uint32_t* pixelsAt(int y) const
    {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(pixels_) +
                                                std::ptrdiff_t(y) * stride_);
    }
    bool MapsColours() const;
    // Maps raster values just stored through the palette on a palette screen.
    void MapSpan(std::uint32_t* p, int n) const;

    // Point sampling of both stretches; see RasterBlit.cpp.
    template <typename SourceRow, typename SampleRow>
    void Stretch(int xDest, int yDest, int destW, int destH, int xSrc, int srcW, int srcWidth,
                 int srcH, SourceRow sourceRow, SampleRow sampleRow);

    struct MapSlot {
        std::uint32_t key = 0; // raster value with kMapped set; 0 = empty
        std::uint32_t value = 0;
    };

    std::vector<std::uint32_t> own_;
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    int bitsPerPixel_ = 32;
    int technology_ = DT_RASDISPLAY;
    int dpiX_ = 96;
    int dpiY_ = 96;
    // The colours of the palette last realised: the screen keeps showing them
    // even after the palette object is deleted.
    std::vector<PALETTEENTRY> realizedColours_;
    // Nearest-colour answers of the realised palette: a palette screen would
    // otherwise search the palette once per pixel drawn.
    mutable std::vector<MapSlot> mapCache_;
};

// Raster pixel <-> COLORREF
constexpr std::uint32_t RasterFromColor(COLORREF c)
{
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
constexpr COLORREF ColorFromRaster(std::uint32_t p)
{
    return RGB(std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p));
}
