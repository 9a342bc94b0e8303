#include "io/SaveSuggestion.h"

#include "imagora/DibEncoders.h"
#include "imagora/DibWriter.h"
#include "imagora/FileFormats.h"

#include <algorithm>
#include <cctype>

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The Netpbm kind that holds a picture of these tones exactly.
const char* NetpbmExtension(PictureTones tones)
{
    switch (tones) {
    case PictureTones::BlackAndWhite:
        return "pbm";
    case PictureTones::Grey:
        return "pgm";
    case PictureTones::Colour:
        break;
    }
    return "ppm";
}

} // namespace

PictureTones TonesOf(const TDibRecord& dib)
{
    std::uint8_t levels[256];
    if (!dib.Bits || !dib.Info || !DibGreyLevels(dib, levels))
        return PictureTones::Colour;
    const bool twoLevels = DibBitCount(dib) == 1 && (levels[0] ^ levels[1]) == 0xFF;
    return twoLevels ? PictureTones::BlackAndWhite : PictureTones::Grey;
}

std::vector<SaveFormat> SaveFormatsFor(PictureTones tones)
{
    // "Description (masks)|*.a;*.b|..."
    std::vector<SaveFormat> formats;
    const std::vector<std::string> parts = Split(GetDIBSaveFilter(), '|');
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        SaveFormat f;
        f.description = parts[i].substr(0, parts[i].find(" ("));
        for (const std::string& mask : Split(parts[i + 1], ';'))
            f.extensions.push_back(mask.substr(2)); // "*.png" -> "png"
        f.netpbm = parts[i + 1] == kPnmFormat.masks;
        if (f.netpbm) {
            const auto kind = std::find(f.extensions.begin(), f.extensions.end(),
                                        std::string(NetpbmExtension(tones)));
            std::rotate(f.extensions.begin(), kind, kind + 1);
        }
        formats.push_back(f);
    }
    return formats;
}

SaveSuggestion SuggestSave(const std::string& opened, PictureTones tones)
{
    const std::vector<SaveFormat> formats = SaveFormatsFor(tones);
    const std::size_t slash = opened.find_last_of('/') + 1; // 0 without a folder
    const std::size_t dot = opened.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > slash;
    const std::string base =
        opened.empty() ? "Bild" : opened.substr(0, hasExtension ? dot : opened.size());
    const std::string extension = hasExtension ? opened.substr(dot + 1) : std::string();

    const std::string lower = Lower(extension);
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const std::vector<std::string>& known = formats[i].extensions;
        if (std::find(known.begin(), known.end(), lower) == known.end())
            continue;
        // A Netpbm file named for one kind is offered the kind that holds
        // this picture; ".pnm" picks that kind by itself when written.
        const bool otherKind = formats[i].netpbm && lower != "pnm";
        return {base + "." + (otherKind ? known.front() : extension), i};
    }
    const auto png = std::find_if(formats.begin(), formats.end(), [](const SaveFormat& f) {
        return f.extensions.front() == "png";
    });
    return {base + ".png", std::size_t(png - formats.begin())};
}
