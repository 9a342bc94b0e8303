#include "imagora/Imagora.h"

#include "base/GdiObjects.h"
#include "base/Palette.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kAllocatedMark = 0x4B4C5644; // marks a live picture in LibData1
std::size_t allocationLimit = kDefaultDibAllocationLimit;
std::atomic<int> liveDibs = 0; // pictures are made and freed on decoding threads too

// Pixel blocks with more than one record, and how many records beyond the
// first.
std::mutex sharingLock;
std::unordered_map<const std::uint8_t*, int> extraSharers;

// Pixel blocks from this size on get a mapping of their own in whole huge
// pages: a fresh 72 MB picture then costs a few dozen page faults instead of
// tens of thousands, and it goes back to the system when freed.
// (Under AddressSanitizer every block comes from the heap, where a write past
// its end is caught instead of landing in the mapping's slack.)
constexpr std::size_t kHugePageBytes = std::size_t(2) << 20;
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kOwnMappingFrom = SIZE_MAX;
#else
constexpr std::size_t kOwnMappingFrom = 2 * kHugePageBytes;
#endif

std::size_t MappedLength(std::size_t bytes)
{
    return (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
}

// Zeroed pixel memory of the given size, or nullptr.
std::uint8_t* AllocatePixels(std::size_t bytes)
{
    if (bytes < kOwnMappingFrom)
        return static_cast<std::uint8_t*>(std::calloc(1, bytes));
    // Map one huge page more than needed and trim it to a 2 MiB boundary.
    const std::size_t length = MappedLength(bytes);
    void* p = ::mmap(nullptr, length + kHugePageBytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    auto* raw = static_cast<std::uint8_t*>(p);
    auto* start = reinterpret_cast<std::uint8_t*>(
        (reinterpret_cast<std::uintptr_t>(raw) + kHugePageBytes - 1) & ~(kHugePageBytes - 1));
    if (start > raw)
        ::munmap(raw, std::size_t(start - raw));
    if (const std::size_t tail = kHugePageBytes - std::size_t(start - raw))
        ::munmap(start + length, tail);
    ::madvise(start, length, MADV_HUGEPAGE); // advice only: small pages still work
    return start;
}

void FreePixels(std::uint8_t* bits, std::size_t bytes)
{
    if (bytes < kOwnMappingFrom)
        std::free(bits);
    else if (bits)
        ::munmap(bits, MappedLength(bytes));
}

bool KnownBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

void FillPaletteFromTable(TDibRecord& d, int entries)
{
    d.Palette.palVersion = 0x300;
    d.Palette.palNumEntries = std::uint16_t(entries);
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD& q = d.Info->bmiColors[i];
        d.Palette.palPalEntry[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
    }
    d.PaletteHandle = CreatePalette(&d.Palette);
    d.HasPalette = 1;
}

} // namespace

void SetDibAllocationLimit(std::size_t bytes)
{
    allocationLimit = bytes;
}
std::size_t DibAllocationLimit()
{
    return allocationLimit;
}
int LiveDibCount()
{
    return liveDibs;
}

void newdib(TDibRecord* dib, int width, int height, int bitCount, const BITMAPINFO* source,
            int colours)
{
    *dib = TDibRecord{};
    if (width <= 0 || height <= 0 || !KnownBitCount(bitCount))
        return;
    const std::int64_t lineBytes = DibLineBytes(width, bitCount);
    const std::uint64_t imageBytes = std::uint64_t(lineBytes) * std::uint64_t(height);
    if (lineBytes > 0x7FFFFFFF || imageBytes > allocationLimit || imageBytes > 0xFFFFFFFFu)
        return;

    auto* info = static_cast<BITMAPINFO*>(std::calloc(1, sizeof(BITMAPINFO)));
    std::uint8_t* bits = AllocatePixels(std::size_t(imageBytes));
    if (!info || !bits) {
        std::free(info);
        FreePixels(bits, std::size_t(imageBytes));
        return;
    }

    const int tableSize = bitCount <= 8 ? 1 << bitCount : 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = std::uint16_t(bitCount);
    h.biCompression = BI_RGB;
    h.biSizeImage = std::uint32_t(imageBytes);
    h.biXPelsPerMeter = 3780; // 96 dpi
    h.biYPelsPerMeter = 3780;
    h.biClrUsed = std::uint32_t(tableSize);

    dib->Info = info;
    dib->Bits = bits;
    dib->LineBytes = std::int32_t(lineBytes);
    dib->LibData1 = kAllocatedMark;
    dib->LibData2 = std::uint32_t(imageBytes);
    ++liveDibs;

    if (tableSize == 0)
        return;
    const int copied = source ? std::min(std::max(colours, 0), tableSize) : 0;
    if (copied > 0)
        std::memcpy(info->bmiColors, source->bmiColors, sizeof(RGBQUAD) * std::size_t(copied));
    else if (bitCount == 1)
        info->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
    FillPaletteFromTable(*dib, tableSize);
}

void NewDibLike(TDibRecord* dib, const TDibRecord& shape, int width, int height)
{
    if (!shape.Bits) {
        *dib = TDibRecord{};
        return;
    }
    newdib(dib, width, height, DibBitCount(shape), shape.Info, DibTableColors(shape));
}

void ShrinkDib(TDibRecord& dib, int width, int height)
{
    BITMAPINFOHEADER& h = dib.Info->bmiHeader;
    const std::int64_t lineBytes = DibLineBytes(width, h.biBitCount);
    h.biWidth = width;
    h.biHeight = height;
    h.biSizeImage = std::uint32_t(lineBytes * height);
    dib.LineBytes = std::int32_t(lineBytes);
    // The block keeps its size for deldib; its own mapping lets go of the
    // whole pages past the picture.
    if (dib.LibData2 >= kOwnMappingFrom) {
        const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
        const std::size_t kept = (std::size_t(h.biSizeImage) + page - 1) / page * page;
        const std::size_t length = MappedLength(dib.LibData2);
        if (kept < length)
            ::madvise(dib.Bits + kept, length - kept, MADV_DONTNEED);
    }
}

void deldib(TDibRecord dib)
{
    if (dib.PaletteHandle)
        DeleteObject(dib.PaletteHandle);
    if (dib.Bits && dib.LibData1 == kAllocatedMark)
        --liveDibs;
    bool lastRecord = true;
    if (dib.Bits) {
        const std::lock_guard<std::mutex> lock(sharingLock);
        const auto shared = extraSharers.find(dib.Bits);
        if (shared != extraSharers.end()) {
            lastRecord = false;
            if (--shared->second == 0)
                extraSharers.erase(shared);
        }
    }
    if (lastRecord)
        FreePixels(dib.Bits, dib.LibData2);
    std::free(dib.Info);
}

TDibRecord ShareDib(const TDibRecord& dib)
{
    if (!dib.Bits)
        return {};
    auto* info = static_cast<BITMAPINFO*>(std::malloc(sizeof(BITMAPINFO)));
    if (!info)
        return {};
    std::memcpy(info, dib.Info, sizeof(BITMAPINFO));
    TDibRecord share = dib;
    share.Info = info;
    if (dib.PaletteHandle)
        share.PaletteHandle = CreatePalette(&share.Palette);
    {
        const std::lock_guard<std::mutex> lock(sharingLock);
        ++extraSharers[dib.Bits];
    }
    if (dib.LibData1 == kAllocatedMark)
        ++liveDibs;
    return share;
}

bool DibShared(const TDibRecord& dib)
{
    const std::lock_guard<std::mutex> lock(sharingLock);
    return dib.Bits && extraSharers.count(dib.Bits) > 0;
}

double power(double base, double exponent)
{
    return std::pow(base, exponent);
}
