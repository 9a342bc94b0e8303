#include "correct/Corrections.h"

#include "correct/CorrectionFrame.h"
#include "imagora/Imagora.h"

#include <algorithm>
#include <cmath>

// The rules below hold their intermediate values in 16 bits, which every
// value fits for the clamped arguments: sums within -100..355, products
// within -25600..25600 (signed) and 0..51000 (unsigned).

void Helligkeit(TDibRecord& Dib, int Offset, ProgressSink& progress)
{
    const auto add = [](int v, int offset) { return ClampChannel(std::int16_t(v + offset)); };
    CorrectColours(Dib, OneBit::Treated, OnEveryChannel(add, std::clamp(Offset, -100, 100)),
                   progress);
}

void Kontrast(TDibRecord& Dib, int Percent, ProgressSink& progress)
{
    const int percent = std::clamp(Percent, 0, 200);
    const auto linear = OnEveryChannel(
        [](int v, int p) { return ClampChannel(std::int16_t((v - 127) * p) / 100 + 127); },
        percent);
    if (percent <= 100) {
        // Within 0..255 without clamping, so both paths share the linear rule.
        CorrectColours(Dib, OneBit::Treated, linear, progress);
        return;
    }
    // Palettes spread an increase from the ends: the dark half towards 0,
    // the bright half towards 255.
    const auto spread = OnEveryChannel(
        [](int v, int q) { return v >= 128 ? 255 - (255 - v) * q / 100 : v * q / 100; },
        200 - percent);
    CorrectColours(Dib, OneBit::Treated, spread, linear, progress);
}

void Saettigung(TDibRecord& Dib, int Change, ProgressSink& progress)
{
    const auto stretch = [](int v, int k) {
        return ClampChannel(std::int16_t((v - 128) * k) / 100 + 128);
    };
    CorrectColours(Dib, OneBit::Unchanged,
                   OnEveryChannel(stretch, 100 + std::clamp(Change, -100, 100)), progress);
}

void Gamma(TDibRecord& Dib, double Exponent, ProgressSink& progress)
{
    const double e = std::isnan(Exponent) ? 1.0 : std::clamp(Exponent, 0.1, 9.0);
    // The curve's distance from v is applied on the other side of v. Only
    // power's argument and result are doubles; the rest is extended
    // precision, rounded to nearest with ties to even.
    const ChannelTable t = Tabulate([=](int v) {
        const long double curve = 256.0L * power(double(v) / 256.0, e);
        const long double mirrored = std::nearbyint(2.0L * v - curve);
        return mirrored <= 0.0L ? 0 : (mirrored >= 255.0L ? 255 : int(mirrored));
    });
    CorrectColours(Dib, OneBit::Unchanged, t, progress);
}

void HighMidShadow(TDibRecord& Dib, int High, int Mid, int Shadow, ProgressSink& progress)
{
    const int high = std::clamp(High, 0, 255);
    int mid = std::clamp(Mid, 0, 255);
    int shadow = std::clamp(Shadow, 0, 255);
    // The thresholds win over the middle: Shadow <= Mid <= High.
    if (high < shadow)
        shadow = high;
    if (mid < shadow)
        mid = shadow;
    if (mid > high)
        mid = high;

    std::uint8_t shifted[256];
    for (int v = 0; v < 256; ++v)
        shifted[v] = std::uint8_t(ClampChannel(v + mid - 128));
    // Luminance is (30 r + 59 g + 11 b) div 100; the thresholds are compared
    // with the undivided sum: div 100 >= high <=> sum >= 100 high, and
    // div 100 <= shadow <=> sum < 100 (shadow + 1).
    const int whiteFrom = 100 * high, blackBelow = 100 * (shadow + 1);
    const auto rule = [&](std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
        const int weighted = 30 * r + 59 * g + 11 * b;
        if (weighted >= whiteFrom) {
            r = g = b = 255;
        } else if (weighted < blackBelow) {
            r = g = b = 0;
        } else {
            r = shifted[r];
            g = shifted[g];
            b = shifted[b];
        }
    };
    CorrectColours(Dib, OneBit::Unchanged, rule, progress);
}

void RedGreenBlue(TDibRecord& Dib, int Red, int Green, int Blue, ProgressSink& progress)
{
    // Factors from 0 % up, so a channel never goes negative; only the cap at
    // 255 is needed.
    const auto scale = [](int v, int factor) {
        return std::min(std::uint16_t(v * factor) / 100, 255);
    };
    const auto factor = [](int argument) { return 100 + std::clamp(argument, -100, 100); };
    CorrectColours(Dib, OneBit::Unchanged,
                   ChannelArithmetic{scale, factor(Red), factor(Green), factor(Blue)}, progress);
}
