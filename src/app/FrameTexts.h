// The frame's own words: the window's caption, what the status bar says about
// the working image, and the pages with the sentence that introduces each, on
// its tab's hint and in the help window.
#pragma once

#include "imagora/DibRecord.h"

#include <string>

inline constexpr const char* kProductCaption = "Norvane Kelvora 1.0";

struct PageInfo {
    const char* caption;
    const char* icon;
    const char* about; // one sentence: what the user does there
};

// The five pages, left to right.
extern const PageInfo kPages[5];

// "photo.jpg - Norvane Kelvora 1.0" for a file's path; the plain caption for
// none.
std::string WindowCaption(const std::string& fileName);

// "1200 × 800 Pixel, 24 Bit"; empty for a record without pixels.
std::string PictureSizeText(const TDibRecord& dib);
