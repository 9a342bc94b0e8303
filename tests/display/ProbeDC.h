// A raster device that records what the drawing routine asks of it and can
// be told to refuse: to stand in for screens and printers whose drivers
// answer differently from ours.
#pragma once

#include "gdi/MemoryDC.h"
#include "gdi/RasterDC.h"

#include <functional>
#include <optional>
#include <vector>

class ProbeDC : public RasterDC {
public:
    // One StretchDIBits or SetDIBitsToDevice call.
    struct Transfer {
        int xDest, yDest, width, height;
        int xSrc, ySrc, srcW, srcH;   // StretchDIBits' source rectangle
        unsigned startScan, numScans; // SetDIBitsToDevice's scans
        const void* bits;
        int dibWidth, dibHeight, bitCount; // of the DIB handed over
        std::uint32_t rop;
        HPALETTE selected, realized; // the device's palettes during the call
    };

    ProbeDC(int width, int height) : RasterDC(width, height) {}

    // Forced answers: the call is recorded, draws nothing and answers this.
    std::optional<int> stretchDIBitsAnswer, setDIBitsToDeviceAnswer, setDIBitsAnswer,
        stretchBltAnswer;
    bool dibToDevice = true;  // RASTERCAPS reports RC_DIBTODEV
    bool bitmapsFail = false; // CreateCompatibleBitmap answers null
    // Runs after every SetDIBitsToDevice call.
    std::function<void(const Transfer&)> afterSetDIBitsToDevice;

    std::vector<Transfer> stretches, sets;
    std::vector<HPALETTE> selections; // every SelectPalette argument
    int realizations = 0, bitmapsMade = 0, memoryDCsMade = 0, setDIBitsCalls = 0, stretchBlts = 0;

    int GetDeviceCaps(int index) const override;
    HPALETTE SelectPalette(HPALETTE palette, bool forceBackground) override;
    unsigned RealizePalette() override;
    int StretchDIBits(int xDest, int yDest, int destW, int destH, int xSrc, int ySrc, int srcW,
                      int srcH, const void* bits, const BITMAPINFO* info, unsigned usage,
                      std::uint32_t rop) override;
    int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                          unsigned startScan, unsigned numScans, const void* bits,
                          const BITMAPINFO* info, unsigned usage) override;
    HBITMAP CreateCompatibleBitmap(int width, int height) override;
    HDC CreateCompatibleDC() override;
    int StretchBlt(int xDest, int yDest, int destW, int destH, HDC source, int xSrc, int ySrc,
                   int srcW, int srcH, std::uint32_t rop) override;

private:
    Transfer Record(int xDest, int yDest, int width, int height, const void* bits,
                    const BITMAPINFO* info) const;
};

// The memory DC of a ProbeDC: reports its SetDIBits calls to its maker and
// answers as the maker was told.
class ProbeMemoryDC : public MemoryDC {
public:
    explicit ProbeMemoryDC(ProbeDC& maker) : MemoryDC(maker), maker_(maker) {}
    int SetDIBits(HBITMAP bitmap, unsigned startScan, unsigned numScans, const void* bits,
                  const BITMAPINFO* info, unsigned usage) override;

private:
    ProbeDC& maker_;
};
