#include "correct/AutoCorrect.h"

#include "correct/CorrectionModes.h"
#include "display/FitInBox.h"
#include "geometry/Resize.h"
#include "imagora/Imagora.h"
#include "steps/StepTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

constexpr int kSampleSide = 128;

// The darkest and brightest levels are those beyond which this share of the
// pixels lies: a few stray pixels do not count, a bright sky does.
constexpr double kEndShare = 0.0005;

// Calls f(r, g, b) for every pixel; palette pictures give their entries' colours.
template <typename F> void ForEachColour(const TDibRecord& dib, F f)
{
    const int w = DibWidth(dib), h = DibHeight(dib), bits = DibBitCount(dib);
    if (!dib.Bits || (bits != 24 && bits > 8))
        return;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = DibRowFromTop(dib, y);
        for (int x = 0; x < w; ++x) {
            if (bits == 24) {
                f(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
            } else {
                const PALETTEENTRY& e = dib.Palette.palPalEntry[getpixel(dib, x, y) & 0xFF];
                f(e.peRed, e.peGreen, e.peBlue);
            }
        }
    }
}

int Luminance(int r, int g, int b)
{
    return (30 * r + 59 * g + 11 * b) / 100;
}

// The smallest level below or at which at least share of the count lies.
int Percentile(const std::array<long, 256>& histogram, long count, double share)
{
    const double wanted = share * double(count);
    long below = 0;
    for (int v = 0; v < 256; ++v) {
        below += histogram[std::size_t(v)];
        if (double(below) > wanted)
            return v;
    }
    return 255;
}

// A copy of picture small enough to try every pick on quickly.
TDibRecord Sample(const TDibRecord& picture)
{
    const int w = DibWidth(picture), h = DibHeight(picture);
    const FittedSize fit = w <= kSampleSide && h <= kSampleSide
                               ? FittedSize{w, h}
                               : AspectFit(kSampleSide, kSampleSide, w, h);
    TDibRecord sample;
    NullProgress quiet;
    DIBResize(picture, std::max(fit.width, 1), std::max(fit.height, 1), false, sample, quiet);
    return sample;
}

// Makes trial (of sample's shape) the sample's pixels and colours again.
void Restore(TDibRecord& trial, const TDibRecord& sample)
{
    std::memcpy(trial.Bits, sample.Bits,
                std::size_t(sample.LineBytes) * std::size_t(DibHeight(sample)));
    trial.Palette = sample.Palette;
    std::memcpy(trial.Info->bmiColors, sample.Info->bmiColors,
                sizeof(RGBQUAD) *
                    std::size_t(DibBitCount(sample) <= 8 ? DibColorCount(sample) : 0));
}

} // namespace

ExposureStats MeasureExposure(const TDibRecord& dib)
{
    // The ends are taken among the pixels short of pure black and white, so
    // that clipping a tail away never counts as reaching the ends.
    std::array<long, 256> all{}, unclipped{};
    long count = 0, inside = 0, clipped = 0;
    double sum[3] = {0, 0, 0};
    ForEachColour(dib, [&](int r, int g, int b) {
        sum[0] += r;
        sum[1] += g;
        sum[2] += b;
        const int y = Luminance(r, g, b);
        ++all[std::size_t(y)];
        ++count;
        if (y > 0 && y < 255) {
            ++unclipped[std::size_t(y)];
            ++inside;
        }
        clipped += (r == 0 || r == 255) + (g == 0 || g == 255) + (b == 0 || b == 255);
    });
    ExposureStats s;
    if (count == 0)
        return s;
    s.Median = Percentile(all, count, 0.5);
    s.Clipped = double(clipped) / double(3 * count);
    if (inside > 0) {
        s.Low = Percentile(unclipped, inside, kEndShare);
        s.High = Percentile(unclipped, inside, 1 - kEndShare);
    } else {
        s.Low = s.High = s.Median;
    }
    const double range = std::max(s.High - s.Low, 1) * double(count);
    s.RedCast = (sum[0] - sum[1]) / range;
    s.BlueCast = (sum[2] - sum[1]) / range;
    return s;
}

double ExposureScore(const ExposureStats& s, const ExposureStats& before)
{
    // In squared levels: the ends of the range from black and white, the
    // median beyond 30 levels from 115 at half that weight, every
    // percent of channel values clipped anew as much as 14 levels of range,
    // and a shift of the colour balance by 1 % of the range as much as 10 levels.
    const double shortOfWhite = 255 - s.High;
    const double offMiddle = std::max(std::abs(s.Median - 115) - 30, 0);
    const double red = s.RedCast - before.RedCast, blue = s.BlueCast - before.BlueCast;
    return double(s.Low) * s.Low + shortOfWhite * shortOfWhite + 0.5 * offMiddle * offMiddle +
           20000 * std::max(s.Clipped - before.Clipped, 0.0) + 1e6 * (red * red + blue * blue);
}

std::vector<Step> ChooseAutoCorrections(const TDibRecord& picture, int intensity,
                                        ProgressSink& progress)
{
    std::vector<Step> picks;
    TDibRecord sample = Sample(picture);
    TDibRecord trial = Sample(sample);
    if (!sample.Bits || !trial.Bits) {
        deldib(sample);
        deldib(trial);
        return picks;
    }
    // Every distinct operator call once, at the largest intensity that makes it.
    struct Candidate {
        int mode, step, intensity;
    };
    std::vector<Candidate> candidates;
    std::vector<VariationCall> calls;
    const int top = std::clamp(intensity, kMinIntensity, kMaxIntensity);
    for (int mode = 0; mode < kCorrectionModeCount; ++mode)
        for (int i = top; i >= kMinIntensity; --i)
            for (int step = -4; step <= 4; ++step) {
                const VariationCall call = VariationArguments(mode, step, i);
                if (step == 0 || std::find(calls.begin(), calls.end(), call) != calls.end())
                    continue;
                calls.push_back(call);
                candidates.push_back({mode, step, i});
            }

    NullProgress quiet;
    const ExposureStats start = MeasureExposure(sample);
    double score = ExposureScore(start, start);
    progress.SetProStatus(0);
    while (int(picks.size()) < kMaxAutoPicks) {
        progress.SetProStatus(StepPercent(int(picks.size()), kMaxAutoPicks));
        const Candidate* best = nullptr;
        double bestScore = score;
        for (const Candidate& c : candidates) {
            Restore(trial, sample);
            ApplyVariation(trial, c.mode, c.step, c.intensity, quiet);
            const double s = ExposureScore(MeasureExposure(trial), start);
            if (s < bestScore) {
                bestScore = s;
                best = &c;
            }
        }
        // A pick must be worth a click: a hundredth of the score at least.
        if (!best || bestScore > score - std::max(1.0, 0.01 * score))
            break;
        ApplyVariation(sample, best->mode, best->step, best->intensity, quiet);
        score = bestScore;
        picks.push_back(AutoStep(best->mode, best->step, best->intensity));
    }
    progress.SetProStatus(0);
    deldib(sample);
    deldib(trial);
    return picks;
}
