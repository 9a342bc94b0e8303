#include "base/GdiObjects.h"

namespace {
int liveObjects = 0;
int livePalettes = 0;
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
