// Every kind of step, declared once: its command-line word, its parameters,
// the function that runs it and the German words that describe it. The
// command line parses and explains itself from this table, the window's
// handlers build steps with the makers below, and the history runs steps
// again through it.
#pragma once

#include "correct/CorrectionModes.h"
#include "depth/DepthDown.h"
#include "geometry/FindPhoto.h"
#include "geometry/Resize.h"
#include "geometry/RotateChoice.h"
#include "steps/Step.h"
#include "steps/StepParam.h"

#include <span>
#include <string>
#include <vector>

// What running a step gave.
struct StepResult {
    // The new picture, owned by the caller; empty for a step that worked in
    // place, that changed nothing, or that failed.
    TDibRecord Picture{};
    // Why it failed, in German; empty when it did not. The picture worked on
    // is then as it was.
    std::string Error;
    // It failed because its settings do not fit the picture (a crop beyond
    // the edges), not for want of memory.
    bool BadArgument = false;
};

struct StepRow {
    StepKind Kind;
    std::string_view Word;    // "--crop"; empty for steps the command line has no word for
    std::string_view Summary; // what it does, for the help
    std::span<const StepParam> Params;
    // Corrections change the picture in place; every other step makes a new
    // one, bar those StepInPlace names.
    bool InPlace;
    // Afterwards the crop selection is the whole picture (cut, turned, resized).
    bool SelectsWholePicture;
    // A rule across the parameters: the reason they do not go together, or
    // nullptr.
    const char* (*Check)(const Step& step);
    StepResult (*Run)(const Step& step, TDibRecord& work, ProgressSink& progress);
    // "Helligkeit +2 (Intensität 8)"
    std::string (*Describe)(const Step& step);
};

std::span<const StepRow> StepRows();
const StepRow& RowOf(StepKind kind);
// The row of a command-line word, or nullptr.
const StepRow* FindStepRow(std::string_view word);

// The step changes the picture it runs on rather than making a new one: the
// corrections, and the crop, the mirrors and the half turn, whose pixels
// only move.
bool StepInPlace(const Step& step);

// Runs step on work: an in-place step changes work, any other returns its
// new picture.
StepResult RunStep(const Step& step, TDibRecord& work, ProgressSink& progress);
std::string DescribeStep(const Step& step);

// --- the parameters of each kind, in the table's order

namespace crop_param {
enum { Left, Top, Right, Bottom, MadeOnWidth, MadeOnHeight };
}
namespace rotate_param {
enum { Direction, Angle, Degrees, Background };
}
namespace resize_param {
enum { Width, Height, NoInterpolation };
}
namespace correct_param {
enum { Mode, Level, Intensity };
}
namespace depth_param {
enum { Bits, Method, Palette, WindowsColours };
}

// --- steps as the window's commands make them

// The cut of r (picture pixels, rows from the top) out of a picture of
// width x height.
Step CropStep(const RECT& r, int width, int height);
Step MirrorStep(bool horizontal);
Step RotateStep(const RotateChoice& choice);
// Both sides given: the picture gets exactly that size; a side of 0 follows
// the other by the picture's proportions ("500x").
Step ResizeStep(const ResizeChoice& size);
Step CorrectStep(int mode, int level, int intensity);
// The same click, made by the automatic correction: "Automatisch: Kontrast +2 (Intensität 8)".
inline constexpr std::string_view kAutoSource = "Automatisch";
Step AutoStep(int mode, int level, int intensity);
Step DepthStep(int bits, const DepthDownChoice& choice);
Step OpenStep(const std::string& path);
Step ScanStep(const std::string& device);
// The free turn that levels a found photo (when it is askew) and the cut
// that takes it out.
std::vector<Step> StraightenSteps(const FoundPhoto& photo);

// --- and what they hold

RotateChoice RotationOf(const Step& step);
DepthDownChoice DepthChoiceOf(const Step& step);
