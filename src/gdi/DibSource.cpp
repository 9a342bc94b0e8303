#include "gdi/DibSource.h"

#include <algorithm>

namespace {

constexpr std::uint32_t Raster(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

// 5 bits widened to 8 by repeating the top bits, so 31 becomes 255.
constexpr std::uint8_t Widen5(unsigned v)
{
    return std::uint8_t((v << 3) | (v >> 2));
}

bool KnownBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

bool DibSource::Open(const BITMAPINFO* info, const void* bits, std::int64_t startScan,
                     std::int64_t numScans)
{
    if (!info || !bits)
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize != sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight <= 0 ||
        h.biCompression != BI_RGB || !KnownBitCount(h.biBitCount))
        return false;

    bits_ = static_cast<const std::uint8_t*>(bits);
    width_ = h.biWidth;
    height_ = h.biHeight;
    bitCount_ = h.biBitCount;
    stride_ = std::ptrdiff_t(DibLineBytes(width_, bitCount_));
    startScan_ = startScan;
    firstScan_ = std::clamp<std::int64_t>(startScan, 0, height_);
    endScan_ = std::clamp<std::int64_t>(startScan + std::max<std::int64_t>(numScans, 0), firstScan_,
                                        height_);

    // True colour needs no table; the row scalers open a DIB per row.
    if (bitCount_ > 8)
        return true;
    const int full = 1 << bitCount_;
    const int used = h.biClrUsed > 0 && int(h.biClrUsed) < full ? int(h.biClrUsed) : full;
    for (int i = 0; i < used; ++i) {
        const RGBQUAD& q = info->bmiColors[i];
        table_[std::size_t(i)] = Raster(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    // Indices past the table show black.
    std::fill(table_.begin() + used, table_.begin() + full, 0u);
    return true;
}

template <typename Column>
void DibSource::Convert(std::int64_t s, int n, Column column, std::uint32_t* out) const
{
    const std::uint8_t* row = bits_ + std::ptrdiff_t(s - startScan_) * stride_;
    switch (bitCount_) {
    case 1:
        for (int i = 0; i < n; ++i) {
            const int x = column(i);
            out[i] = table_[(row[x >> 3] >> (7 - (x & 7))) & 1];
        }
        break;
    case 4:
        for (int i = 0; i < n; ++i) {
            const int x = column(i);
            out[i] = table_[(x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4)];
        }
        break;
    case 8:
        for (int i = 0; i < n; ++i)
            out[i] = table_[row[column(i)]];
        break;
    case 16:
        for (int i = 0; i < n; ++i) {
            const std::uint8_t* p = row + 2 * column(i);
            const unsigned v = p[0] | (unsigned(p[1]) << 8);
            out[i] = Raster(Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31));
        }
        break;
    case 24:
        for (int i = 0; i < n; ++i) {
            const std::uint8_t* p = row + 3 * column(i);
            out[i] = Raster(p[2], p[1], p[0]);
        }
        break;
    case 32:
        for (int i = 0; i < n; ++i) {
            const std::uint8_t* p = row + 4 * column(i);
            out[i] = Raster(p[2], p[1], p[0]);
        }
        break;
    default:
        break;
    }
}

void DibSource::Copy(std::int64_t s, int x0, int n, std::uint32_t* out) const
{
    Convert(
        s, n, [x0](int i) { return x0 + i; }, out);
}

void DibSource::Sample(std::int64_t s, const int* columns, int n, std::uint32_t* out) const
{
    Convert(
        s, n, [columns](int i) { return columns[i]; }, out);
}
