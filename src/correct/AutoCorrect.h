// The automatic correction: a short series of the grid's own clicks, each
// chosen on a small copy of the picture as the one that brings it closest to
// a well-exposed, neutral version of it, until no click helps any more.
#pragma once

#include "base/ProgressSink.h"
#include "imagora/DibRecord.h"
#include "steps/Step.h"

#include <array>
#include <vector>

// What the well-exposed version is made from. Luminance is
// (30 r + 59 g + 11 b) / 100.
struct ExposureStats {
    std::array<int, 3> Low = {0, 0, 0};       // red, green and blue's darkest value
    std::array<int, 3> High = {255, 255, 255}; // and brightest
    int Median = 128; // of the luminance
    // Mean red, green and blue of the brightest 1 % of the pixels (by luminance).
    std::array<double, 3> Light = {255, 255, 255};
};

// Of a picture of any depth the corrections treat (palette pictures through
// their colour table).
ExposureStats MeasureExposure(const TDibRecord& dib);

// The well-exposed, neutral version as a level for each channel's level.
struct ToneTarget {
    std::array<std::array<double, 256>, 3> Level; // red, green, blue
};

// A channel whose light parts fall clearly short of the other two (a cast)
// raised to them; the channels stretched together from the darkest to the
// brightest of them to 0..255;
// and, where the stretched median is too bright, a gamma that brings it down.
// A picture that reaches from black to white, without a cast and not too
// bright, is its own target.
ToneTarget WellExposed(const ExposureStats& stats);

// The longest series of picks.
constexpr int kMaxAutoPicks = 12;

// The picks for picture, as correction steps marked automatic (AutoStep):
// each the mode, grid step -4..4 (not 0) and intensity (the given one or a
// smaller one) whose result lies closest to the picture's WellExposed target
// (mean squared distance), as long as it comes clearly closer. Chosen on a
// copy no larger than 128 x 128; the picture stays as it is.
std::vector<Step> ChooseAutoCorrections(const TDibRecord& picture, int intensity,
                                        ProgressSink& progress);
