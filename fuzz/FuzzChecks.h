// What every fuzz target checks after a decoder ran: the result is either no
// picture at all or a whole, consistent one; the heap never held more than
// the allocation limit allows (picture and working buffers together); and
// nothing is left allocated.
#pragma once

#include "imagora/Imagora.h"

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The pictures the fuzzer may make are held to this, so that no input can
// keep it busy with legitimately huge ones. KELVORA_FUZZ_LIMIT_MB sets
// another, such as the program's own 1024 to look for small files that take
// long.
constexpr std::size_t kFuzzAllocationLimit = std::size_t(8) << 20;
// What the libraries keep beside the buffers a decoder counts: their state
// and a few rows' worth of their own.
constexpr std::size_t kLibraryStateBytes = std::size_t(2) << 20;

namespace fuzz {

inline std::size_t liveHeapBytes = 0;
inline std::size_t peakHeapBytes = 0;

inline void OnMalloc(const volatile void*, std::size_t size)
{
    liveHeapBytes += size;
    peakHeapBytes = std::max(peakHeapBytes, liveHeapBytes);
}

inline void OnFree(const volatile void* p)
{
    liveHeapBytes -= __sanitizer_get_allocated_size(const_cast<const void*>(p));
}

} // namespace fuzz

inline void UseFuzzAllocationLimit()
{
    const char* megabytes = std::getenv("KELVORA_FUZZ_LIMIT_MB");
    SetDibAllocationLimit(megabytes ? std::size_t(std::atol(megabytes)) << 20
                                    : kFuzzAllocationLimit);
    __sanitizer_install_malloc_and_free_hooks(fuzz::OnMalloc, fuzz::OnFree);
}

// Call right before the decoder runs: the heap's peak is watched from here,
// the bytes held now are the baseline to hand to CheckAndRelease.
inline std::size_t StartHeapWatch()
{
    fuzz::peakHeapBytes = fuzz::liveHeapBytes;
    return fuzz::liveHeapBytes;
}

// Touches both ends of the pixel block and the last pixel of rows spread
// over the picture, so that a record that lies about its size shows under
// the address sanitizer (touching every row of a tall picture that a few
// bytes describe would cost more than decoding it), then releases it.
inline void CheckAndRelease(TDibRecord& dib, bool decoded, std::size_t heapBefore)
{
    const std::size_t taken = fuzz::peakHeapBytes - heapBefore;
    if (taken > DibAllocationLimit() + kLibraryStateBytes) {
        std::fprintf(stderr, "decoding took %zu bytes of heap at its peak, past the limit\n",
                     taken);
        std::abort();
    }
    if (decoded != (dib.Bits != nullptr))
        std::abort(); // success and pixels must agree
    if (dib.Bits) {
        const BITMAPINFOHEADER& h = dib.Info->bmiHeader;
        if (h.biSizeImage != std::uint32_t(dib.LineBytes) * std::uint32_t(h.biHeight))
            std::abort();
        std::uint32_t sum = dib.Bits[0] + dib.Bits[h.biSizeImage - 1];
        const int step = std::max(1, h.biHeight / 64);
        for (int y = 0; y < h.biHeight; y += step)
            sum += getpixel(dib, h.biWidth - 1, y);
        sum += getpixel(dib, h.biWidth - 1, h.biHeight - 1);
        volatile std::uint32_t keep = sum;
        (void)keep;
    }
    deldib(dib);
    if (LiveDibCount() != 0)
        std::abort(); // a picture leaked
}
