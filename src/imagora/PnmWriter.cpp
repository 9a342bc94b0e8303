// Netpbm files of the kind the extension promises: .pbm a bitmap (P4), .pgm
// a grey map (P5), .ppm a pixel map (P6). A .pnm file takes the smallest kind
// that holds the picture exactly: a bitmap for black-and-white pictures, a
// grey map for pictures with a table of greys, a pixel map for everything
// else. Colours become greys by their luma (ITU-R BT.601), greys black or
// white at the middle.
#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"

#include <algorithm>
#include <vector>

namespace {

enum class PnmKind { Bitmap, GreyMap, PixelMap };

bool WriteHeader(OutputFile& out, const char* magic, int width, int height, bool maxval)
{
    const std::string header = std::string(magic) + "\n" + std::to_string(width) + " " +
                               std::to_string(height) + (maxval ? "\n255\n" : "\n");
    return out.Write(header.data(), header.size());
}

PnmKind KindFor(const std::string& extension, bool grey, const std::uint8_t* levels, int bits)
{
    if (extension == ".pbm")
        return PnmKind::Bitmap;
    if (extension == ".pgm")
        return PnmKind::GreyMap;
    if (extension == ".ppm" || !grey)
        return PnmKind::PixelMap;
    return bits == 1 && (levels[0] ^ levels[1]) == 0xFF ? PnmKind::Bitmap : PnmKind::GreyMap;
}

// Picture row y as grey levels, whatever the picture holds; rgb has room for
// a row of red, green, blue.
void GreyRow(const TDibRecord& dib, int y, bool grey, const std::uint8_t* levels, std::uint8_t* rgb,
             std::uint8_t* out)
{
    if (grey) {
        DibRowToGrey(dib, y, levels, out);
        return;
    }
    DibRowToRgb(dib, y, rgb);
    for (int x = 0; x < DibWidth(dib); ++x) {
        const unsigned r = rgb[3 * x], g = rgb[3 * x + 1], b = rgb[3 * x + 2];
        out[x] = std::uint8_t((299 * r + 587 * g + 114 * b + 500) / 1000);
    }
}

// A 1-bit picture's bitmap rows, a whole byte at a time: each of its two
// colours is black or not, so a byte of pixels maps to one byte of the file.
// The spare bits of a row's last byte stay 0.
void PackedBitmapRows(const TDibRecord& dib, bool grey, const std::uint8_t* levels, int first,
                      int last, std::uint8_t* bits)
{
    bool black[2];
    for (int i = 0; i < 2; ++i) {
        const RGBQUAD& q = dib.Info->bmiColors[i];
        black[i] =
            (grey ? levels[i]
                  : (299 * q.rgbRed + 587 * q.rgbGreen + 114 * q.rgbBlue + 500) / 1000) < 128;
    }
    std::uint8_t map[256];
    for (int v = 0; v < 256; ++v) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            byte |= unsigned(black[(v >> k) & 1]) << k;
        map[v] = std::uint8_t(byte);
    }
    const int width = DibWidth(dib);
    const std::size_t rowBytes = (std::size_t(width) + 7) / 8;
    const std::uint8_t lastMask = std::uint8_t(0xFF00u >> (width % 8 ? width % 8 : 8));
    for (int y = first; y < last; ++y, bits += rowBytes) {
        const std::uint8_t* row = DibRowFromTop(dib, y);
        for (std::size_t i = 0; i < rowBytes; ++i)
            bits[i] = map[row[i]];
        bits[rowBytes - 1] &= lastMask;
    }
}

} // namespace

bool EncodePnm(const TDibRecord& dib, const EncodeOptions& options, OutputFile& out, std::string&)
{
    const int width = DibWidth(dib);
    const int height = DibHeight(dib);
    std::uint8_t levels[256];
    const bool grey = DibGreyLevels(dib, levels);
    const PnmKind kind = KindFor(options.extension, grey, levels, DibBitCount(dib));
    // Rows are made in bands on all cores (OutputFile::WriteRows); a band
    // that converts pixel by pixel has rooms of its own for a row.
    const auto rgbRoom = [&] {
        return std::vector<std::uint8_t>(grey ? 0 : std::size_t(width) * 3);
    };

    if (kind == PnmKind::Bitmap) {
        // A bitmap's 1 is black.
        if (!WriteHeader(out, "P4", width, height, false))
            return false;
        const std::size_t rowBytes = (std::size_t(width) + 7) / 8;
        return out.WriteRows(height, rowBytes, [&](int first, int last, std::uint8_t* bits) {
            if (DibBitCount(dib) == 1) {
                PackedBitmapRows(dib, grey, levels, first, last, bits);
                return;
            }
            std::vector<std::uint8_t> rgb = rgbRoom(), row(static_cast<std::size_t>(width));
            std::fill_n(bits, std::size_t(last - first) * rowBytes, std::uint8_t(0));
            for (int y = first; y < last; ++y, bits += rowBytes) {
                GreyRow(dib, y, grey, levels, rgb.data(), row.data());
                for (int x = 0; x < width; ++x)
                    if (row[std::size_t(x)] < 128)
                        bits[x >> 3] = std::uint8_t(bits[x >> 3] | (0x80u >> (x & 7)));
            }
        });
    }

    const bool greyMap = kind == PnmKind::GreyMap;
    const std::size_t rowBytes = std::size_t(width) * (greyMap ? 1 : 3);
    if (!WriteHeader(out, greyMap ? "P5" : "P6", width, height, true))
        return false;
    return out.WriteRows(height, rowBytes, [&](int first, int last, std::uint8_t* line) {
        std::vector<std::uint8_t> rgb = greyMap ? rgbRoom() : std::vector<std::uint8_t>();
        for (int y = first; y < last; ++y, line += rowBytes) {
            if (greyMap)
                GreyRow(dib, y, grey, levels, rgb.data(), line);
            else
                DibRowToRgb(dib, y, line);
        }
    });
}
