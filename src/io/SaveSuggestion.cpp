#include "io/SaveSuggestion.h"

#include "imagora/DibEncoders.h"
#include "imagora/DibWriter.h"
#include "imagora/FileFilter.h"
#include "imagora/FileFormats.h"

#include <algorithm>
#include <cctype>

namespace {

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
    for (const FilterEntry& entry : ParseFileFilter(GetDIBSaveFilter())) {
        SaveFormat f;
        f.description = entry.description.substr(0, entry.description.find(" ("));
        f.extensions = entry.extensions;
        f.netpbm = entry.masks == kPnmFormat.masks;
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
