// The per-format encoders behind WriteDibFile and the row conversions they
// share. Each encoder writes the complete file to out, or returns false with
// a German reason; the picture has pixels and a depth of 1, 4, 8, 16, 24 or 32.
#pragma once

#include "imagora/AtomicFile.h"
#include "imagora/DibRecord.h"

#include <cstdint>
#include <string>

struct PictureMetadata;
class RowFeed;

struct EncodeOptions {
    int jpegQuality = 90; // 1..100
    // What the picture carried when it was opened (EXIF, colour profile), for
    // the formats that keep it; null for none.
    const PictureMetadata* metadata = nullptr;
    std::string extension; // of the file written, lower case: ".pgm"
    // The feed the picture's rows still arrive through, for an encoder that
    // writes them as they come; null when all are there.
    const RowFeed* rows = nullptr;
};

// Why nothing was written when the rows still arriving never came.
inline constexpr char kRowsNeverCame[] = "Das Bild wurde nicht vollständig gelesen.";

using DibEncoder = bool (*)(const TDibRecord&, const EncodeOptions&, OutputFile&, std::string&);

bool EncodeBmp(const TDibRecord& dib, const EncodeOptions& options, OutputFile& out,
               std::string& reason);
bool EncodePng(const TDibRecord& dib, const EncodeOptions& options, OutputFile& out,
               std::string& reason);
bool EncodeJpeg(const TDibRecord& dib, const EncodeOptions& options, OutputFile& out,
                std::string& reason);
bool EncodeTiff(const TDibRecord& dib, const EncodeOptions& options, OutputFile& out,
                std::string& reason);
bool EncodePnm(const TDibRecord& dib, const EncodeOptions& options, OutputFile& out,
               std::string& reason);

// Picture row y (from the top) as red, green, blue bytes: 3 x width of them.
// Palette pictures go through their colour table, 16 bits are read as 5-5-5.
void DibRowToRgb(const TDibRecord& dib, int y, std::uint8_t* rgb);

// Whether the picture has a colour table of greys only; levels then receives
// each index's grey (2^bits entries).
bool DibGreyLevels(const TDibRecord& dib, std::uint8_t* levels);

// Picture row y (from the top) of a grey palette picture as grey levels.
void DibRowToGrey(const TDibRecord& dib, int y, const std::uint8_t* levels, std::uint8_t* grey);
