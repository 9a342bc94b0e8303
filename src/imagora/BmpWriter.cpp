// Windows bitmaps keep the picture's own depth and colour table: bottom-up,
// uncompressed, with the 40-byte header every reader knows.
#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"

#include <cstring>

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;

void PutLe16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void PutLe32(std::uint8_t* p, std::uint32_t v)
{
    PutLe16(p, v);
    PutLe16(p + 2, v >> 16);
}

} // namespace

bool EncodeBmp(const TDibRecord& dib, const EncodeOptions&, OutputFile& out, std::string& reason)
{
    const BITMAPINFOHEADER& src = dib.Info->bmiHeader;
    const int bits = src.biBitCount;
    const std::uint32_t colours = bits <= 8 ? 1u << bits : 0;
    const std::size_t fileLine = std::size_t(DibLineBytes(src.biWidth, bits));
    const std::uint64_t imageBytes = std::uint64_t(fileLine) * std::uint64_t(src.biHeight);
    const std::size_t offset = kFileHeaderBytes + kInfoHeaderBytes + 4 * colours;
    if (offset + imageBytes > 0xFFFFFFFFu) {
        reason = "Das Bild ist für das BMP-Format zu groß.";
        return false;
    }

    std::uint8_t* f = out.Append(offset);
    if (!f)
        return false;
    std::memset(f, 0, offset);
    f[0] = 'B';
    f[1] = 'M';
    PutLe32(f + 2, std::uint32_t(offset + imageBytes));
    PutLe32(f + 10, std::uint32_t(offset));

    std::uint8_t* h = f + kFileHeaderBytes;
    PutLe32(h, kInfoHeaderBytes);
    PutLe32(h + 4, std::uint32_t(src.biWidth));
    PutLe32(h + 8, std::uint32_t(src.biHeight)); // positive: bottom-up
    PutLe16(h + 12, 1);
    PutLe16(h + 14, std::uint32_t(bits));
    PutLe32(h + 16, BI_RGB);
    PutLe32(h + 20, std::uint32_t(imageBytes));
    PutLe32(h + 24, std::uint32_t(src.biXPelsPerMeter));
    PutLe32(h + 28, std::uint32_t(src.biYPelsPerMeter));
    PutLe32(h + 32, colours);

    std::uint8_t* table = h + kInfoHeaderBytes;
    for (std::uint32_t i = 0; i < colours; ++i) {
        const RGBQUAD& q = dib.Info->bmiColors[i];
        table[4 * i] = q.rgbBlue;
        table[4 * i + 1] = q.rgbGreen;
        table[4 * i + 2] = q.rgbRed;
    }

    // Rows are stored bottom-up in both, so rows that fill their words go
    // out as they are; otherwise each row's padding is written as zeros,
    // whatever the picture holds there.
    const std::size_t usedBytes = (std::size_t(src.biWidth) * bits + 7) / 8;
    if (usedBytes == fileLine)
        return out.Write(dib.Bits, std::size_t(imageBytes));
    for (std::int32_t y = 0; y < src.biHeight; ++y) {
        std::uint8_t* row = out.Append(fileLine);
        if (!row)
            return false;
        std::memcpy(row, dib.Bits + std::size_t(y) * std::size_t(dib.LineBytes), usedBytes);
        std::memset(row + usedBytes, 0, fileLine - usedBytes);
    }
    return true;
}
