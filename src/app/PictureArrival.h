// A picture file decoded whole on a thread of its own while a quick reduced
// decode of it stands in on the screen. Qt-free: the window is told through
// a function called on the decoding thread.
#pragma once

#include "imagora/DibRecord.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class PictureArrival {
public:
    PictureArrival() = default;
    PictureArrival(const PictureArrival&) = delete;
    PictureArrival& operator=(const PictureArrival&) = delete;
    // Waits for a decode still running and frees what was never taken.
    ~PictureArrival();

    // Starts decoding path; preview, a reduced decode of it, passes to this
    // until Take. done runs on the decoding thread once the picture (or the
    // failure) is there. Any earlier arrival must have been taken.
    void Start(const std::string& path, const TDibRecord& preview, std::function<void()> done);

    // Started and not yet taken.
    bool Pending() const { return pending_; }
    // The decode has ended: Take will not wait.
    bool Ready() const { return ready_; }
    const TDibRecord& Preview() const { return preview_; }
    const std::string& Path() const { return path_; }

    // Waits for the decode and hands over its picture (no pixels when the
    // file would not decode); the preview is freed.
    TDibRecord Take();

private:
    std::thread worker_;
    std::string path_;
    TDibRecord preview_{};
    TDibRecord picture_{};
    bool pending_ = false;
    std::atomic<bool> ready_ = false;
};
