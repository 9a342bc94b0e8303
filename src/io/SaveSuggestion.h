// What the save dialog offers: the opened file's own format when it can be
// written, else PNG, which loses nothing; within the Netpbm family the kind
// that holds the picture whole, so that the name offered never costs a
// picture its colours or greys.
#pragma once

#include "imagora/DibRecord.h"

#include <cstddef>
#include <string>
#include <vector>

enum class PictureTones { BlackAndWhite, Grey, Colour };

// What a picture's pixels need: black and white only, greys, or colours.
PictureTones TonesOf(const TDibRecord& dib);

struct SaveFormat {
    std::string description;             // "PNG-Bild"
    std::vector<std::string> extensions; // without the dot; the first is the one offered
    bool netpbm = false;                 // the extension says which kind is written
};

// The writable formats, in the writers' order, each with the extension that
// suits a picture of these tones first.
std::vector<SaveFormat> SaveFormatsFor(PictureTones tones);

struct SaveSuggestion {
    std::string path;   // folder (when opened had one), name and extension
    std::size_t format; // index into SaveFormatsFor(tones)
};

// The file offered for saving a picture of these tones that came from the
// file opened ("" when none: "Bild.png").
SaveSuggestion SuggestSave(const std::string& opened, PictureTones tones);
