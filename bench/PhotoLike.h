// A photo-like 24-bit picture for the benchmarks: smooth gradients in all
// three channels with some noise, so that thresholds branch both ways, colours
// hardly repeat from pixel to pixel and most of the colour cube is used.
#pragma once

#include "imagora/Imagora.h"

#include <algorithm>
#include <cstdint>

inline TDibRecord NewPhotoLike(int width, int height)
{
    TDibRecord dib;
    newdib(&dib, width, height, 24, nullptr, 0);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = dib.Bits + std::ptrdiff_t(y) * dib.LineBytes;
        for (int x = 0; x < width; ++x, p += 3) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 27) - 16;
            p[0] = std::uint8_t(std::clamp(x * 255 / width + noise, 0, 255));
            p[1] = std::uint8_t(std::clamp(y * 255 / height + noise, 0, 255));
            p[2] = std::uint8_t(std::clamp((x + y) * 255 / (width + height) - noise, 0, 255));
        }
    }
    return dib;
}
