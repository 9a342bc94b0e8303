#include "geometry/Resize.h"

#include "imagora/Imagora.h"
#include "imagora/RowBands.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

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

// The same blend in 16-bit arithmetic, so that a vector holds 8 values, not
// 4: with d = b - a and f = 32 f1 + f0 it is a + ((d f1 + ((d f0 - a) >> 5))
// >> 5), every term within 16 bits, the shifts rounding down as the
// division by 1024 does.
std::uint8_t BlendNarrow(std::int16_t a, std::int16_t b, std::int16_t f1, std::int16_t f0)
{
    const std::int16_t d = std::int16_t(b - a);
    const std::int16_t low = std::int16_t(std::int16_t(d * f0 - a) >> 5);
    return std::uint8_t(a + (std::int16_t(d * f1 + low) >> 5));
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

// Bilinear growth of a 24-bit picture: each new row blends two source rows
// that were blended across first. A source row blended across is the same
// for every new row that samples it, so it is worked out once and kept while
// the rows that use it are made.
class Bilinear {
public:
    Bilinear(const Scale& s, int width) : s_(s), columns_(std::size_t(width))
    {
        const int lastColumn = DibWidth(s.src) - 1;
        for (int x = 0; x < width; ++x) {
            const Sample sx = SampleAt(x, s.xr);
            columns_[std::size_t(x)] =
                Column{std::ptrdiff_t(3) * sx.index,
                       std::ptrdiff_t(3) * std::min(sx.index + 1, lastColumn), sx.fraction};
        }
        upper_.resize(3 * columns_.size());
        lower_.resize(3 * columns_.size());
    }

    void Row(int y, Sample sy)
    {
        const int y1 = std::min(sy.index + 1, DibHeight(s_.src) - 1);
        if (upperRow_ != sy.index) {
            if (lowerRow_ == sy.index) {
                std::swap(upper_, lower_);
                std::swap(upperRow_, lowerRow_);
            } else {
                Across(upper_, upperRow_ = sy.index);
            }
        }
        if (lowerRow_ != y1)
            Across(lower_, lowerRow_ = y1);
        // Blocks of a fixed count, which the compiler's cheap vectoriser at
        // -O2 turns into vector code; the row's last bytes go one by one.
        constexpr std::size_t kBlock = 16;
        const auto f1 = std::int16_t(sy.fraction >> 5), f0 = std::int16_t(sy.fraction & 31);
        const std::uint8_t* a = upper_.data();
        const std::uint8_t* b = lower_.data();
        std::uint8_t* out = s_.DstRow(y);
        const std::size_t n = upper_.size();
        std::size_t i = 0;
        for (; n - i >= kBlock; i += kBlock) {
            std::uint8_t block[kBlock]; // apart from the rows, so no aliasing to rule out
            for (std::size_t j = 0; j < kBlock; ++j)
                block[j] = BlendNarrow(a[i + j], b[i + j], f1, f0);
            std::memcpy(out + i, block, kBlock);
        }
        for (; i < n; ++i)
            out[i] = Blend(a[i], b[i], sy.fraction);
    }

private:
    struct Column {
        std::ptrdiff_t first, second; // byte offsets of the two source pixels
        std::uint32_t fraction;
    };

    void Across(std::vector<std::uint8_t>& row, int sy) const
    {
        const std::uint8_t* in = s_.SrcRow(sy);
        std::uint8_t* out = row.data();
        for (const Column& c : columns_) {
            const std::uint8_t* p = in + c.first;
            const std::uint8_t* q = in + c.second;
            out[0] = Blend(p[0], q[0], c.fraction);
            out[1] = Blend(p[1], q[1], c.fraction);
            out[2] = Blend(p[2], q[2], c.fraction);
            out += 3;
        }
    }

    const Scale& s_;
    std::vector<Column> columns_;
    std::vector<std::uint8_t> upper_, lower_; // source rows blended across
    int upperRow_ = -1, lowerRow_ = -1;       // which
};

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
        const bool bilinear =
            bits == 24 && Interpolate && srcHeight <= NewHeight && srcWidth <= NewWidth;
        // New rows are independent, bands of them go to all cores; a band
        // keeps its own pair of source rows blended across.
        const auto band = [&](int first, int last) {
            const std::unique_ptr<Bilinear> blend =
                bilinear ? std::make_unique<Bilinear>(s, NewWidth) : nullptr;
            for (int y = first; y < last; ++y) {
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
                        blend->Row(y, sy);
                    else
                        Row24(s, y, sy.index, NewWidth);
                    break;
                default:
                    break; // no sampling rule: the copy stays zero
                }
            }
        };
        ForEachRowBand(NewHeight, std::size_t(copy.LineBytes), &progress, band);
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
