#include "quorscan/SaneThread.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

class SaneThread {
public:
    ~SaneThread()
    {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
            jobs_.clear(); // nobody waits for them any more
        }
        wake_.notify_one();
        // The job that runs now ends first: a search on a network that does
        // not answer keeps the program a few seconds after its window closed.
        if (thread_.joinable())
            thread_.join();
    }

    void Post(std::function<void()> job)
    {
        {
            const std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
            if (!thread_.joinable())
                thread_ = std::thread([this] { Run(); });
        }
        wake_.notify_one();
    }

private:
    void Run()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
                if (stop_)
                    return;
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            job(); // and what it holds is released here, on this thread
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace

void RunOnSaneThread(std::function<void()> job)
{
    static SaneThread thread;
    thread.Post(std::move(job));
}
