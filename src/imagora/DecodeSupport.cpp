#include "imagora/DecodeSupport.h"

#include "imagora/Imagora.h"

#include <algorithm>
#include <cstring>

DecodeBudget::DecodeBudget() : left_(DibAllocationLimit()) {}

bool DecodeBudget::Take(std::uint64_t bytes)
{
    if (bytes > left_)
        return false;
    left_ -= bytes;
    return true;
}

int PaletteBitCount(int colours)
{
    if (colours <= 2)
        return 1;
    return colours <= 16 ? 4 : 8;
}

bool NewPaletteDib(TDibRecord* out, int width, int height, const RGBQUAD* colours, int count)
{
    *out = TDibRecord{};
    if (count < 1 || count > 256)
        return false;
    const int bits = PaletteBitCount(count);
    BITMAPINFO table{};
    std::memcpy(table.bmiColors, colours, sizeof(RGBQUAD) * std::size_t(count));
    newdib(out, width, height, bits, &table, 1 << bits);
    return out->Bits != nullptr;
}

bool NewGreyDib(TDibRecord* out, int width, int height)
{
    RGBQUAD ramp[256];
    for (int i = 0; i < 256; ++i)
        ramp[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
    return NewPaletteDib(out, width, height, ramp, 256);
}

bool NewTrueColourDib(TDibRecord* out, int width, int height)
{
    newdib(out, width, height, 24, nullptr, 0);
    return out->Bits != nullptr;
}

void StoreIndexSpan(const TDibRecord& dib, int y, int x, const std::uint8_t* indices, int count,
                    int colours)
{
    std::uint8_t* row = DibRowFromTop(dib, y);
    const int bits = DibBitCount(dib);
    const int limit = std::min(colours, 1 << bits); // also keeps packed bits inside their pixel
    const auto valid = [&](int i) { return indices[i] < limit ? indices[i] : std::uint8_t(0); };
    switch (bits) {
    case 1:
        for (int i = 0; i < count; ++i) {
            const int at = x + i, shift = 7 - (at & 7);
            row[at >> 3] = std::uint8_t((row[at >> 3] & ~(1 << shift)) | (valid(i) << shift));
        }
        break;
    case 4:
        for (int i = 0; i < count; ++i) {
            const int at = x + i, shift = (at & 1) ? 0 : 4;
            row[at >> 1] = std::uint8_t((row[at >> 1] & ~(0x0F << shift)) | (valid(i) << shift));
        }
        break;
    case 8:
        for (int i = 0; i < count; ++i)
            row[x + i] = valid(i);
        break;
    default:
        break;
    }
}

void CompositeBgraRow(std::uint8_t* bgr, const std::uint8_t* bgra, int width)
{
    for (int x = 0; x < width; ++x, bgr += 3, bgra += 4) {
        const unsigned a = bgra[3];
        bgr[0] = OverWhite(bgra[0], a);
        bgr[1] = OverWhite(bgra[1], a);
        bgr[2] = OverWhite(bgra[2], a);
    }
}

void CompositeGreyAlphaRow(std::uint8_t* grey, const std::uint8_t* greyAlpha, int width)
{
    for (int x = 0; x < width; ++x, greyAlpha += 2)
        grey[x] = OverWhite(greyAlpha[0], greyAlpha[1]);
}
