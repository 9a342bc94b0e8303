// What the rotate dialog asks for, and the turn that carries it out: the
// fixed angles by the pixel-exact quarter and half turns, any other angle by
// the free rotation.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

enum class RotateAngle { Deg90, Deg180, Deg270, Free };

// The free angle's limits, in degrees, and its decimals.
constexpr long double kMinFreeDegrees = 0.01L;
constexpr long double kMaxFreeDegrees = 359.99L;
constexpr int kFreeDegreeDecimals = 2;

struct RotateChoice {
    bool Right = false; // "Rechts": clockwise; "Links": anticlockwise
    RotateAngle Angle = RotateAngle::Free;
    long double Degrees = 45; // of a free angle
    COLORREF Background = RGB(255, 255, 255);
};

// Result receives Src turned as chosen; empty when it cannot be allocated.
void RunRotation(const TDibRecord& Src, const RotateChoice& choice, TDibRecord& Result,
                 ProgressSink& progress);
