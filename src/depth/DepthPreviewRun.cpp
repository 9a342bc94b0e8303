#include "depth/DepthPreviewRun.h"

#include "geometry/Crop.h"
#include "imagora/Imagora.h"

namespace {

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Choices that build the same colour table share it.
int TableKey(int bits, const DepthDownChoice& c)
{
    if (bits == 1)
        return 0;
    return c.Optimized && c.Method != DepthMethod::Ordered ? 1 : 2;
}

// Error distribution reports every row on the calling thread, outside any
// band, so that is where a stop can break in at once.
class StoppingProgress final : public ProgressSink {
public:
    explicit StoppingProgress(const StopFlag& stop) : stop_(stop) {}
    void SetProStatus(int) override
    {
        if (stop_.load(std::memory_order_relaxed))
            throw DepthPreviewStopped{};
    }

private:
    const StopFlag& stop_;
};

} // namespace

DepthPreviewRun::DepthPreviewRun(SharedDib picture, int bits, std::vector<DepthDownChoice> choices,
                                 RECT region, Report report)
    : picture_(std::move(picture)), bits_(bits), choices_(std::move(choices)),
      report_(std::move(report)), region_(region), whole_(choices_.size()),
      shown_(choices_.size(), RECT{-1, -1, -1, -1}), tables_(3)
{
    thread_ = std::thread([this] { Work(); });
}

DepthPreviewRun::~DepthPreviewRun()
{
    Stop();
    thread_.join();
}

void DepthPreviewRun::MoveRegion(const RECT& region)
{
    {
        std::lock_guard lock(mutex_);
        region_ = region;
        idle_ = false;
    }
    wake_.notify_all();
}

void DepthPreviewRun::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    png_.BreakOff();
    wake_.notify_all();
}

DepthPreviewRun::Job DepthPreviewRun::NextJob() const
{
    const int n = int(choices_.size());
    for (int i = 0; i < n; ++i)
        if (whole_[std::size_t(i)] && !Same(shown_[std::size_t(i)], region_))
            return {Job::Crop, i, region_};
    for (int i = 0; i < n; ++i)
        if (MapsPixelsAlone(choices_[std::size_t(i)]) && !Same(shown_[std::size_t(i)], region_))
            return {Job::Part, i, region_};
    for (int i = 0; i < n; ++i)
        if (!whole_[std::size_t(i)])
            return {Job::Whole, i, region_};
    return {};
}

void DepthPreviewRun::Work()
{
    try {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] {
                    job = NextJob();
                    return stop_ || job.What != Job::None || !idle_;
                });
                if (stop_)
                    break;
                idle_ = job.What == Job::None;
            }
            if (job.What == Job::None)
                report_({});
            else
                Do(job);
        }
    } catch (const DepthPreviewStopped&) {
    }
    {
        std::lock_guard lock(mutex_);
        whole_.clear();
        picture_.reset();
    }
    tables_.clear();
    ended_ = true;
}

SharedDib DepthPreviewRun::TableFor(int index)
{
    const DepthDownChoice& c = choices_[std::size_t(index)];
    SharedDib& table = tables_[std::size_t(TableKey(bits_, c))];
    if (!table) {
        TDibRecord t;
        newdib(&t, 1, 1, bits_, nullptr, 0);
        if (t.Bits) {
            NullProgress quiet;
            DepthDownTable(*picture_, t, c, quiet);
        }
        table = HoldDib(t); // only now: the table renews the palette handle
    }
    return table->Bits ? table : nullptr;
}

void DepthPreviewRun::Do(const Job& job)
{
    const DepthDownChoice& c = choices_[std::size_t(job.Index)];
    DepthPreviewEvent part{DepthPreviewEvent::Part, job.Index, nullptr, job.Region, {}};
    SharedDib whole;
    {
        std::lock_guard lock(mutex_);
        whole = whole_[std::size_t(job.Index)];
    }
    NullProgress quiet;
    if (job.What == Job::Whole) {
        const SharedDib table = TableFor(job.Index);
        if (!table)
            throw DepthPreviewStopped{}; // no memory: nothing more to show
        TDibRecord w;
        NewDibLike(&w, *table, DibWidth(*picture_), DibHeight(*picture_));
        whole = HoldDib(w);
        if (!w.Bits)
            throw DepthPreviewStopped{};
        StoppingProgress stopping(stop_);
        DepthDownPixels(*picture_, w, c,
                        c.Method == DepthMethod::FloydSteinberg ? static_cast<ProgressSink&>(stopping)
                                                                : quiet);
    }
    if (whole) {
        TDibRecord cut;
        CropDib(*whole, job.Region, cut, quiet);
        part.Reduced = HoldDib(cut);
    } else {
        const SharedDib table = TableFor(job.Index);
        if (!table)
            throw DepthPreviewStopped{};
        part.Reduced = HoldDib(ReducePart(*picture_, *table, c, job.Region));
    }
    {
        std::lock_guard lock(mutex_);
        shown_[std::size_t(job.Index)] = job.Region;
        whole_[std::size_t(job.Index)] = whole;
    }
    report_(part);
    if (job.What == Job::Whole) {
        DepthPreviewEvent figures{DepthPreviewEvent::Figures, job.Index, nullptr, {}, {}};
        figures.Measured = MeasureReduction(*picture_, *whole, &stop_, &png_);
        report_(figures);
    }
}
