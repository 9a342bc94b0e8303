// The automatic correction: a short series of the grid's own clicks, each
// chosen on a small copy of the picture as the one that brings it closest to
// a well-exposed, neutral photo, until no click helps any more.
#pragma once

#include "base/ProgressSink.h"
#include "imagora/DibRecord.h"
#include "steps/Step.h"

#include <vector>

// What the score looks at, all of the luminance (30 r + 59 g + 11 b) / 100
// but the clipping.
struct ExposureStats {
    int Low = 0;    // 0.05 % of the pixels neither black nor white are darker
    int High = 255; // 0.05 % of them are brighter
    int Median = 128;
    double Clipped = 0; // share of channel values at 0 or 255
    // The colour balance: mean red and mean blue less mean green, in parts of
    // High - Low, which a change of brightness or contrast keeps.
    double RedCast = 0;
    double BlueCast = 0;
};

// Of a picture of any depth the corrections treat (palette pictures through
// their colour table).
ExposureStats MeasureExposure(const TDibRecord& dib);

// 0 for a picture that reaches from black to white with its middle tones
// near the middle, no more clipped and its colours balanced as they were
// before the picks; growing with every fault.
double ExposureScore(const ExposureStats& stats, const ExposureStats& before);

// The longest series of picks.
constexpr int kMaxAutoPicks = 12;

// The picks for picture, as correction steps marked automatic (AutoStep):
// each the mode, grid step -4..4 (not 0) and intensity (the given one or a
// smaller one) whose result scores lowest, as long as it lowers the score.
// Chosen on a copy no larger than 128 x 128; the picture stays as it is.
std::vector<Step> ChooseAutoCorrections(const TDibRecord& picture, int intensity,
                                        ProgressSink& progress);
