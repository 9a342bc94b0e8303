// Running a pixel pass in one band and in many: the banded passes must give
// the very bytes and progress of a plain loop.
#pragma once

#include "PictureSupport.h"

#include "imagora/RowBands.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <string>

// Bands of this many rows for the scope (INT_MAX: one band).
struct ForcedBands {
    explicit ForcedBands(int rows) { SetRowBandRowsForTesting(rows); }
    ~ForcedBands() { SetRowBandRowsForTesting(0); }
};

// One band, a band per row, and bands that end inside every block of 8 or
// 32 rows a pass may work in.
constexpr int kBandHeights[] = {INT_MAX, 1, 3};

// The sizes, the colour table and the whole pixel block, padding included.
inline std::string DibBytes(const TDibRecord& d)
{
    if (!d.Bits)
        return "(no pixels)";
    std::string bytes = std::to_string(DibWidth(d)) + "x" + std::to_string(DibHeight(d)) + ":";
    bytes.append(reinterpret_cast<const char*>(d.Info->bmiColors), 4 * DibTableColors(d));
    return bytes.append(reinterpret_cast<const char*>(d.Bits), d.Info->bmiHeader.biSizeImage);
}

// Noise at any depth over a table of varied colours, so that a pixel taken
// from the wrong place shows.
inline TDibRecord NoisePicture(int width, int height, int bits)
{
    BITMAPINFO table{};
    for (int i = 0; i < 256; ++i)
        table.bmiColors[i] =
            RGBQUAD{std::uint8_t(i * 37 + 11), std::uint8_t(255 - i), std::uint8_t(i * 101 + 3), 0};
    TDibRecord d;
    newdib(&d, width, height, bits, &table, bits <= 8 ? 1 << bits : 0);
    std::uint32_t seed = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(d, x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
    return d;
}

// The spare bits and bytes at the rows' ends set to value, as a decoder may
// leave them.
inline void FillPadding(const TDibRecord& d, std::uint8_t value)
{
    const int width = DibWidth(d), bits = DibBitCount(d), used = width * bits / 8;
    for (int y = 0; y < DibHeight(d); ++y) {
        std::uint8_t* row = DibRowFromTop(d, y);
        if (width * bits % 8)
            row[used] = std::uint8_t((row[used] & (0xFF00 >> (width * bits % 8))) |
                                     (value & (0xFF >> (width * bits % 8))));
        std::fill(row + (width * bits + 7) / 8, row + d.LineBytes, value);
    }
}

// Odd sizes, one row and one column, and heights past 64 rows, so that
// blocks of 32 and 64 rows make several bands.
constexpr int kOddSizes[][2] = {{1, 1}, {13, 1}, {1, 9}, {37, 70}, {67, 131}};

// pass(source, progress) makes a new picture.
using PictureOp = std::function<TDibRecord(const TDibRecord&, ProgressSink&)>;

inline void ExpectSameInEveryBanding(const std::string& name, const PictureOp& pass,
                                     std::initializer_list<int> depths)
{
    for (const int bits : depths)
        for (const auto& [width, height] : kOddSizes) {
            DibGuard src(NoisePicture(width, height, bits));
            std::string plain;
            std::vector<int> plainProgress;
            for (const int rows : kBandHeights) {
                ForcedBands bands(rows);
                RecordingProgress progress;
                DibGuard out(pass(src.dib, progress));
                if (rows == INT_MAX) {
                    plain = DibBytes(out.dib);
                    plainProgress = progress.values;
                }
                EXPECT_TRUE(DibBytes(out.dib) == plain)
                    << name << " at " << bits << " bits, " << width << " x " << height
                    << " in bands of " << rows;
                EXPECT_EQ(progress.values, plainProgress) << name;
            }
        }
}
