// A memory device context: draws into, and is read from, the bitmap selected
// into it. Made by CreateCompatibleDC, released with DeleteDC.
#pragma once

#include "gdi/RasterDC.h"

class MemoryDC : public RasterDC {
public:
    // Takes the reference device's depth, kind and resolution; holds no
    // bitmap (a 0 x 0 surface) until one is selected.
    explicit MemoryDC(const RasterDC& reference);
    ~MemoryDC() override;

    // Selecting null again leaves the device without a bitmap.
    HBITMAP SelectObject(HBITMAP bitmap) override;

private:
    HBITMAP bitmap_ = nullptr;
};

// Memory device contexts made and not yet deleted.
int LiveMemoryDCCount();
