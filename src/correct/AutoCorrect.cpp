#include "correct/AutoCorrect.h"

#include "correct/CorrectionModes.h"
#include "correct/Corrections.h"
#include "depth/PixelRows.h"
#include "display/FitInBox.h"
#include "geometry/Resize.h"
#include "imagora/Imagora.h"
#include "steps/StepTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kSampleSide = 128;
// How many series of picks are followed at once.
constexpr std::size_t kBeam = 16;

// The light parts whose colour tells a cast.
constexpr double kLightShare = 0.01;
// A channel whose light parts reach this share of the brightest channel's,
// while the other two lie within kNeutral of it, has a cast; nearer to 1 it
// is the scene's own colour, further below it too.
constexpr double kCastFrom = 0.70, kCastTo = 0.86, kNeutral = 0.95;
// A stretched median above kTooBright is brought down to kMiddle; the
// exponent stays below kMaxExponent, so a bright picture keeps some of its
// light, and above kBrightScene the picture is taken as meant bright (snow,
// sand, a white wall) and left so.
constexpr double kTooBright = 155, kMiddle = 130, kMaxExponent = 2.0, kBrightScene = 200;

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

// The target's levels are held in quarters: fine enough to tell the clicks
// apart, and whole numbers, whose sums the compiler vectorises.
constexpr int kQuarters = 4;
using TargetLevels = std::vector<std::int32_t>;

// Mean squared distance of picture's colours to target's (in squared levels),
// which holds blue, green and red for every pixel from the top row on.
double Distance(const TDibRecord& picture, const TargetLevels& target)
{
    std::int64_t sum = 0;
    std::size_t i = 0;
    if (DibBitCount(picture) == 24) {
        // A row's sum stays within 32 bits for rows up to 2000 values.
        const std::size_t n = 3 * std::size_t(DibWidth(picture));
        for (int y = 0; y < DibHeight(picture); ++y, i += n) {
            const std::uint8_t* row = DibRowFromTop(picture, y);
            std::int32_t rowSum = 0;
            for (std::size_t j = 0; j < n; ++j) {
                const std::int32_t d = kQuarters * std::int32_t(row[j]) - target[i + j];
                rowSum += d * d;
            }
            sum += rowSum;
        }
    } else {
        ForEachColour(picture, [&](int r, int g, int b) {
            for (const auto& [v, t] : {std::pair{b, target[i]}, std::pair{g, target[i + 1]},
                                       std::pair{r, target[i + 2]}}) {
                const std::int64_t d = kQuarters * v - t;
                sum += d * d;
            }
            i += 3;
        });
    }
    return i ? double(sum) / double(kQuarters * kQuarters) / double(i) : 0;
}

// What a click does, read off a grey ramp it was applied to, so that the
// table is the operator's own arithmetic: a new level for each channel level,
// or, for the clicks that turn pixels white or black by their luminance and
// leave the others, what becomes of each luminance level.
enum class ClickKind { PerChannel, PerLuminance, PixelByPixel };
enum LuminanceOutcome : std::uint8_t { kKept, kWhite, kBlack };

struct ClickTable {
    ClickKind Kind = ClickKind::PixelByPixel;
    std::array<std::array<std::uint8_t, 256>, 3> Levels{}; // red, green, blue
    std::array<LuminanceOutcome, 256> Outcome{};
};

ClickTable ClickTableOf(int mode, int step, int intensity)
{
    ClickTable t;
    TDibRecord ramp;
    newdib(&ramp, 256, 1, 24, nullptr, 0);
    if (!ramp.Bits)
        return t;
    for (int v = 0; v < 256; ++v)
        std::memset(ramp.Bits + 3 * v, v, 3);
    NullProgress quiet;
    ApplyVariation(ramp, mode, step, intensity, quiet);
    if (VariationArguments(mode, step, intensity).Operator != VariationOperator::HighMidShadow) {
        t.Kind = ClickKind::PerChannel;
        for (int v = 0; v < 256; ++v)
            for (int c = 0; c < 3; ++c) // stored blue, green, red
                t.Levels[std::size_t(c)][std::size_t(v)] = ramp.Bits[3 * v + 2 - c];
    } else {
        // Luminance 0 is always below the shadow threshold, 255 always at the
        // highlight one; between them a grey either stays or is thresholded,
        // unless the click shifts the middle tones, which only pixels tell.
        t.Kind = ClickKind::PerLuminance;
        t.Outcome[0] = kBlack;
        t.Outcome[255] = kWhite;
        for (int v = 1; v < 255; ++v) {
            const int out = ramp.Bits[3 * v];
            t.Outcome[std::size_t(v)] = out == v ? kKept : out == 255 ? kWhite : kBlack;
            if (out != v && out != 0 && out != 255)
                t.Kind = ClickKind::PixelByPixel;
        }
    }
    deldib(ramp);
    return t;
}

// Of a 24-bit picture: for each channel and level the count of its values at
// that level and the sum and sum of squares of their targets, and for each
// luminance level the squared distance of its pixels as they are, made white
// and made black; enough to give the Distance after a PerChannel or
// PerLuminance click without visiting the pixels.
struct PictureTally {
    std::array<std::array<std::int64_t, 256>, 3> Count{}, Sum{}, Squares{};
    std::array<std::array<std::int64_t, 256>, 3> ByLuminance{}; // kept, white, black
    std::size_t Values = 0;
};

PictureTally Tally(const TDibRecord& picture, const TargetLevels& target)
{
    PictureTally t;
    const int w = DibWidth(picture);
    constexpr std::int64_t white = kQuarters * 255;
    for (int y = 0; y < DibHeight(picture); ++y) {
        const std::uint8_t* row = DibRowFromTop(picture, y);
        for (int x = 0; x < w; ++x, t.Values += 3) {
            const std::uint8_t* p = row + 3 * x;
            const std::size_t l = std::size_t(Luminance(p[2], p[1], p[0]));
            for (std::size_t j = 0; j < 3; ++j) {
                const std::size_t c = 2 - j, v = p[j];
                const std::int64_t goal = target[t.Values + j];
                const std::int64_t d = kQuarters * std::int64_t(v) - goal;
                ++t.Count[c][v];
                t.Sum[c][v] += goal;
                t.Squares[c][v] += goal * goal;
                t.ByLuminance[kKept][l] += d * d;
                t.ByLuminance[kWhite][l] += (white - goal) * (white - goal);
                t.ByLuminance[kBlack][l] += goal * goal;
            }
        }
    }
    return t;
}

// Distance of the tallied picture after click; the same number Distance
// gives for the changed picture, whole numbers throughout.
double Distance(const PictureTally& t, const ClickTable& click)
{
    std::int64_t sum = 0;
    if (click.Kind == ClickKind::PerChannel) {
        for (std::size_t c = 0; c < 3; ++c)
            for (std::size_t v = 0; v < 256; ++v) {
                const std::int64_t l = kQuarters * std::int64_t(click.Levels[c][v]);
                sum += l * l * t.Count[c][v] - 2 * l * t.Sum[c][v] + t.Squares[c][v];
            }
    } else {
        for (std::size_t l = 0; l < 256; ++l)
            sum += t.ByLuminance[click.Outcome[l]][l];
    }
    return t.Values ? double(sum) / double(kQuarters * kQuarters) / double(t.Values) : 0;
}

} // namespace

ExposureStats MeasureExposure(const TDibRecord& dib)
{
    // Per luminance level the pixels and their channel sums, from which the
    // median and the light parts' colour are read in one pass.
    std::array<long, 256> count{};
    std::array<std::array<double, 3>, 256> sums{};
    std::array<int, 3> low = {255, 255, 255}, high = {0, 0, 0};
    long pixels = 0;
    ForEachColour(dib, [&](int r, int g, int b) {
        const int rgb[3] = {r, g, b};
        for (std::size_t c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], rgb[c]);
            high[c] = std::max(high[c], rgb[c]);
        }
        const int y = Luminance(r, g, b);
        ++count[std::size_t(y)];
        sums[std::size_t(y)][0] += r;
        sums[std::size_t(y)][1] += g;
        sums[std::size_t(y)][2] += b;
        ++pixels;
    });
    ExposureStats s;
    if (pixels == 0)
        return s;
    s.Low = low;
    s.High = high;
    long below = 0;
    for (int v = 0; v < 256 && 2 * below <= pixels; ++v) {
        below += count[std::size_t(v)];
        s.Median = v;
    }
    std::array<double, 3> light{};
    long taken = 0;
    for (int v = 255; v >= 0 && double(taken) < kLightShare * double(pixels); --v) {
        taken += count[std::size_t(v)];
        for (int c = 0; c < 3; ++c)
            light[std::size_t(c)] += sums[std::size_t(v)][std::size_t(c)];
    }
    for (double& l : light)
        l /= double(taken);
    s.Light = light;
    return s;
}

ToneTarget WellExposed(const ExposureStats& s)
{
    // A cast scales a channel, so it is undone on the levels as they are,
    // before the range is stretched.
    const auto& light = s.Light;
    const double brightest = std::max({light[0], light[1], light[2], 1.0});
    std::array<double, 3> gain = {1, 1, 1};
    for (std::size_t c = 0; c < 3; ++c) {
        const double share = light[c] / brightest;
        bool othersNeutral = true;
        for (std::size_t o = 0; o < 3; ++o)
            othersNeutral &= o == c || light[o] >= kNeutral * brightest;
        if (share >= kCastFrom && share <= kCastTo && othersNeutral)
            gain[c] = 1 / share;
    }
    const auto balanced = [&](std::size_t c, double v) { return std::min(v * gain[c], 255.0); };

    double low = 255, high = 0;
    for (std::size_t c = 0; c < 3; ++c) {
        low = std::min(low, balanced(c, s.Low[c]));
        high = std::max(high, balanced(c, s.High[c]));
    }
    const double span = std::max(high - low, 1.0);
    const auto stretched = [&](double v) { return std::max(v - low, 0.0) * 255 / span; };

    const double median = stretched(s.Median);
    const double exponent =
        median > kTooBright && median <= kBrightScene
            ? std::min(std::log(kMiddle / 255) / std::log(median / 255), kMaxExponent)
            : 1.0;

    ToneTarget t;
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v) {
            const double level = std::min(stretched(balanced(std::size_t(c), v)), 255.0);
            t.Level[std::size_t(c)][std::size_t(v)] = 255 * std::pow(level / 255, exponent);
        }
    return t;
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
    // The target is measured on the whole picture, whose darkest and
    // brightest values the small copy may have skipped.
    const ToneTarget tone = WellExposed(MeasureExposure(picture));
    TargetLevels target;
    ForEachColour(sample, [&](int r, int g, int b) {
        for (const auto& [c, v] : {std::pair{2, b}, std::pair{1, g}, std::pair{0, r}})
            target.push_back(std::int32_t(
                std::lround(kQuarters * tone.Level[std::size_t(c)][std::size_t(v)])));
    });

    // Every distinct operator call once, at the largest intensity that makes it.
    struct Candidate {
        int mode, step, intensity;
        ClickTable table;
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
                candidates.push_back({mode, step, i, ClickTableOf(mode, step, i)});
            }

    // A beam search: the kBeam closest series of each length go on, so that a
    // click that only pays with the next one is still found.
    struct Series {
        TDibRecord dib;
        std::vector<Step> picks;
        double score;
    };
    std::vector<Series> beam;
    beam.push_back({Sample(sample), {}, Distance(sample, target)});
    std::vector<Step> bestPicks;
    double bestScore = beam.front().score;
    NullProgress quiet;
    progress.SetProStatus(0);
    for (int length = 1; length <= kMaxAutoPicks; ++length) {
        progress.SetProStatus(StepPercent(length - 1, kMaxAutoPicks));
        struct Next {
            std::size_t from;
            const Candidate* pick;
            double score;
        };
        std::vector<Next> next;
        for (std::size_t from = 0; from < beam.size(); ++from) {
            // Most clicks are scored from the tally; the others, and all on
            // palette pictures, are applied to a copy.
            const bool tallied = DibBitCount(sample) == 24;
            const PictureTally tally = tallied ? Tally(beam[from].dib, target) : PictureTally{};
            for (const Candidate& c : candidates) {
                if (tallied && c.table.Kind != ClickKind::PixelByPixel) {
                    next.push_back({from, &c, Distance(tally, c.table)});
                    continue;
                }
                Restore(trial, beam[from].dib);
                ApplyVariation(trial, c.mode, c.step, c.intensity, quiet);
                next.push_back({from, &c, Distance(trial, target)});
            }
        }
        std::sort(next.begin(), next.end(),
                  [](const Next& a, const Next& b) { return a.score < b.score; });
        // A longer series must come closer by a five-hundredth of the distance
        // and a twentieth of a level squared at least.
        if (next.empty() || next.front().score > bestScore - std::max(0.05, 0.002 * bestScore))
            break;
        std::vector<Series> grown;
        for (const Next& n : next) {
            if (grown.size() == kBeam)
                break;
            // Different clicks that give the same picture count once.
            if (!grown.empty() && grown.back().score == n.score)
                continue;
            Series s{Sample(beam[n.from].dib), beam[n.from].picks, n.score};
            ApplyVariation(s.dib, n.pick->mode, n.pick->step, n.pick->intensity, quiet);
            s.picks.push_back(AutoStep(n.pick->mode, n.pick->step, n.pick->intensity));
            grown.push_back(std::move(s));
        }
        for (Series& s : beam)
            deldib(s.dib);
        beam = std::move(grown);
        bestScore = beam.front().score;
        bestPicks = beam.front().picks;
    }
    for (Series& s : beam)
        deldib(s.dib);
    picks = bestPicks;
    progress.SetProStatus(0);
    deldib(sample);
    deldib(trial);
    return picks;
}
