// Netpbm files: P1/P4 bitmaps become 1-bit black-and-white pictures, P2/P5
// grey maps 8-bit pictures with a grey table, P3/P6 pixel maps 24-bit ones.
// Samples of up to 16 bits are scaled to 8; of a file holding several images
// the first is read.
#include "imagora/Decoders.h"

#include "imagora/DecodeSupport.h"
#include "imagora/Imagora.h"
#include "imagora/RowBands.h"
#include "imagora/SwapRedBlue.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <vector>

namespace {

struct Cursor {
    const std::uint8_t* p;
    const std::uint8_t* end;
};

bool IsSpace(std::uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(std::uint8_t c)
{
    return c >= '0' && c <= '9';
}

// Whitespace and comments ("#" to the end of the line) may stand between any
// two header fields and between ASCII samples.
void SkipSeparators(Cursor& c)
{
    while (c.p < c.end) {
        if (IsSpace(*c.p)) {
            ++c.p;
        } else if (*c.p == '#') {
            while (c.p < c.end && *c.p != '\n' && *c.p != '\r')
                ++c.p;
        } else {
            break;
        }
    }
}

// A decimal number no larger than max.
bool ReadNumber(Cursor& c, std::uint32_t max, std::uint32_t& value)
{
    SkipSeparators(c);
    if (c.p == c.end || !IsDigit(*c.p))
        return false;
    std::uint64_t v = 0;
    while (c.p < c.end && IsDigit(*c.p)) {
        v = v * 10 + (*c.p++ - '0');
        if (v > max)
            return false;
    }
    value = std::uint32_t(v);
    return true;
}

struct Header {
    int kind = 0; // 1..6 as in the magic number
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t maxval = 1;

    bool Bitmap() const { return kind == 1 || kind == 4; }
    bool Colour() const { return kind == 3 || kind == 6; }
    bool Binary() const { return kind >= 4; }
    int Channels() const { return Colour() ? 3 : 1; }
};

bool ReadHeader(Cursor& c, Header& h)
{
    if (c.end - c.p < 3 || c.p[0] != 'P' || c.p[1] < '1' || c.p[1] > '6')
        return false;
    h.kind = c.p[1] - '0';
    c.p += 2;
    constexpr std::uint32_t kMaxSide = std::numeric_limits<std::int32_t>::max();
    if (!ReadNumber(c, kMaxSide, h.width) || !ReadNumber(c, kMaxSide, h.height) || h.width == 0 ||
        h.height == 0)
        return false;
    if (!h.Bitmap() && (!ReadNumber(c, 65535, h.maxval) || h.maxval == 0))
        return false;
    // Binary samples start after exactly one whitespace byte.
    if (h.Binary()) {
        if (c.p == c.end || !IsSpace(*c.p))
            return false;
        ++c.p;
    }
    return true;
}

// Whether count items of itemBytes each fit into the bytes that are left.
bool Fits(std::uint64_t count, std::uint64_t itemBytes, std::uint64_t available)
{
    return count <= available / itemBytes;
}

bool DataLargeEnough(const Header& h, std::uint64_t available)
{
    const std::uint64_t pixels = std::uint64_t(h.width) * h.height;
    switch (h.kind) {
    case 1: // one character per pixel at the least
        return Fits(pixels, 1, available);
    case 4:
        return Fits(h.height, (h.width + 7) / 8, available);
    case 2:
    case 3: // a digit and a separator per sample, bar the last separator
        return Fits(pixels, h.Channels(), (available + 1) / 2);
    default:
        return Fits(pixels, std::uint64_t(h.Channels()) * (h.maxval > 255 ? 2 : 1), available);
    }
}

void NewPicture(const Header& h, TDibRecord* out)
{
    if (h.Bitmap()) {
        newdib(out, int(h.width), int(h.height), 1, nullptr, 0); // 0 black, 1 white
    } else if (h.Colour()) {
        newdib(out, int(h.width), int(h.height), 24, nullptr, 0);
    } else {
        BITMAPINFO grey{};
        for (int i = 0; i < 256; ++i)
            grey.bmiColors[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
        newdib(out, int(h.width), int(h.height), 8, &grey, 256);
    }
}

// Every sample value 0..maxval scaled to 8 bits, rounded.
std::vector<std::uint8_t> ScaleTable(std::uint32_t maxval)
{
    std::vector<std::uint8_t> scale(maxval + 1);
    for (std::uint32_t v = 0; v <= maxval; ++v)
        scale[v] = std::uint8_t((v * 255 + maxval / 2) / maxval);
    return scale;
}

// Reads one sample at a time, ASCII or binary of two bytes, and scales it to
// 8 bits.
class SampleReader {
public:
    SampleReader(Cursor& c, const Header& h) : c_(c), h_(h), scale_(ScaleTable(h.maxval)) {}

    // False on a missing or out-of-range sample.
    bool Next(std::uint8_t& out)
    {
        std::uint32_t v = 0;
        if (!h_.Binary()) {
            if (!ReadNumber(c_, h_.maxval, v))
                return false;
        } else {
            v = std::uint32_t(c_.p[0] << 8) | c_.p[1];
            c_.p += 2;
        }
        if (v > h_.maxval)
            return false;
        out = scale_[v];
        return true;
    }

private:
    Cursor& c_;
    const Header& h_;
    std::vector<std::uint8_t> scale_;
};

// Binary bitmap rows, in bands on all cores.
void ReadPackedBits(const Cursor& c, const Header& h, TDibRecord& d)
{
    const std::size_t rowBytes = (h.width + 7) / 8;
    const unsigned spare = unsigned(8 * rowBytes - h.width);
    ForEachRowBand(int(h.height), rowBytes, nullptr, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint8_t* in = c.p + std::size_t(y) * rowBytes;
            std::uint8_t* row = DibRowFromTop(d, y);
            // PBM's 1 is black, our index 1 is white.
            for (std::size_t i = 0; i < rowBytes; ++i)
                row[i] = std::uint8_t(~in[i]);
            if (spare)
                row[rowBytes - 1] &= std::uint8_t(0xFF << spare);
        }
    });
}

bool ReadBitmap(Cursor& c, const Header& h, TDibRecord& d)
{
    if (h.kind == 4) {
        ReadPackedBits(c, h, d);
        return true;
    }
    for (std::uint32_t y = 0; y < h.height; ++y) {
        std::uint8_t* row = DibRowFromTop(d, int(y));
        for (std::uint32_t x = 0; x < h.width; ++x) {
            SkipSeparators(c); // ASCII bits need no separators between them
            if (c.p == c.end || (*c.p != '0' && *c.p != '1'))
                return false;
            if (*c.p++ == '0')
                row[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
        }
    }
    return true;
}

bool ReadSamples(Cursor& c, const Header& h, TDibRecord& d)
{
    SampleReader samples(c, h);
    for (std::uint32_t y = 0; y < h.height; ++y) {
        std::uint8_t* row = DibRowFromTop(d, int(y));
        for (std::uint32_t x = 0; x < h.width; ++x) {
            if (h.Colour()) {
                std::uint8_t* p = row + 3 * std::size_t(x); // stored blue, green, red
                if (!samples.Next(p[2]) || !samples.Next(p[1]) || !samples.Next(p[0]))
                    return false;
            } else if (!samples.Next(row[x])) {
                return false;
            }
        }
    }
    return true;
}

// Binary samples of one byte, whole rows at a time, in bands on all cores.
bool ReadByteRows(Cursor& c, const Header& h, TDibRecord& d, DecodeBudget& budget)
{
    const std::size_t rowBytes = std::size_t(h.width) * std::size_t(h.Channels());
    const bool scaled = h.maxval < 255;
    if (scaled && !budget.Take(rowBytes * std::size_t(RowBandThreads())))
        return false;
    const std::vector<std::uint8_t> scale = ScaleTable(h.maxval);
    std::atomic<bool> outOfRange{false};
    ForEachRowBand(int(h.height), rowBytes, nullptr, [&](int first, int last) {
        std::vector<std::uint8_t> staging(scaled ? rowBytes : 0);
        for (int y = first; y < last && !outOfRange; ++y) {
            const std::uint8_t* samples = c.p + std::size_t(y) * rowBytes;
            if (scaled) {
                if (*std::max_element(samples, samples + rowBytes) > h.maxval) {
                    outOfRange = true;
                    return;
                }
                for (std::size_t i = 0; i < rowBytes; ++i)
                    staging[i] = scale[samples[i]];
                samples = staging.data();
            }
            std::uint8_t* row = DibRowFromTop(d, y);
            if (h.Colour())
                SwapRedBlue(row, samples, h.width);
            else
                std::memcpy(row, samples, h.width);
        }
    });
    return !outOfRange;
}

} // namespace

bool DecodePnm(const std::uint8_t* data, std::size_t size, TDibRecord* out)
{
    *out = TDibRecord{};
    if (!data)
        return false;
    Cursor c{data, data + size};
    Header h;
    if (!ReadHeader(c, h) || !DataLargeEnough(h, std::uint64_t(c.end - c.p)))
        return false;
    NewPicture(h, out);
    DecodeBudget budget;
    if (!out->Bits || !budget.TakePicture(*out))
        return false;
    const bool read = h.Bitmap()                      ? ReadBitmap(c, h, *out)
                      : h.Binary() && h.maxval <= 255 ? ReadByteRows(c, h, *out, budget)
                                                      : ReadSamples(c, h, *out);
    if (read)
        return true;
    deldib(*out);
    *out = TDibRecord{};
    return false;
}
