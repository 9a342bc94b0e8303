#include "correct/CorrectionModes.h"

#include "correct/Corrections.h"

#include <algorithm>

const std::array<std::string_view, kCorrectionModeCount> kCorrectionModeCaptions = {
    "Helligkeit", "Kontrast", "Sättigung", "Gamma Korrektur", "Glanzlicht", "Mitte", "Schatten",
    "Rot",        "Grün",     "Blau",
};

const std::array<std::string_view, kCorrectionModeCount> kCorrectionModeNames = {
    "helligkeit", "kontrast", "saettigung", "gamma", "glanzlicht",
    "mitte",      "schatten", "rot",        "gruen", "blau",
};

namespace {

// Lower case for ASCII and for the UTF-8 umlauts of the captions.
std::string Folded(std::string_view s)
{
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); ++i) {
        char& c = out[i];
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        } else if (c == '\xC3' && i + 1 < out.size()) {
            char& next = out[i + 1];
            if (next == '\x84' || next == '\x96' || next == '\x9C') // Ä Ö Ü
                next = char(next + 0x20);
        }
    }
    return out;
}

} // namespace

int ParseCorrectionMode(const std::string& name)
{
    const std::string wanted = Folded(name);
    for (int i = 0; i < kCorrectionModeCount; ++i)
        if (wanted == Folded(kCorrectionModeCaptions[i]) || wanted == kCorrectionModeNames[i])
            return i;
    return -1;
}

VariationCall VariationArguments(int mode, int step, int intensity)
{
    const int I = std::clamp(intensity, kMinIntensity, kMaxIntensity);
    const int k = step * I;
    // Glanzlicht and Schatten grow from the top-left cell: strength s + 4.
    const int threshold = (step + 4) * I * 255 / 200;
    using Op = VariationOperator;
    switch (mode) {
    case kModeHelligkeit:
        return {Op::Helligkeit, {k, 0, 0}};
    case kModeKontrast:
        return {Op::Kontrast, {100 + k, 0, 0}};
    case kModeSaettigung:
        return {Op::Saettigung, {k, 0, 0}};
    case kModeGamma:
        // Extended precision from the integer k, handed over as a double.
        if (step < 0)
            return {Op::Gamma, {}, double(1.0L + k * 0.9L / 100)};
        if (step > 0)
            return {Op::Gamma, {}, double(1.0L + (long double)(8 * k) / 100)};
        return {};
    case kModeGlanzlicht:
        return {Op::HighMidShadow, {255 - threshold, 128, 0}};
    case kModeMitte:
        return {Op::HighMidShadow, {255, k * 127 / 100 + 128, 0}};
    case kModeSchatten:
        return {Op::HighMidShadow, {255, 128, threshold}};
    case kModeRot:
        return {Op::RedGreenBlue, {k, 0, 0}};
    case kModeGruen:
        return {Op::RedGreenBlue, {0, k, 0}};
    case kModeBlau:
        return {Op::RedGreenBlue, {0, 0, k}};
    default:
        return {};
    }
}

void ApplyVariation(TDibRecord& dib, int mode, int step, int intensity, ProgressSink& progress)
{
    const VariationCall call = VariationArguments(mode, step, intensity);
    const int* a = call.Args;
    switch (call.Operator) {
    case VariationOperator::None:
        break;
    case VariationOperator::Helligkeit:
        Helligkeit(dib, a[0], progress);
        break;
    case VariationOperator::Kontrast:
        Kontrast(dib, a[0], progress);
        break;
    case VariationOperator::Saettigung:
        Saettigung(dib, a[0], progress);
        break;
    case VariationOperator::Gamma:
        Gamma(dib, call.Exponent, progress);
        break;
    case VariationOperator::HighMidShadow:
        HighMidShadow(dib, a[0], a[1], a[2], progress);
        break;
    case VariationOperator::RedGreenBlue:
        RedGreenBlue(dib, a[0], a[1], a[2], progress);
        break;
    }
}
