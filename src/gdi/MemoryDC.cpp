#include "gdi/MemoryDC.h"

#include <utility>

namespace {
int liveMemoryDCs = 0;
} // namespace

MemoryDC::MemoryDC(const RasterDC& reference) : RasterDC(nullptr, 0, 0, 0)
{
    SetBitsPerPixel(reference.GetDeviceCaps(BITSPIXEL));
    SetTechnology(reference.GetDeviceCaps(TECHNOLOGY));
    SetResolution(reference.GetDeviceCaps(LOGPIXELSX), reference.GetDeviceCaps(LOGPIXELSY));
    ++liveMemoryDCs;
}

MemoryDC::~MemoryDC()
{
    --liveMemoryDCs;
}

HBITMAP MemoryDC::SelectObject(HBITMAP bitmap)
{
    if (bitmap)
        Attach(bitmap->pixels.data(), bitmap->width, bitmap->height, bitmap->width * 4);
    else
        Attach(nullptr, 0, 0, 0);
    return std::exchange(bitmap_, bitmap);
}

int LiveMemoryDCCount()
{
    return liveMemoryDCs;
}
