// Reads the pixels of an uncompressed bottom-up DIB as raster values
// (0x00RRGGBB), one span of a scan line at a time, for the transfers of the
// raster devices.
#pragma once

#include "base/WinTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>

class DibSource {
public:
    // The bits hold numScans scan lines starting with scan startScan (scans
    // count from the DIB's bottom row). False for anything but a 40-byte
    // header, positive width and height, BI_RGB and 1, 4, 8, 16 (5-5-5), 24
    // or 32 bits per pixel.
    bool Open(const BITMAPINFO* info, const void* bits, std::int64_t startScan,
              std::int64_t numScans);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Whether scan s lies in the DIB and in the lines that were handed over.
    bool HasScan(std::int64_t s) const { return s >= firstScan_ && s < endScan_; }
    // The scan lines of the DIB that were handed over.
    int AvailableScans() const { return int(endScan_ - firstScan_); }

    // out[i] = pixel column x0 + i of scan s; the columns lie in the DIB.
    void Copy(std::int64_t s, int x0, int n, std::uint32_t* out) const;
    // out[i] = pixel columns[i] of scan s.
    void Sample(std::int64_t s, const int* columns, int n, std::uint32_t* out) const;

private:
    template <typename Column>
    void Convert(std::int64_t s, int n, Column column, std::uint32_t* out) const;

    const std::uint8_t* bits_ = nullptr;
    std::ptrdiff_t stride_ = 0;
    std::int64_t startScan_ = 0; // the scan that bits_ points at
    std::int64_t firstScan_ = 0;
    std::int64_t endScan_ = 0;
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    std::array<std::uint32_t, 256> table_; // colour table as raster values; black past its end
};
