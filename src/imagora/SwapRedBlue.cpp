#include "imagora/SwapRedBlue.h"

#include <cstring>

namespace {

void SwapEachPixel(std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels)
{
    for (std::size_t x = 0; x < pixels; ++x, dst += 3, src += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

std::uint64_t Load(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// The bytes of a little-endian word that starts `offset` bytes into a pixel
// row and sit at position `which` (0, 1, 2) of their pixel.
constexpr std::uint64_t Lanes(int offset, int which)
{
    std::uint64_t mask = 0;
    for (int b = 0; b < 8; ++b)
        if ((offset + b) % 3 == which)
            mask |= std::uint64_t(0xFF) << (8 * b);
    return mask;
}

// Eight pixels, three words: each output word takes its middle bytes from the
// word in place, its first bytes from two further on, its last from two back.
void SwapEightPixels(std::uint8_t* dst, const std::uint8_t* src)
{
    static constexpr std::uint64_t kKeep[3] = {Lanes(0, 1), Lanes(8, 1), Lanes(16, 1)};
    static constexpr std::uint64_t kFromAhead[3] = {Lanes(0, 0), Lanes(8, 0), Lanes(16, 0)};
    static constexpr std::uint64_t kFromBehind[3] = {Lanes(0, 2), Lanes(8, 2), Lanes(16, 2)};
    for (int k = 0; k < 3; ++k) {
        const std::uint8_t* at = src + 8 * k;
        const std::uint64_t v = (Load(at) & kKeep[k]) | (Load(at + 2) & kFromAhead[k]) |
                                (Load(at - 2) & kFromBehind[k]);
        std::memcpy(dst + 8 * k, &v, 8);
    }
}

} // namespace

void SwapRedBlue(std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels)
{
    // Word loads reach two bytes before and after each group of eight, so
    // the first pixel and the last ones go singly.
    std::size_t x = 0;
    if (pixels >= 10) {
        SwapEachPixel(dst, src, 1);
        for (x = 1; x + 9 <= pixels; x += 8)
            SwapEightPixels(dst + 3 * x, src + 3 * x);
    }
    SwapEachPixel(dst + 3 * x, src + 3 * x, pixels - x);
}
