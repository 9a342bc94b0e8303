// The optimize page's ten correction modes: their captions, their names on
// the command line, and the operator call each makes for a grid step and an
// intensity.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

#include <array>
#include <string>
#include <string_view>

// The modes in the order of KModeBox's items.
enum CorrectionMode : int {
    kModeHelligkeit,
    kModeKontrast,
    kModeSaettigung,
    kModeGamma,
    kModeGlanzlicht,
    kModeMitte,
    kModeSchatten,
    kModeRot,
    kModeGruen,
    kModeBlau,
};
constexpr int kCorrectionModeCount = 10;

// KModeBox's item captions (UTF-8), indexed by CorrectionMode.
extern const std::array<std::string_view, kCorrectionModeCount> kCorrectionModeCaptions;

// Their ASCII names, as the command line takes them.
extern const std::array<std::string_view, kCorrectionModeCount> kCorrectionModeNames;

// A caption ("Sättigung") or ASCII name ("saettigung"), any letter case; -1
// for an unknown name.
int ParseCorrectionMode(const std::string& name);

// The intensity spin edit's limits; values beyond them never reach an operator.
constexpr int kMinIntensity = 1;
constexpr int kMaxIntensity = 25;
// The page's intensity at start, and the command line's when none is given.
constexpr int kDefaultIntensity = 8;

enum class VariationOperator {
    None, // no item selected, or the gamma mode's unchanged centre
    Helligkeit,
    Kontrast,
    Saettigung,
    Gamma,
    HighMidShadow,
    RedGreenBlue,
};

// One operator call: the integer arguments in the operator's order (unused
// ones 0), the exponent for Gamma.
struct VariationCall {
    VariationOperator Operator = VariationOperator::None;
    int Args[3] = {0, 0, 0};
    double Exponent = 0.0;
    friend bool operator==(const VariationCall&, const VariationCall&) = default;
};

// The call that mode makes for grid step -4..4 at intensity (clamped to
// kMinIntensity..kMaxIntensity first).
VariationCall VariationArguments(int mode, int step, int intensity);

// Makes that call on dib.
void ApplyVariation(TDibRecord& dib, int mode, int step, int intensity, ProgressSink& progress);
