// The before picture that lines up with the working image: the picture the
// current state grew out of (a file opened, a scan) with the same cuts,
// mirrors, turns and resizes, but none of the colour steps, so that every
// pixel stands beside its counterpart after the user's work. The geometry
// runs on the source's own depth: a depth step changes colours, not places.
#pragma once

#include "app/History.h"
#include "base/ProgressSink.h"
#include "imagora/DibRecord.h"
#include "steps/Step.h"

#include <cstdint>
#include <span>
#include <vector>

// Whether a step moves pixels rather than changing their colours.
bool MovesPixels(StepKind kind);

// The geometry steps among steps run on source in order, through the same
// step runs the working image went through; a new picture the caller owns.
// Empty when there is no geometry step among them, or no memory (*failed).
// A free turn fills with the step's colour: where the working image was no
// palette picture at that point but source is, with the palette's nearest
// entry rather than the colour's low bits read as an index.
TDibRecord ReplayGeometry(const TDibRecord& source, std::span<const Step> steps,
                          ProgressSink& progress, bool* failed = nullptr);

class BeforeInRegister {
public:
    BeforeInRegister() = default;
    BeforeInRegister(const BeforeInRegister&) = delete;
    BeforeInRegister& operator=(const BeforeInRegister&) = delete;
    ~BeforeInRegister() { Forget(); }

    // The before picture of history's current state, whose picture is work.
    // Made again only when the source or the steps that shape it changed
    // since the last call: colour steps, undos and redos among them cost
    // nothing. It shares pixels with the history or the cache and holds until
    // the next change of the working image. Empty when the history keeps no
    // source picture or memory ran out.
    TDibRecord Of(const History& history, const TDibRecord& work, ProgressSink& progress);
    // Releases the picture made last.
    void Forget();

private:
    bool made_ = false;
    std::uint64_t source_ = 0;  // the source entry's serial
    std::vector<Step> shaping_; // the steps since it that are no corrections
    TDibRecord picture_{};
};
