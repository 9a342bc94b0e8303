// A device context over a 32-bit raster (0x00RRGGBB per pixel, top-down rows:
// the byte order of QImage::Format_RGB32 and of a 32-bit DIB). It reports a
// display of 32 bits per pixel unless told otherwise; at 8 bits or fewer it
// behaves as a palette screen, mapping every colour through the realised
// palette.
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
    const std::uint32_t* Row(int y) const { return const_cast<RasterDC*>(this)->pixelsAt(y); }
    // The pixel as a COLORREF (red lowest); 0 outside.
    COLORREF Pixel(int x, int y) const;

    void SetBitsPerPixel(int bits) { bitsPerPixel_ = bits; }
    void SetTechnology(int technology) { technology_ = technology; }

    int GetDeviceCaps(int index) const override;
    void FillRect(const RECT& r) override;

    // A colour as this device shows it: through the realised palette on a
    // palette screen, unchanged otherwise.
    COLORREF MapColor(COLORREF colour) const;
    // Writes a colour already mapped by MapColor; clipped to the raster.
    void PutPixel(int x, int y, COLORREF colour);

protected:
    void PlotPenPixel(int x, int y) override;

private:
    std::uint32_t* pixelsAt(int y) const
    {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(pixels_) +
                                                std::ptrdiff_t(y) * stride_);
    }

    std::vector<std::uint32_t> own_;
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    int bitsPerPixel_ = 32;
    int technology_ = DT_RASDISPLAY;
};

// Raster pixel <-> COLORREF
constexpr std::uint32_t RasterFromColor(COLORREF c)
{
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) |
           GetBValue(c);
}
constexpr COLORREF ColorFromRaster(std::uint32_t p)
{
    return RGB(std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p));
}
