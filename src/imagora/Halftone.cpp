// 8-bit copies of true-colour pictures for palette screens.
//
// The palette is fixed, so every halftoned picture shares it: entries 0..215
// are a 6 x 6 x 6 colour cube (levels 0, 51, ..., 255; index 36r + 6g + b),
// entries 216..255 are the 40 greys that split each step of the cube's grey
// diagonal into nine, giving a ramp of 46 greys. Colours are spread over the
// two nearest levels of each channel by an 8 x 8 ordered (Bayer) dither; a
// pixel whose three channels are equal is dithered along the grey ramp
// instead, so grey stays grey. The scaled copy samples points, as the
// device stretches do.
#include "imagora/Imagora.h"

#include <vector>

namespace {

constexpr int kCubeSteps = 5;  // six levels per channel
constexpr int kGreySteps = 45; // 46 greys
constexpr int kCubeSize = 216;
constexpr int kGreysPerStep = 8; // extra greys between two cube greys

constexpr int kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

// Grey level k of the ramp, 0..255.
constexpr int RampGrey(int k)
{
    return (255 * k + kGreySteps / 2) / kGreySteps;
}

// The palette index of grey level k: cube greys where the ramp meets them.
constexpr int RampIndex(int k)
{
    const int step = k / (kGreySteps / kCubeSteps), sub = k % (kGreySteps / kCubeSteps);
    return sub == 0 ? step * (36 + 6 + 1) : kCubeSize + step * kGreysPerStep + sub - 1;
}

const BITMAPINFO& HalftoneTable()
{
    static const BITMAPINFO table = [] {
        BITMAPINFO t{};
        for (int i = 0; i < kCubeSize; ++i) {
            t.bmiColors[i] = RGBQUAD{std::uint8_t(i % 6 * 51), std::uint8_t(i / 6 % 6 * 51),
                                     std::uint8_t(i / 36 * 51), 0};
        }
        for (int k = 0; k <= kGreySteps; ++k) {
            const auto g = std::uint8_t(RampGrey(k));
            t.bmiColors[RampIndex(k)] = RGBQUAD{g, g, g, 0};
        }
        return t;
    }();
    return table;
}

// v (0..255) quantised to 0..steps, rounding up when the remainder beats the
// dither threshold; threshold is (2b + 1) * 255 for Bayer value b, compared
// with remainder * 128, so a remainder of 0 never rounds up.
constexpr int Dither(int v, int steps, int threshold)
{
    const int q = v * steps;
    return q / 255 + ((q % 255) * 128 > threshold ? 1 : 0);
}

// The dither answers for every Bayer value and channel value, worked out
// once: a cube level per channel, a palette index per grey.
struct DitherTables {
    std::uint8_t cube[64][256];
    std::uint8_t grey[64][256];
};

const DitherTables& Tables()
{
    static const DitherTables tables = [] {
        DitherTables t{};
        for (int b = 0; b < 64; ++b) {
            for (int v = 0; v < 256; ++v) {
                const int threshold = (2 * b + 1) * 255;
                t.cube[b][v] = std::uint8_t(Dither(v, kCubeSteps, threshold));
                t.grey[b][v] = std::uint8_t(RampIndex(Dither(v, kGreySteps, threshold)));
            }
        }
        return t;
    }();
    return tables;
}

} // namespace

void DIBHalftoneDIBXY(TDibRecord* dst, const TDibRecord& src, int width, int height)
{
    *dst = TDibRecord{};
    if (!src.Bits || DibBitCount(src) != 24)
        return;
    newdib(dst, width, height, 8, &HalftoneTable(), 256);
    if (!dst->Bits)
        return;

    const int srcW = DibWidth(src), srcH = DibHeight(src);
    std::vector<int> offsets(std::size_t(width), 0);
    for (int x = 0; x < width; ++x)
        offsets[std::size_t(x)] = int(std::int64_t(x) * srcW / width) * 3;

    const DitherTables& tables = Tables();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = DibRowFromTop(src, int(std::int64_t(y) * srcH / height));
        std::uint8_t* out = DibRowFromTop(*dst, y);
        const int* bayer = kBayer[y & 7];
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = in + offsets[std::size_t(x)]; // blue, green, red
            const int b = bayer[x & 7];
            if (p[0] == p[1] && p[1] == p[2]) {
                out[x] = tables.grey[b][p[0]];
            } else {
                const std::uint8_t* level = tables.cube[b];
                out[x] = std::uint8_t(36 * level[p[2]] + 6 * level[p[1]] + level[p[0]]);
            }
        }
    }
}

void DIBHalftoneDIB(TDibRecord* dst, const TDibRecord& src)
{
    DIBHalftoneDIBXY(dst, src, DibWidth(src), DibHeight(src));
}
