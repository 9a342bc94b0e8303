#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"
#include "imagora/SwapRedBlue.h"

namespace {

std::uint8_t IndexAt(const std::uint8_t* row, int x, int bits)
{
    switch (bits) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default:
        return row[x];
    }
}

std::uint8_t Widen5(unsigned v)
{
    return std::uint8_t((v * 255 + 15) / 31);
}

} // namespace

void DibRowToRgb(const TDibRecord& dib, int y, std::uint8_t* rgb)
{
    const std::uint8_t* row = DibRowFromTop(dib, y);
    const int width = DibWidth(dib);
    const int bits = DibBitCount(dib);
    // One loop per depth: this runs for every row of every save.
    switch (bits) {
    case 16:
        for (int x = 0; x < width; ++x, rgb += 3) {
            const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
            rgb[0] = Widen5((v >> 10) & 31);
            rgb[1] = Widen5((v >> 5) & 31);
            rgb[2] = Widen5(v & 31);
        }
        break;
    case 24:
        SwapRedBlue(rgb, row, std::size_t(width));
        break;
    case 32:
        for (int x = 0; x < width; ++x, rgb += 3) {
            const std::uint8_t* p = row + 4 * x; // blue, green, red, unused
            rgb[0] = p[2];
            rgb[1] = p[1];
            rgb[2] = p[0];
        }
        break;
    default:
        for (int x = 0; x < width; ++x, rgb += 3) {
            const RGBQUAD& q = dib.Info->bmiColors[IndexAt(row, x, bits)];
            rgb[0] = q.rgbRed;
            rgb[1] = q.rgbGreen;
            rgb[2] = q.rgbBlue;
        }
        break;
    }
}

bool DibGreyLevels(const TDibRecord& dib, std::uint8_t* levels)
{
    const int bits = DibBitCount(dib);
    if (bits > 8)
        return false;
    for (int i = 0; i < (1 << bits); ++i) {
        const RGBQUAD& q = dib.Info->bmiColors[i];
        if (q.rgbRed != q.rgbGreen || q.rgbGreen != q.rgbBlue)
            return false;
        levels[i] = q.rgbRed;
    }
    return true;
}

void DibRowToGrey(const TDibRecord& dib, int y, const std::uint8_t* levels, std::uint8_t* grey)
{
    const std::uint8_t* row = DibRowFromTop(dib, y);
    const int bits = DibBitCount(dib);
    for (int x = 0; x < DibWidth(dib); ++x)
        grey[x] = levels[IndexAt(row, x, bits)];
}
