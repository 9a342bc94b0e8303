// Limits how often something is painted: at most once per interval, on a
// clock that tests can replace.
#pragma once

#include <chrono>
#include <functional>
#include <utility>

class PaintThrottle {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit PaintThrottle(std::chrono::steady_clock::duration interval,
                           Clock clock = std::chrono::steady_clock::now)
        : interval_(interval), clock_(std::move(clock))
    {
    }

    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // Whether a paint now would be at least one interval after the last one.
    bool Due() const { return !painted_ || clock_() - last_ >= interval_; }
    void Painted()
    {
        last_ = clock_();
        painted_ = true;
    }

private:
    std::chrono::steady_clock::duration interval_;
    Clock clock_;
    std::chrono::steady_clock::time_point last_{};
    bool painted_ = false;
};
