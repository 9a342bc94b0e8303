#include "app/BeforeInRegister.h"

#include "imagora/Imagora.h"
#include "steps/StepTable.h"

#include <algorithm>
#include <cstring>

bool MovesPixels(StepKind kind)
{
    switch (kind) {
    case StepKind::Crop:
    case StepKind::Mirror:
    case StepKind::Rotate:
    case StepKind::Resize:
        return true;
    case StepKind::Correct:
    case StepKind::Depth:
    case StepKind::Open:
    case StepKind::Scan:
        break;
    }
    return false;
}

namespace {

// The index of picture's colour-table entry nearest to colour: the smallest
// squared distance, the lowest index among equals.
int NearestEntry(const TDibRecord& picture, COLORREF colour)
{
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    int best = 0, bestDistance = -1;
    for (int i = 0; i < DibTableColors(picture); ++i) {
        const RGBQUAD& e = picture.Info->bmiColors[i];
        const int dr = e.rgbRed - r, dg = e.rgbGreen - g, db = e.rgbBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace

TDibRecord ReplayGeometry(const TDibRecord& source, std::span<const Step> steps,
                          ProgressSink& progress, bool* failed)
{
    if (failed)
        *failed = false;
    TDibRecord picture = source; // ours once a step has made it anew
    bool owned = false;
    int workBits = DibBitCount(source); // the working image's depth at each step
    for (const Step& step : steps) {
        if (step.Kind == StepKind::Depth)
            workBits = step[depth_param::Bits];
        if (!MovesPixels(step.Kind))
            continue;
        Step run = step;
        if (step.Kind == StepKind::Rotate && RotationOf(step).Angle == RotateAngle::Free &&
            DibBitCount(picture) <= 8 && workBits > 8)
            run.Values[rotate_param::Background] =
                NearestEntry(picture, COLORREF(step[rotate_param::Background]));
        if (StepInPlace(run)) {
            // the mirrors and the half turn move pixels within a picture of our own
            if (!owned) {
                TDibRecord copy;
                NewDibLike(&copy, picture);
                if (!copy.Bits) {
                    if (failed)
                        *failed = true;
                    return {};
                }
                std::memcpy(copy.Bits, picture.Bits, picture.Info->bmiHeader.biSizeImage);
                picture = copy;
                owned = true;
            }
            if (!RunStep(run, picture, progress).Error.empty()) {
                deldib(picture);
                if (failed)
                    *failed = true;
                return {};
            }
            continue;
        }
        const StepResult result = RunStep(run, picture, progress);
        if (owned)
            deldib(picture);
        if (!result.Picture.Bits) {
            if (failed)
                *failed = true;
            return {};
        }
        picture = result.Picture;
        owned = true;
    }
    return owned ? picture : TDibRecord{};
}

TDibRecord BeforeInRegister::Of(const History& history, const TDibRecord& work,
                                ProgressSink& progress)
{
    const int first = history.SourceIndex();
    const TDibRecord& source = first == history.Current() ? work : history.At(first).picture;
    std::vector<Step> shaping;
    for (int i = first + 1; i <= history.Current(); ++i)
        if (history.At(i).step.Kind != StepKind::Correct)
            shaping.push_back(history.At(i).step);
    // Without a geometry step the source itself is the before picture; it is
    // looked up anew each time, since a correction may have moved it.
    if (std::none_of(shaping.begin(), shaping.end(),
                     [](const Step& s) { return MovesPixels(s.Kind); }))
        return source;
    const std::uint64_t serial = history.At(first).Serial;
    if (made_ && serial == source_ && shaping == shaping_)
        return picture_;
    Forget();
    // A failure is remembered too: every paint would otherwise try again.
    if (source.Bits)
        picture_ = ReplayGeometry(source, shaping, progress);
    made_ = true;
    source_ = serial;
    shaping_ = std::move(shaping);
    return picture_;
}

void BeforeInRegister::Forget()
{
    deldib(picture_);
    picture_ = {};
    made_ = false;
}
