// Running a pixel pass in one band and in many, and comparing what comes out
// byte for byte: the banded passes must give the very bytes of a plain loop.
#pragma once

#include "PictureSupport.h"

#include "imagora/RowBands.h"

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

// Bands of this many rows for the scope (INT_MAX: one band), then the
// automatic choice again.
class ForcedBands {
public:
    explicit ForcedBands(int rows) { SetRowBandRowsForTesting(rows); }
    ~ForcedBands() { SetRowBandRowsForTesting(0); }
    ForcedBands(const ForcedBands&) = delete;
    ForcedBands& operator=(const ForcedBands&) = delete;
};

// One band, and bands of 1 and 3 rows: a band per row, and bands that end
// inside every block of 8 or 32 rows a pass may work in.
inline const std::vector<int>& BandHeights()
{
    static const std::vector<int> heights = {INT_MAX, 1, 3};
    return heights;
}

// Everything a pass may have written: the header's sizes, the colour table
// and the whole pixel block, padding included.
inline std::string DibBytes(const TDibRecord& d)
{
    if (!d.Bits)
        return "(no pixels)";
    std::string bytes = std::to_string(DibWidth(d)) + "x" + std::to_string(DibHeight(d)) + "x" +
                        std::to_string(DibBitCount(d)) + ":";
    bytes.append(reinterpret_cast<const char*>(d.Info->bmiColors),
                 sizeof(RGBQUAD) * std::size_t(DibTableColors(d)));
    bytes.append(reinterpret_cast<const char*>(d.Bits), d.Info->bmiHeader.biSizeImage);
    return bytes;
}

// A picture of noise at any depth with a colour table of varied colours:
// every pixel and every entry differs from its neighbours, so a pixel taken
// from the wrong place shows.
inline TDibRecord NoisePicture(int width, int height, int bits, std::uint32_t seed = 7)
{
    BITMAPINFO table{};
    for (int i = 0; i < 256; ++i)
        table.bmiColors[i] =
            RGBQUAD{std::uint8_t(i * 37 + 11), std::uint8_t(255 - i), std::uint8_t(i * 101 + 3), 0};
    TDibRecord d;
    newdib(&d, width, height, bits, bits <= 8 ? &table : nullptr, bits <= 8 ? 1 << bits : 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            setpixel(d, x, y, seed >> 8);
        }
    return d;
}

// The sizes the band tests run at: odd widths and heights, one row and one
// column, and heights over 64 rows so that blocks of 32 and 64 rows make
// several bands.
struct PictureSize {
    int width, height;
};
inline const std::vector<PictureSize>& OddSizes()
{
    static const std::vector<PictureSize> sizes = {{1, 1}, {13, 1}, {1, 9}, {37, 70}, {67, 131}};
    return sizes;
}

// What a pass made and the progress it told.
struct BandedResult {
    std::string bytes;
    std::vector<int> progress;
};

// pass(source, progress) gives a new picture, which this releases.
using PictureOp = std::function<TDibRecord(const TDibRecord&, ProgressSink&)>;

inline BandedResult RunInBands(const PictureOp& pass, const TDibRecord& src, int bandRows)
{
    ForcedBands bands(bandRows);
    RecordingProgress progress;
    const TDibRecord out = pass(src, progress);
    BandedResult r{DibBytes(out), progress.values};
    deldib(out);
    return r;
}

// pass at every depth and odd size gives the bytes and progress of one band
// when worked in many.
inline void ExpectSameInEveryBanding(const char* name, const PictureOp& pass,
                                     const std::vector<int>& depths)
{
    for (const int bits : depths)
        for (const PictureSize& size : OddSizes()) {
            const TDibRecord src = NoisePicture(size.width, size.height, bits);
            const BandedResult plain = RunInBands(pass, src, INT_MAX);
            for (const int rows : BandHeights()) {
                const BandedResult banded = RunInBands(pass, src, rows);
                EXPECT_TRUE(banded.bytes == plain.bytes)
                    << name << " at " << bits << " bits, " << size.width << " x " << size.height
                    << ", bands of " << rows << " rows";
                EXPECT_EQ(banded.progress, plain.progress) << name;
            }
            deldib(src);
        }
}
