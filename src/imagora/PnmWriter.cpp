// Netpbm files in the smallest kind that holds the picture exactly: a
// bitmap (P4) for black-and-white pictures, a grey map (P5) for pictures with
// a table of greys, a pixel map (P6) for everything else.
#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"

namespace {

void AppendHeader(ByteBuffer& out, const char* magic, int width, int height, bool maxval)
{
    const std::string header = std::string(magic) + "\n" + std::to_string(width) + " " +
                               std::to_string(height) + (maxval ? "\n255\n" : "\n");
    out.insert(out.end(), header.begin(), header.end());
}

} // namespace

bool EncodePnm(const TDibRecord& dib, const EncodeOptions&, ByteBuffer& out, std::string&)
{
    const int width = DibWidth(dib);
    const int height = DibHeight(dib);
    std::uint8_t levels[256];
    const bool grey = DibGreyLevels(dib, levels);

    if (grey && DibBitCount(dib) == 1 && (levels[0] ^ levels[1]) == 0xFF) {
        // A bitmap's 1 is black: white index bits are inverted.
        const std::uint8_t flip = levels[1] == 0xFF ? 0xFF : 0x00;
        const std::size_t rowBytes = (std::size_t(width) + 7) / 8;
        const unsigned spare = unsigned(8 * rowBytes - width);
        AppendHeader(out, "P4", width, height, false);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = DibRowFromTop(dib, y);
            for (std::size_t i = 0; i < rowBytes; ++i)
                out.push_back(std::uint8_t(row[i] ^ flip));
            out.back() &= std::uint8_t(0xFF << spare);
        }
        return true;
    }

    const std::size_t rowBytes = std::size_t(width) * (grey ? 1 : 3);
    AppendHeader(out, grey ? "P5" : "P6", width, height, true);
    std::size_t at = out.size();
    out.resize(at + rowBytes * std::size_t(height));
    for (int y = 0; y < height; ++y, at += rowBytes) {
        if (grey)
            DibRowToGrey(dib, y, levels, out.data() + at);
        else
            DibRowToRgb(dib, y, out.data() + at);
    }
    return true;
}
