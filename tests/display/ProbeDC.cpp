#include "ProbeDC.h"

int ProbeDC::GetDeviceCaps(int index) const
{
    const int caps = RasterDC::GetDeviceCaps(index);
    return index == RASTERCAPS && !dibToDevice ? caps & ~RC_DIBTODEV : caps;
}

HPALETTE ProbeDC::SelectPalette(HPALETTE palette, bool forceBackground)
{
    selections.push_back(palette);
    return RasterDC::SelectPalette(palette, forceBackground);
}

unsigned ProbeDC::RealizePalette()
{
    ++realizations;
    return RasterDC::RealizePalette();
}

ProbeDC::Transfer ProbeDC::Record(int xDest, int yDest, int width, int height, const void* bits,
                                  const BITMAPINFO* info) const
{
    Transfer t{};
    t.xDest = xDest;
    t.yDest = yDest;
    t.width = width;
    t.height = height;
    t.bits = bits;
    if (info) {
        t.dibWidth = info->bmiHeader.biWidth;
        t.dibHeight = info->bmiHeader.biHeight;
        t.bitCount = info->bmiHeader.biBitCount;
    }
    t.selected = SelectedPalette();
    t.realized = RealizedPalette();
    return t;
}

int ProbeDC::StretchDIBits(int xDest, int yDest, int destW, int destH, int xSrc, int ySrc, int srcW,
                           int srcH, const void* bits, const BITMAPINFO* info, unsigned usage,
                           std::uint32_t rop)
{
    Transfer t = Record(xDest, yDest, destW, destH, bits, info);
    t.xSrc = xSrc;
    t.ySrc = ySrc;
    t.srcW = srcW;
    t.srcH = srcH;
    t.rop = rop;
    stretches.push_back(t);
    if (stretchDIBitsAnswer)
        return *stretchDIBitsAnswer;
    return RasterDC::StretchDIBits(xDest, yDest, destW, destH, xSrc, ySrc, srcW, srcH, bits, info,
                                   usage, rop);
}

int ProbeDC::SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                               unsigned startScan, unsigned numScans, const void* bits,
                               const BITMAPINFO* info, unsigned usage)
{
    Transfer t = Record(xDest, yDest, width, height, bits, info);
    t.xSrc = xSrc;
    t.ySrc = ySrc;
    t.startScan = startScan;
    t.numScans = numScans;
    sets.push_back(t);
    const int answer = setDIBitsToDeviceAnswer
                           ? *setDIBitsToDeviceAnswer
                           : RasterDC::SetDIBitsToDevice(xDest, yDest, width, height, xSrc, ySrc,
                                                         startScan, numScans, bits, info, usage);
    if (afterSetDIBitsToDevice)
        afterSetDIBitsToDevice(t);
    return answer;
}

HBITMAP ProbeDC::CreateCompatibleBitmap(int width, int height)
{
    ++bitmapsMade;
    return bitmapsFail ? nullptr : RasterDC::CreateCompatibleBitmap(width, height);
}

HDC ProbeDC::CreateCompatibleDC()
{
    ++memoryDCsMade;
    return new ProbeMemoryDC(*this);
}

int ProbeDC::StretchBlt(int xDest, int yDest, int destW, int destH, HDC source, int xSrc, int ySrc,
                        int srcW, int srcH, std::uint32_t rop)
{
    ++stretchBlts;
    if (stretchBltAnswer)
        return *stretchBltAnswer;
    return RasterDC::StretchBlt(xDest, yDest, destW, destH, source, xSrc, ySrc, srcW, srcH, rop);
}

int ProbeMemoryDC::SetDIBits(HBITMAP bitmap, unsigned startScan, unsigned numScans,
                             const void* bits, const BITMAPINFO* info, unsigned usage)
{
    ++maker_.setDIBitsCalls;
    if (maker_.setDIBitsAnswer)
        return *maker_.setDIBitsAnswer;
    return MemoryDC::SetDIBits(bitmap, startScan, numScans, bits, info, usage);
}
