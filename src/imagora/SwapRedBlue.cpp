#include "imagora/SwapRedBlue.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KELVORA_SSSE3 1
#endif

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

#ifdef KELVORA_SSSE3
// Five pixels per byte shuffle: each 16-byte load holds five whole pixels and
// the next pixel's first byte, which goes back unchanged and is overwritten
// by the next group (or the single pixels after the last). Returns the
// pixels done.
__attribute__((target("ssse3"))) std::size_t
SwapFivesShuffled(std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    std::size_t x = 0;
    for (; 3 * x + 16 <= 3 * pixels; x += 5) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 3 * x), _mm_shuffle_epi8(v, order));
    }
    return x;
}
#endif

} // namespace

void SwapRedBlueInWords(std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels)
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

void SwapRedBlue(std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels)
{
#ifdef KELVORA_SSSE3
    // Every x86-64 processor of the last fifteen years has the byte shuffle.
    static const bool shuffle = __builtin_cpu_supports("ssse3");
    if (shuffle) {
        const std::size_t done = SwapFivesShuffled(dst, src, pixels);
        SwapEachPixel(dst + 3 * done, src + 3 * done, pixels - done);
        return;
    }
#endif
    SwapRedBlueInWords(dst, src, pixels);
}
