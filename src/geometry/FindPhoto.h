// Finding a photo laid on a scanner: its four edges against the lid's even
// background and its skew, as the free turn that straightens it and the cut
// that takes it out of the straightened scan.
#pragma once

#include "base/WinTypes.h"
#include "imagora/DibRecord.h"

struct FoundPhoto {
    bool Found = false;
    // The background as the free turn fills the corners with it: a colour at
    // 24 bits, the most frequent index of a palette picture.
    COLORREF Background = 0;
    bool Right = false;  // the turn that straightens it is clockwise
    int Hundredths = 0;  // its angle in hundredths of a degree; 0: no turn
    RECT Bounds{};       // the photo's upright bounds on the scan
    RECT Crop{};         // in the turned picture, or the scan when not turned
    int CutWidth = 0;    // the size of the picture the crop is made on
    int CutHeight = 0;
};

// Skews under this many hundredths of a degree are left as they are.
constexpr int kLeastSkewHundredths = 5;

// Not found: no even background around the picture's edge, or nothing on it
// that stands out from it.
FoundPhoto FindPhoto(const TDibRecord& scan);
