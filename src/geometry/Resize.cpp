#include "geometry/Resize.h"

#include "imagora/Imagora.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

constexpr int kFractionBits = 10;
constexpr std::uint64_t kFractionMask = (1u << kFractionBits) - 1;
constexpr std::uint32_t kWeightSum = 1023; // weights f and 1023 - f: flat 255 comes out 253

// The source position of output index i, scaled by ratio (22.10 fixed point).
// In 64 bits the ratios and unsigned products are those of 32-bit arithmetic
// for every picture under two million pixels a side, and never wrap beyond.
struct Sample {
    int index;
    std::uint32_t fraction;
};

Sample SampleAt(int i, std::int64_t ratio)
{
    const std::uint64_t position = std::uint64_t(i) * std::uint64_t(ratio);
    return Sample{int(position >> kFractionBits), std::uint32_t(position & kFractionMask)};
}

std::uint8_t Blend(std::uint32_t a, std::uint32_t b, std::uint32_t f)
{
    return std::uint8_t((a * (kWeightSum - f) + b * f) >> kFractionBits);
}

struct Scale {
    const TDibRecord& src;
    const TDibRecord& dst;
    std::int64_t xr;
    std::int64_t yr;

    const std::uint8_t* SrcRow(int sy) const
    {
        return src.Bits + std::ptrdiff_t(sy) * src.LineBytes;
    }
    std::uint8_t* DstRow(int y) const { return dst.Bits + std::ptrdiff_t(y) * dst.LineBytes; }
};

void Row1(const Scale& s, int y, int sy, int width)
{
    // Through the library's pixel access, rows counted from the top.
    for (int x = 0; x < width; ++x)
        setpixel(s.dst, x, y, getpixel(s.src, SampleAt(x, s.xr).index, sy));
}

void Row4(const Scale& s, int y, int sy, int width)
{
    const std::uint8_t* in = s.SrcRow(sy);
    std::uint8_t* out = s.DstRow(y);
    for (int x = 0; x < width; ++x) {
        const int sx = SampleAt(x, s.xr).index;
        const std::uint8_t byte = in[sx / 2];
        const std::uint8_t nibble = (sx & 1) ? (byte & 0x0F) : (byte >> 4);
        out[x / 2] |= (x & 1) ? nibble : std::uint8_t(nibble << 4);
    }
}

void Row8(const Scale& s, int y, int sy, int width)
{
    const std::uint8_t* in = s.SrcRow(sy);
    std::uint8_t* out = s.DstRow(y);
    for (int x = 0; x < width; ++x)
        out[x] = in[SampleAt(x, s.xr).index];
}

void Row24(const Scale& s, int y, int sy, int width)
{
    const std::uint8_t* in = s.SrcRow(sy);
    std::uint8_t* out = s.DstRow(y);
    for (int x = 0; x < width; ++x, out += 3) {
        const std::uint8_t* p = in + std::ptrdiff_t(3) * SampleAt(x, s.xr).index;
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
    }
}

void Row24Bilinear(const Scale& s, int y, Sample sy, int width)
{
    const int lastColumn = DibWidth(s.src) - 1;
    const std::uint8_t* row0 = s.SrcRow(sy.index);
    const std::uint8_t* row1 = s.SrcRow(std::min(sy.index + 1, DibHeight(s.src) - 1));
    std::uint8_t* out = s.DstRow(y);
    for (int x = 0; x < width; ++x, out += 3) {
        const Sample sx = SampleAt(x, s.xr);
        const std::ptrdiff_t c0 = std::ptrdiff_t(3) * sx.index;
        const std::ptrdiff_t c1 = std::ptrdiff_t(3) * std::min(sx.index + 1, lastColumn);
        for (int k = 0; k < 3; ++k) {
            const std::uint8_t top = Blend(row0[c0 + k], row0[c1 + k], sx.fraction);
            const std::uint8_t bottom = Blend(row1[c0 + k], row1[c1 + k], sx.fraction);
            out[k] = Blend(top, bottom, sy.fraction);
        }
    }
}

} // namespace

void DIBResize(const TDibRecord& Src, int NewWidth, int NewHeight, bool Interpolate,
               TDibRecord& Dst, ProgressSink& progress)
{
    progress.SetProStatus(0);
    TDibRecord copy;
    const int srcWidth = DibWidth(Src), srcHeight = DibHeight(Src);
    if (Src.Bits && srcWidth > 0 && srcHeight > 0 && NewWidth > 0 && NewHeight > 0)
        NewDibLike(&copy, Src, NewWidth, NewHeight);
    if (copy.Bits) {
        const Scale s{Src, copy, std::int64_t(srcWidth) * 1024 / NewWidth,
                      std::int64_t(srcHeight) * 1024 / NewHeight};
        const int bits = DibBitCount(Src);
        const bool bilinear = Interpolate && srcHeight <= NewHeight && srcWidth <= NewWidth;
        for (int y = 0; y < NewHeight; ++y) {
            progress.SetProStatus(StepPercent(y, NewHeight));
            const Sample sy = SampleAt(y, s.yr);
            switch (bits) {
            case 1:
                Row1(s, y, sy.index, NewWidth);
                break;
            case 4:
                Row4(s, y, sy.index, NewWidth);
                break;
            case 8:
                Row8(s, y, sy.index, NewWidth);
                break;
            case 24:
                if (bilinear)
                    Row24Bilinear(s, y, sy, NewWidth);
                else
                    Row24(s, y, sy.index, NewWidth);
                break;
            default:
                break; // no sampling rule: the copy stays zero
            }
        }
    }
    Dst = copy;
    progress.SetProStatus(0);
}

int LinkedSide(int side, int baseSide, int baseOther)
{
    const long double linked =
        baseSide > 0 ? static_cast<long double>(std::int64_t(side) * baseOther) / baseSide : side;
    return int(std::clamp<long double>(std::trunc(linked), kMinResizeSide, kMaxResizeSide));
}
