// The rows of a picture that a worker thread is still making, top row first:
// a reader waits for the rows it needs and works on them while the worker
// makes the next, so reading a file and writing one share the cores.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class RowFeed {
public:
    RowFeed() = default;
    RowFeed(const RowFeed&) = delete;
    RowFeed& operator=(const RowFeed&) = delete;
    ~RowFeed() { Finish(); }

    // Runs work on a thread of its own; it tells each finished row count
    // through Publish and returns whether every row came out right.
    void Start(std::function<bool(RowFeed&)> work);
    // All rows are there already (or, ok false, never will be).
    void Complete(bool ok);
    // The rows from the top up to rows are finished.
    void Publish(int rows);

    // Waits until the top rows are finished; false when the work failed
    // before they were.
    bool WaitFor(int rows) const;
    // Waits for the worker to end; whether every row came out right.
    bool Finish();

private:
    void End(bool ok);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    int ready_ = 0;
    bool ended_ = true; // no work is running
    bool ok_ = true;
    std::thread worker_;
};
