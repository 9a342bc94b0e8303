#include "imagora/RowFeed.h"

#include <climits>

void RowFeed::Start(std::function<bool(RowFeed&)> work)
{
    Finish();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ready_ = 0;
        ended_ = false;
        ok_ = true;
    }
    worker_ = std::thread([this, work = std::move(work)] { End(work(*this)); });
}

void RowFeed::Complete(bool ok)
{
    Finish();
    End(ok);
}

void RowFeed::Publish(int rows)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ready_ = rows;
    }
    changed_.notify_all();
}

void RowFeed::End(bool ok)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        ok_ = ok;
        if (ok)
            ready_ = INT_MAX;
    }
    changed_.notify_all();
}

bool RowFeed::WaitFor(int rows) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return ready_ >= rows || ended_; });
    return ready_ >= rows;
}

bool RowFeed::Finish()
{
    if (worker_.joinable())
        worker_.join();
    const std::lock_guard<std::mutex> lock(mutex_);
    return ok_;
}
