#include "imagora/RowBands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Below this many bytes a pass is over before a sleeping thread has woken.
constexpr std::size_t kMinParallelBytes = std::size_t(256) << 10;
// A band of about this size fits the cache of a core, and a 24-megapixel
// picture makes some seventy of them, so a thread that others slow down
// leaves its share to the rest.
constexpr std::size_t kBandBytes = std::size_t(1) << 20;
constexpr int kMinBandsPerThread = 4;

std::atomic<int> testBandRows{0};

// Set on the pool's threads and on a caller while its bands run: a pass
// inside a band runs on its own thread rather than waiting for the pool.
thread_local bool inBands = false;
thread_local int threadIndex = 0; // the callers' 0, the pool's from 1

struct Job {
    const std::function<void(int, int)>& work;
    int rows;
    int bandRows;
    int bands;
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    // Guarded by the pool's mutex.
    std::vector<char> done;
    int finished = 0;
    std::exception_ptr error;

    Job(const std::function<void(int, int)>& w, int r, int b)
        : work(w), rows(r), bandRows(b), bands((r + b - 1) / b), done(std::size_t(bands), 0)
    {
    }
};

class Pool {
public:
    explicit Pool(int workers)
    {
        for (int i = 1; i <= workers; ++i)
            threads_.emplace_back([this, i] {
                threadIndex = i;
                Serve();
            });
    }
    ~Pool()
    {
        {
            std::lock_guard lock(m_);
            stop_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_)
            t.join();
    }

    // One caller at a time; another finds the pool busy and works alone.
    bool TryTake() { return busy_.try_lock(); }
    void Release() { busy_.unlock(); }

    void Run(Job& job, ProgressSink* progress)
    {
        {
            std::lock_guard lock(m_);
            job_ = &job;
            ++generation_;
        }
        wake_.notify_all();
        int reported = 0; // rows whose progress was told
        const auto report = [&](std::unique_lock<std::mutex>& lock) {
            int prefix = 0;
            while (prefix < job.bands && job.done[std::size_t(prefix)])
                ++prefix;
            const int upTo = std::min(job.rows, prefix * job.bandRows);
            lock.unlock(); // the sink may paint
            for (; progress && reported < upTo; ++reported)
                progress->SetProStatus(StepPercent(reported, job.rows));
            lock.lock();
        };
        while (WorkOne(job)) {
            std::unique_lock lock(m_);
            report(lock);
        }
        std::unique_lock lock(m_);
        job_ = nullptr; // every band is taken: nobody else needs to join
        for (;;) {
            // What is seen before report() lets go of the lock: a band that
            // ends meanwhile is told in the next round, not lost by the break.
            const int finished = job.finished;
            const int attached = attached_;
            report(lock);
            if (finished == job.bands && attached == 0)
                break;
            changed_.wait(lock, [&] { return job.finished != finished || attached_ != attached; });
        }
    }

private:
    // Takes the next band and works it; false when none was left.
    bool WorkOne(Job& job)
    {
        const int band = job.next.fetch_add(1);
        if (band >= job.bands)
            return false;
        if (!job.failed) {
            const int first = band * job.bandRows;
            try {
                job.work(first, std::min(job.rows, first + job.bandRows));
            } catch (...) {
                std::lock_guard lock(m_);
                if (!job.error)
                    job.error = std::current_exception();
                job.failed = true;
            }
        }
        {
            std::lock_guard lock(m_);
            job.done[std::size_t(band)] = 1;
            ++job.finished;
        }
        changed_.notify_all();
        return true;
    }

    void Serve()
    {
        inBands = true;
        unsigned long seen = 0;
        std::unique_lock lock(m_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || (job_ && generation_ != seen); });
            if (stop_)
                return;
            seen = generation_;
            Job& job = *job_;
            ++attached_;
            lock.unlock();
            while (WorkOne(job)) {
            }
            lock.lock();
            --attached_;
            changed_.notify_all();
        }
    }

    std::mutex busy_;
    std::mutex m_;
    std::condition_variable wake_;    // the workers': a new job, or the end
    std::condition_variable changed_; // the caller's: a band done, a worker gone
    Job* job_ = nullptr;
    unsigned long generation_ = 0;
    int attached_ = 0;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

Pool& ThePool()
{
    static Pool pool(RowBandThreads() - 1);
    return pool;
}

int BandRows(int rows, std::size_t rowBytes, int grain, int threads)
{
    const auto wholeGrains = [&](long long n) {
        return int(std::clamp<long long>((n + grain - 1) / grain * grain, grain, rows));
    };
    if (const int forced = testBandRows.load())
        return wholeGrains(forced);
    const std::size_t bytes = std::max<std::size_t>(rowBytes, 1);
    long long n = std::max<long long>(1, static_cast<long long>(kBandBytes / bytes));
    n = std::min<long long>(n, std::max(1, rows / (kMinBandsPerThread * threads)));
    return wholeGrains(n);
}

// One band after the other on the calling thread, each one's progress told
// before it starts.
void RunAlone(int rows, int bandRows, ProgressSink* progress,
              const std::function<void(int, int)>& work)
{
    for (int first = 0; first < rows; first += bandRows) {
        const int last = std::min(rows, first + bandRows);
        for (int y = first; progress && y < last; ++y)
            progress->SetProStatus(StepPercent(y, rows));
        work(first, last);
    }
}

} // namespace

int RowBandThread()
{
    return threadIndex;
}

int RowBandThreads()
{
    static const int threads = [] {
        if (const char* v = std::getenv("KELVORA_THREADS")) {
            const long n = std::strtol(v, nullptr, 10);
            if (n >= 1)
                return int(std::min(n, 256L));
        }
        return int(std::clamp(std::thread::hardware_concurrency(), 1u, 256u));
    }();
    return threads;
}

void SetRowBandRowsForTesting(int rows)
{
    testBandRows = std::max(rows, 0);
}

void ForEachRowBand(int rows, std::size_t rowBytes, ProgressSink* progress,
                    const std::function<void(int, int)>& work, int grain)
{
    if (rows <= 0)
        return;
    grain = std::max(grain, 1);
    const int threads = RowBandThreads();
    const int bandRows = BandRows(rows, rowBytes, grain, threads);
    const bool small = testBandRows == 0 && std::size_t(rows) * rowBytes < kMinParallelBytes;
    if (threads == 1 || bandRows >= rows || small || inBands || !ThePool().TryTake()) {
        // A small picture is worked in one go, or row by row (by grain) when
        // someone watches the progress.
        RunAlone(rows, small ? (progress ? grain : rows) : bandRows, progress, work);
        return;
    }
    Pool& pool = ThePool();
    Job job(work, rows, bandRows);
    inBands = true;
    pool.Run(job, progress);
    inBands = false;
    pool.Release();
    if (job.error)
        std::rethrow_exception(job.error);
}
