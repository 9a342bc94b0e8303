// Windows and OS/2 bitmap files: the 12-byte OS/2 1.x header, OS/2 2.x
// headers, and the 40-byte Windows header with its V2..V5 extensions; 1, 4, 8,
// 16, 24 and 32 bits per pixel, uncompressed, RLE8, RLE4 and bit fields.
// Palette files stay palette pictures with their colour table; 16- and 32-bit
// files become 24-bit pictures, composited over white where the header gives
// an alpha mask.
#include "imagora/DecodeSupport.h"
#include "imagora/Decoders.h"
#include "imagora/Imagora.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;       // OS/2 1.x
constexpr std::uint32_t kShortOs2HeaderBytes = 16;   // OS/2 2.x may stop after the bit count
constexpr std::uint32_t kInfoHeaderBytes = 40;       // Windows 3
constexpr std::uint32_t kMaskedInfoHeaderBytes = 52; // V2 and later carry the masks
constexpr std::uint32_t kAlphaInfoHeaderBytes = 56;  // V3 and later carry an alpha mask too
constexpr std::uint32_t kFullOs2HeaderBytes = 64;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

std::uint16_t Le16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t Le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// One colour channel of a bit-field pixel: where its bits sit and how wide
// the field is, so that any mask widens (or narrows) to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m)
    {
        if (m == 0)
            return;
        shift = std::countr_zero(m);
        width = std::bit_width(m >> shift); // gaps in a mask count as bits
    }

    std::uint8_t Extract(std::uint32_t pixel) const
    {
        if (width == 0)
            return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (width >= 8)
            return std::uint8_t(v >> (width - 8));
        const std::uint32_t max = (1u << width) - 1;
        return std::uint8_t((v * 255 + max / 2) / max);
    }
};

// Everything the headers say about where the pixels are and how to read them.
struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0; // always positive
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = BI_RGB;
    std::array<std::uint32_t, 3> masks{}; // red, green, blue
    std::uint32_t alphaMask = 0;          // 0: opaque
    std::size_t tableOffset = 0;
    std::size_t tableEntries = 0;
    std::size_t entryBytes = 4; // RGBQUAD; 3 for OS/2 1.x RGBTRIPLEs
    std::size_t dataOffset = 0;
};

std::array<std::uint32_t, 3> ReadMasks(const std::uint8_t* p)
{
    return {Le32(p), Le32(p + 4), Le32(p + 8)};
}

bool ReadLayout(const std::uint8_t* data, std::size_t size, Layout& L)
{
    if (size < kFileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M')
        return false;
    L.dataOffset = Le32(data + 10);
    const std::uint32_t headerBytes = Le32(data + kFileHeaderBytes);
    if (headerBytes > size - kFileHeaderBytes)
        return false;
    const std::uint8_t* h = data + kFileHeaderBytes;

    std::int64_t rawHeight = 0;
    std::uint32_t clrUsed = 0;
    if (headerBytes == kCoreHeaderBytes) {
        L.width = Le16(h + 4);
        rawHeight = Le16(h + 6);
        L.bits = Le16(h + 10);
        L.entryBytes = 3;
    } else if (headerBytes >= kShortOs2HeaderBytes) {
        // OS/2 2.x headers share the Windows layout but may end early; the
        // missing fields read as zero.
        std::uint8_t full[kInfoHeaderBytes] = {};
        std::memcpy(full, h, std::min(headerBytes, kInfoHeaderBytes));
        L.width = std::int32_t(Le32(full + 4));
        rawHeight = std::int32_t(Le32(full + 8));
        L.bits = Le16(full + 14);
        L.compression = Le32(full + 16);
        clrUsed = Le32(full + 32);
        const bool os2 = headerBytes < kInfoHeaderBytes || headerBytes == kFullOs2HeaderBytes;
        // OS/2 gives 3 and 4 to Huffman 1D and RLE24, which we do not read.
        if (os2 && L.compression >= BI_BITFIELDS)
            return false;
    } else {
        return false;
    }

    L.topDown = rawHeight < 0;
    L.height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (L.width <= 0 || L.height <= 0 || L.height > std::numeric_limits<std::int32_t>::max())
        return false;
    L.tableOffset = kFileHeaderBytes + headerBytes;

    switch (L.compression) {
    case BI_RGB:
        if (L.bits != 1 && L.bits != 4 && L.bits != 8 && L.bits != 16 && L.bits != 24 &&
            L.bits != 32)
            return false;
        if (L.bits == 16)
            L.masks = {0x7C00, 0x03E0, 0x001F}; // 5-5-5
        else if (L.bits == 32)
            L.masks = {0xFF0000, 0x00FF00, 0x0000FF};
        break;
    case BI_RLE8:
    case BI_RLE4:
        // RLE pictures are bottom-up by definition.
        if (L.bits != (L.compression == BI_RLE8 ? 8 : 4) || L.topDown)
            return false;
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS: {
        if (L.bits != 16 && L.bits != 32)
            return false;
        if (headerBytes >= kMaskedInfoHeaderBytes) {
            L.masks = ReadMasks(h + kInfoHeaderBytes);
            if (headerBytes >= kAlphaInfoHeaderBytes)
                L.alphaMask = Le32(h + kMaskedInfoHeaderBytes);
        } else {
            // A plain 40-byte header is followed by the masks (and alpha's).
            const std::size_t maskBytes = L.compression == BI_BITFIELDS ? 12 : 16;
            if (L.tableOffset + maskBytes > size)
                return false;
            L.masks = ReadMasks(data + L.tableOffset);
            if (maskBytes == 16)
                L.alphaMask = Le32(data + L.tableOffset + 12);
            L.tableOffset += maskBytes;
        }
        break;
    }
    default:
        return false;
    }

    if (L.dataOffset < L.tableOffset || L.dataOffset > size)
        return false;
    if (L.bits <= 8) {
        const std::size_t full = std::size_t(1) << L.bits;
        const std::size_t wanted = clrUsed != 0 ? std::min<std::size_t>(clrUsed, full) : full;
        // The table never reaches into the pixels, whatever the header claims.
        L.tableEntries = std::min(wanted, (L.dataOffset - L.tableOffset) / L.entryBytes);
    }
    return true;
}

// The colour table, padded with black to the full 2^bits entries.
void ReadColourTable(const std::uint8_t* data, const Layout& L, BITMAPINFO& table)
{
    for (std::size_t i = 0; i < L.tableEntries; ++i) {
        const std::uint8_t* e = data + L.tableOffset + i * L.entryBytes;
        table.bmiColors[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }
}

bool NewPicture(const std::uint8_t* data, const Layout& L, TDibRecord* out)
{
    const int outBits = L.bits <= 8 ? L.bits : 24;
    if (outBits == 24 || L.tableEntries == 0) {
        newdib(out, int(L.width), int(L.height), outBits, nullptr, 0);
    } else {
        BITMAPINFO table{};
        ReadColourTable(data, L, table);
        newdib(out, int(L.width), int(L.height), outBits, &table, 1 << outBits);
    }
    return out->Bits != nullptr;
}

// Stored row index (from the bottom) of the n-th row in the file.
std::int64_t StoredRow(const Layout& L, std::int64_t n)
{
    return L.topDown ? L.height - 1 - n : n;
}

bool DecodeUncompressed(const std::uint8_t* data, std::size_t size, const Layout& L,
                        TDibRecord* out)
{
    const std::int64_t fileLine = DibLineBytes(L.width, L.bits);
    const std::int64_t usedBytes = (L.width * L.bits + 7) / 8;
    // The last row may lack its padding, but every pixel must be there.
    const std::uint64_t available = size - L.dataOffset;
    if (available < std::uint64_t(usedBytes) ||
        std::uint64_t(L.height - 1) > (available - usedBytes) / std::uint64_t(fileLine))
        return false;
    if (!NewPicture(data, L, out))
        return false;

    const std::uint8_t* pixels = data + L.dataOffset;
    if (L.bits <= 8 || L.bits == 24) {
        for (std::int64_t n = 0; n < L.height; ++n)
            std::memcpy(out->Bits + StoredRow(L, n) * out->LineBytes, pixels + n * fileLine,
                        std::size_t(usedBytes));
        return true;
    }

    const Channel red(L.masks[0]), green(L.masks[1]), blue(L.masks[2]);
    const int step = L.bits / 8;
    const auto read = [step](const std::uint8_t* p) {
        return step == 2 ? std::uint32_t(Le16(p)) : Le32(p);
    };
    // Many writers fill the alpha bits with 0 whatever the mask says; a
    // picture that would be wholly transparent is taken as opaque.
    bool transparency = false;
    for (std::int64_t n = 0; n < L.height && L.alphaMask && !transparency; ++n) {
        const std::uint8_t* src = pixels + n * fileLine;
        for (std::int64_t x = 0; x < L.width && !transparency; ++x, src += step)
            transparency = (read(src) & L.alphaMask) != 0;
    }
    const Channel alpha(L.alphaMask);
    for (std::int64_t n = 0; n < L.height; ++n) {
        const std::uint8_t* src = pixels + n * fileLine;
        std::uint8_t* dst = out->Bits + StoredRow(L, n) * out->LineBytes;
        for (std::int64_t x = 0; x < L.width; ++x, src += step, dst += 3) {
            const std::uint32_t v = read(src);
            dst[0] = blue.Extract(v);
            dst[1] = green.Extract(v);
            dst[2] = red.Extract(v);
            if (transparency) {
                const std::uint8_t a = alpha.Extract(v);
                for (int c = 0; c < 3; ++c)
                    dst[c] = OverWhite(dst[c], a);
            }
        }
    }
    return true;
}

// Writes RLE output into the picture, dropping whatever falls outside it.
class RleCanvas {
public:
    RleCanvas(TDibRecord& d, int bits) : d_(d), bits_(bits), width_(DibWidth(d)) {}

    void Put(std::int64_t x, std::int64_t y, std::uint8_t index)
    {
        if (x >= width_ || y >= DibHeight(d_))
            return;
        std::uint8_t* row = d_.Bits + y * d_.LineBytes;
        if (bits_ == 8) {
            row[x] = index;
        } else {
            std::uint8_t& b = row[x >> 1];
            b = (x & 1) ? std::uint8_t((b & 0xF0) | (index & 0x0F))
                        : std::uint8_t((b & 0x0F) | (index << 4));
        }
    }

    int Width() const { return width_; }

private:
    TDibRecord& d_;
    int bits_;
    int width_;
};

// RLE8 and RLE4 share their codes: a count and a value repeat the value (RLE4:
// its two nibbles alternately); a zero count escapes to end of line (0), end
// of picture (1), a jump (2, then dx, dy) or a literal run of n pixels padded
// to a 16-bit boundary. The stream's own end stops decoding as well: what it
// did not reach stays index 0, as other readers show truncated files.
void DecodeRle(const std::uint8_t* data, std::size_t size, const Layout& L, TDibRecord& d)
{
    RleCanvas canvas(d, L.bits);
    const std::uint8_t* p = data + L.dataOffset;
    const std::uint8_t* const end = data + size;
    const bool rle8 = L.bits == 8;
    std::int64_t x = 0;
    std::int64_t y = 0; // rows from the bottom
    while (end - p >= 2 && y < L.height) {
        const int count = p[0];
        const std::uint8_t value = p[1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                canvas.Put(x + i, y, rle8 ? value : ((i & 1) ? value & 0x0F : value >> 4));
            x += count;
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (end - p < 2)
                return;
            x += p[0];
            y += p[1];
            p += 2;
        } else {
            const std::ptrdiff_t bytes = rle8 ? value : (value + 1) / 2;
            if (end - p < bytes)
                return;
            for (int i = 0; i < value; ++i)
                canvas.Put(x + i, y, rle8 ? p[i] : ((i & 1) ? p[i / 2] & 0x0F : p[i / 2] >> 4));
            x += value;
            p += std::min<std::ptrdiff_t>((bytes + 1) & ~std::ptrdiff_t(1), end - p);
        }
        // Past the right edge nothing is drawn; keeping x there stops it growing.
        x = std::min<std::int64_t>(x, canvas.Width());
    }
}

} // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, TDibRecord* out)
{
    *out = TDibRecord{};
    Layout L;
    if (!data || !ReadLayout(data, size, L))
        return false;
    if (L.compression == BI_RLE8 || L.compression == BI_RLE4) {
        // The stream may describe large empty areas with a few codes, so its
        // length does not bound the picture; the library's limit does.
        if (!NewPicture(data, L, out))
            return false;
        DecodeRle(data, size, L, *out);
        return true;
    }
    return DecodeUncompressed(data, size, L, out);
}
