// What every fuzz target checks after a decoder ran: the result is either no
// picture at all or a whole, consistent one, and nothing is left allocated.
#pragma once

#include "imagora/Imagora.h"

#include <cstdint>
#include <cstdlib>

// The pictures the fuzzer may make are held to this, so that no input can
// keep it busy with legitimately huge ones; run the targets with
// -malloc_limit_mb a little above it to catch any buffer that is not held.
constexpr std::size_t kFuzzAllocationLimit = std::size_t(8) << 20;

inline void UseFuzzAllocationLimit()
{
    SetDibAllocationLimit(kFuzzAllocationLimit);
}

// Touches both ends of the pixel block and a pixel of every row, so that a
// record that lies about its size shows under the address sanitizer, then
// releases it.
inline void CheckAndRelease(TDibRecord& dib, bool decoded)
{
    if (decoded != (dib.Bits != nullptr))
        std::abort(); // success and pixels must agree
    if (dib.Bits) {
        const BITMAPINFOHEADER& h = dib.Info->bmiHeader;
        if (h.biSizeImage != std::uint32_t(dib.LineBytes) * std::uint32_t(h.biHeight))
            std::abort();
        std::uint32_t sum = dib.Bits[0] + dib.Bits[h.biSizeImage - 1];
        for (int y = 0; y < h.biHeight; ++y)
            sum += getpixel(dib, h.biWidth - 1, y);
        volatile std::uint32_t keep = sum;
        (void)keep;
    }
    deldib(dib);
    if (LiveDibCount() != 0)
        std::abort(); // a picture leaked
}
