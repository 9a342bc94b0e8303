// The steps since the picture was opened, and the way back and forth along
// them. The pictures of recent states are kept, within a memory budget; any
// other state is made again by running the steps from the nearest state
// kept, which gives the same bytes since every step is deterministic. The
// first state (a file opened, the start picture) and every scan are kept as
// long as they can be reached: nothing could make them again. When they alone
// outgrow the budget, the oldest steps are forgotten.
#pragma once

#include "imagora/DibRecord.h"
#include "imagora/Metadata.h"
#include "steps/Step.h"
#include "base/ProgressSink.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// What a picture from outside came with: the file (empty for a scan), the
// file's metadata, and when it was scanned (0: no scan).
struct PictureOrigin {
    std::string FileName;
    PictureMetadata Metadata;
    std::time_t ScanTime = 0;
};

// A quarter of the machine's memory, at most 2 GiB.
std::size_t DefaultHistoryBudget();

class History {
public:
    struct Entry {
        Step step;
        // The picture after the step, when kept; the current state's picture
        // is the working image and is never kept here too.
        TDibRecord picture{};
        // What came with a picture from outside (a file opened, a scan).
        PictureOrigin origin;
        // Unique among all entries of the run: tells a state's pictures from
        // those of another that happens to reuse its memory.
        std::uint64_t Serial = 0;
    };

    // A budget of 0 keeps no pictures at all: the steps are recorded, but
    // there is no way back.
    explicit History(std::size_t budgetBytes = DefaultHistoryBudget());
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Forgets every step and picture: the working image as it is now is the
    // first state, which first brought it (a file opened, the start).
    void Restart(const Step& first, const PictureOrigin& origin = {});

    // The step has been applied: before, the picture of the state it started
    // from, passes to the history. The steps that could be redone are dropped.
    void Push(const Step& step, const TDibRecord& before, const PictureOrigin& origin = {});

    // Makes work, the current state's picture, the picture of state index.
    // False when that state could not be made (no memory); work and the
    // current state are then as they were.
    bool MoveTo(int index, TDibRecord& work, ProgressSink& progress);

    // A picture the history no longer needs with the shape of like (size,
    // depth, colour table), to be written over; an empty record when none.
    // Saves fresh memory for the copy a correction keeps.
    TDibRecord TakeSpare(const TDibRecord& like);

    int Current() const { return current_; }
    int Count() const { return int(entries_.size()); }
    const Entry& At(int index) const { return entries_[std::size_t(index)]; }
    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ + 1 < Count(); }
    // What came with the current state's picture: the origin of the last
    // picture from outside at or before it.
    const PictureOrigin& Source() const;
    // The index of that picture's entry.
    int SourceIndex() const;
    // The steps that made the current state out of the last picture from
    // outside, oldest first: what a recipe of this picture holds.
    std::vector<Step> StepsSinceSource() const;

    // The bytes of the pictures kept, and the budget they keep within (the
    // pictures from outside may go beyond it).
    std::size_t KeptBytes() const;
    std::size_t Budget() const { return budget_; }
    void SetBudget(std::size_t bytes);

private:
    // Drops kept pictures, those furthest from the current state first,
    // until the budget holds.
    void Trim();
    // The kept picture furthest from the current state that may be dropped
    // (of like's shape, when given); -1 when there is none.
    int Furthest(const TDibRecord* like) const;
    void Drop(TDibRecord& picture);
    void Clear();
    void Add(const Step& step, const PictureOrigin& origin);

    std::vector<Entry> entries_{Entry{}};
    int current_ = 0;
    std::size_t budget_;
    std::vector<TDibRecord> spares_; // dropped pictures kept for TakeSpare
};
