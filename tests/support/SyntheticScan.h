// Flatbed scans made up for tests and benchmarks: a photo laid askew on the
// lid, with sensor noise, and beside it a map of where the photo lies.
#pragma once

#include "imagora/Imagora.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

enum class PhotoContent { PhotoLike, NearlyWhite, Dark };

struct ScanSpec {
    int width = 1240, height = 1754; // A4 at 150 dpi
    int photoWidth = 600, photoHeight = 400;
    double degrees = 0; // positive: the photo's top edge sinks to the right
    PhotoContent content = PhotoContent::PhotoLike;
    std::uint8_t lid = 255; // the background's grey
    int noise = 4;          // each channel off by up to this much
};

// scan: 24 bits; where (if given): 8 bits, 0 on the photo and 255 off it.
inline void MakeScan(const ScanSpec& spec, TDibRecord& scan, TDibRecord* where = nullptr)
{
    newdib(&scan, spec.width, spec.height, 24, nullptr, 0);
    if (where) {
        BITMAPINFO grey{};
        for (int i = 0; i < 256; ++i)
            grey.bmiColors[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
        newdib(where, spec.width, spec.height, 8, &grey, 256);
    }
    const double a = spec.degrees * 3.14159265358979323846 / 180;
    const double c = std::cos(a), s = std::sin(a);
    const double cx = spec.width * 0.45, cy = spec.height * 0.4;
    std::uint32_t seed = 12345;
    const auto noisy = [&](int v) {
        seed = seed * 1664525u + 1013904223u;
        const int off = int((seed >> 16) % unsigned(2 * spec.noise + 1)) - spec.noise;
        return std::uint8_t(std::clamp(v + off, 0, 255));
    };
    const auto inside = [&](double x, double y, double& u, double& v) {
        u = (x - cx) * c + (y - cy) * s + spec.photoWidth / 2.0;
        v = -(x - cx) * s + (y - cy) * c + spec.photoHeight / 2.0;
        return u >= 0 && v >= 0 && u < spec.photoWidth && v < spec.photoHeight;
    };
    for (int y = 0; y < spec.height; ++y)
        for (int x = 0; x < spec.width; ++x) {
            double u, v;
            const bool on = inside(x, y, u, v);
            int r = spec.lid, g = spec.lid, b = spec.lid;
            const double wave = std::sin(u / 23) * std::cos(v / 17);
            const int shade = int(128 + 90 * wave * (u / spec.photoWidth));
            switch (spec.content) {
            case PhotoContent::PhotoLike:
                r = shade, g = int(60 + 150 * v / spec.photoHeight), b = 255 - shade / 2;
                break;
            case PhotoContent::NearlyWhite:
                r = g = b = 228 + shade / 16;
                break;
            case PhotoContent::Dark:
                r = g = b = 20 + shade / 5;
                break;
            }
            // the optics blur the edge: a pixel there takes the share of the
            // photo it covers
            int covered = on ? 16 : 0;
            if (std::min({std::abs(u), std::abs(v), std::abs(u - spec.photoWidth),
                          std::abs(v - spec.photoHeight)}) < 1) {
                covered = 0;
                for (int i = 0; i < 16; ++i) {
                    double su, sv;
                    covered += inside(x + (i % 4 - 1.5) / 4, y + (i / 4 - 1.5) / 4, su, sv);
                }
            }
            const auto mix = [&](int photo) { return (photo * covered + spec.lid * (16 - covered)) / 16; };
            setpixel(scan, x, y, RGB(noisy(mix(r)), noisy(mix(g)), noisy(mix(b))));
            if (where)
                setpixel(*where, x, y, on ? 0 : 255);
        }
}
