#include "base/GdiObjects.h"

#include <atomic>

namespace {
// Pictures, and the palettes of palette pictures, are made on decoding threads too.
std::atomic<int> liveObjects = 0;
std::atomic<int> livePalettes = 0;
} // namespace

GdiObject::GdiObject()
{
    ++liveObjects;
}
GdiObject::~GdiObject()
{
    --liveObjects;
}
GdiPalette::GdiPalette()
{
    ++livePalettes;
}
GdiPalette::~GdiPalette()
{
    --livePalettes;
}

bool DeleteObject(HGDIOBJ object)
{
    if (!object)
        return false;
    delete object;
    return true;
}

int LiveGdiObjectCount()
{
    return liveObjects;
}
int LivePaletteCount()
{
    return livePalettes;
}
