// Objects of the drawing stand-in behind its handles. Every object is made by
// one of the Create* calls and ends with DeleteObject; live counts let tests
// prove that nothing leaks.
#pragma once

#include "base/WinTypes.h"

#include <cstdint>
#include <vector>

struct GdiObject {
    GdiObject();
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    virtual ~GdiObject();
};

struct GdiPalette final : GdiObject {
    GdiPalette();
    ~GdiPalette() override;
    std::vector<PALETTEENTRY> entries;
};

// A device-dependent bitmap: top-down 32-bit pixels 0x00RRGGBB, as a screen
// holds them.
struct GdiBitmap final : GdiObject {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Deletes any object made by this layer; false for a null handle.
bool DeleteObject(HGDIOBJ object);

int LiveGdiObjectCount();
int LivePaletteCount();
