// Netpbm files in the smallest kind that holds the picture exactly: a
// bitmap (P4) for black-and-white pictures, a grey map (P5) for pictures with
// a table of greys, a pixel map (P6) for everything else.
#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"

namespace {

bool WriteHeader(OutputFile& out, const char* magic, int width, int height, bool maxval)
{
    const std::string header = std::string(magic) + "\n" + std::to_string(width) + " " +
                               std::to_string(height) + (maxval ? "\n255\n" : "\n");
    return out.Write(header.data(), header.size());
}

} // namespace

bool EncodePnm(const TDibRecord& dib, const EncodeOptions&, OutputFile& out, std::string&)
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
        if (!WriteHeader(out, "P4", width, height, false))
            return false;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = DibRowFromTop(dib, y);
            std::uint8_t* line = out.Append(rowBytes);
            if (!line)
                return false;
            for (std::size_t i = 0; i < rowBytes; ++i)
                line[i] = std::uint8_t(row[i] ^ flip);
            line[rowBytes - 1] &= std::uint8_t(0xFF << spare);
        }
        return true;
    }

    const std::size_t rowBytes = std::size_t(width) * (grey ? 1 : 3);
    if (!WriteHeader(out, grey ? "P5" : "P6", width, height, true))
        return false;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* line = out.Append(rowBytes);
        if (!line)
            return false;
        if (grey)
            DibRowToGrey(dib, y, levels, line);
        else
            DibRowToRgb(dib, y, line);
    }
    return true;
}
