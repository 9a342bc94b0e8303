#include "imagora/DibWriter.h"

#include "imagora/AtomicFile.h"
#include "imagora/DibEncoders.h"
#include "imagora/FileFormats.h"
#include "imagora/Imagora.h"
#include "imagora/RowFeed.h"

#include <algorithm>
#include <cctype>
#include <new>

namespace {

struct WriteFormat {
    FileFormatName name;
    DibEncoder encode;
};

constexpr WriteFormat kFormats[] = {
    {kBmpFormat, EncodeBmp},   {kPngFormat, EncodePng}, {kJpegFormat, EncodeJpeg},
    {kTiffFormat, EncodeTiff}, {kPnmFormat, EncodePnm},
};

std::string LowerExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

const WriteFormat* FormatFor(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    if (ext.size() < 2)
        return nullptr;
    for (const WriteFormat& f : kFormats) {
        const std::string masks = std::string(f.name.masks) + ";";
        if (masks.find("*" + ext + ";") != std::string::npos)
            return &f;
    }
    return nullptr;
}

std::string KnownExtensions()
{
    std::string list;
    for (const WriteFormat& f : kFormats) {
        for (const char* p = f.name.masks; *p; ++p) {
            if (*p == '*')
                list += list.empty() ? "" : ", ";
            else if (*p != ';')
                list += *p;
        }
    }
    return list;
}

bool KnownDepth(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

bool WriteDibFile(const TDibRecord& dib, const std::string& path, std::string* error,
                  int jpegQuality, const PictureMetadata* metadata, const RowFeed* rows)
{
    std::string reason;
    const WriteFormat* format = FormatFor(path);
    if (!dib.Bits || !dib.Info) {
        reason = "Das Bild enthält keine Bildpunkte.";
    } else if (!KnownDepth(DibBitCount(dib))) {
        reason = "Eine Farbtiefe von " + std::to_string(DibBitCount(dib)) +
                 " Bit wird nicht unterstützt.";
    } else if (!format) {
        reason = "Das Format ist an der Dateiendung nicht zu erkennen (möglich sind " +
                 KnownExtensions() + ").";
    } else if (rows && format->encode != EncodeJpeg && !rows->WaitFor(DibHeight(dib))) {
        // Only the JPEG encoder takes the rows as they come.
        reason = kRowsNeverCame;
    } else {
        try {
            const EncodeOptions options{jpegQuality, metadata, LowerExtension(path), rows};
            if (ReplaceFileAtomically(
                    path,
                    [&](OutputFile& out, std::string& why) {
                        return format->encode(dib, options, out, why);
                    },
                    reason))
                return true;
        } catch (const std::bad_alloc&) {
            reason = "Nicht genug Speicher.";
        }
    }
    if (error)
        *error = "Die Datei „" + path + "“ konnte nicht geschrieben werden: " + reason;
    return false;
}

const char* GetDIBSaveFilter()
{
    static const std::string filter = [] {
        std::string text;
        for (const WriteFormat& f : kFormats)
            text += std::string(text.empty() ? "" : "|") + f.name.description + " (" +
                    f.name.masks + ")|" + f.name.masks;
        return text;
    }();
    return filter.c_str();
}
