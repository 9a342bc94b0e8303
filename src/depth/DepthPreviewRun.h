// The reduction previews worked out on a thread of their own: first each
// choice's part around the chosen point (those that map pixels alone need only
// their colour table), then each choice over the whole picture for its
// figures, in the order the choices are shown. A new point is served before
// the rest; a stop is heeded at the next band or row.
#pragma once

#include "depth/DepthPreview.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

struct DepthPreviewEvent {
    enum Kind { Part, Figures, Finished } What = Finished;
    int Index = -1;    // of the choice
    SharedDib Reduced; // Part: the part, reduced
    RECT Region{};     // Part: where it lies in the picture
    DepthFigures Measured;
};

class DepthPreviewRun {
public:
    // report is called on the run's thread, one event at a time.
    using Report = std::function<void(const DepthPreviewEvent&)>;

    DepthPreviewRun(SharedDib picture, int bits, std::vector<DepthDownChoice> choices, RECT region,
                    Report report);
    DepthPreviewRun(const DepthPreviewRun&) = delete;
    DepthPreviewRun& operator=(const DepthPreviewRun&) = delete;
    // Stops and waits for the thread.
    ~DepthPreviewRun();

    void MoveRegion(const RECT& region);
    // Asks the thread to stop and returns at once.
    void Stop();
    // Whether the thread has returned (after a stop).
    bool Ended() const { return ended_; }

private:
    struct Job {
        enum Kind { None, Crop, Part, Whole } What = None;
        int Index = -1;
        RECT Region{};
    };
    Job NextJob() const; // under mutex_
    void Work();
    void Do(const Job& job);
    SharedDib TableFor(int index);

    SharedDib picture_; // let go, with all made from it, when the thread ends
    const int bits_;
    const std::vector<DepthDownChoice> choices_;
    const Report report_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    StopFlag stop_{false};
    PngByteCount png_;
    bool idle_ = false;
    std::atomic<bool> ended_{false};
    RECT region_;
    std::vector<SharedDib> whole_;  // the reduced pictures
    std::vector<RECT> shown_;       // the region of each choice's last part
    std::vector<SharedDib> tables_; // by TableKey, on the thread only
    std::thread thread_;
};
