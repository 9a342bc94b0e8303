#include "app/History.h"

#include "imagora/Imagora.h"
#include "steps/StepTable.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include <unistd.h>

namespace {

bool FromOutside(const Step& step)
{
    return step.Kind == StepKind::Open || step.Kind == StepKind::Scan;
}

std::size_t PictureBytes(const TDibRecord& d)
{
    return d.Bits ? std::size_t(d.Info->bmiHeader.biSizeImage) : 0;
}

// Whether from's pixels could be copied into to's memory: the same size,
// depth and colour table, and no other record sharing it.
bool SameShape(const TDibRecord& to, const TDibRecord& from)
{
    if (!to.Bits || !from.Bits || DibShared(to) || DibWidth(to) != DibWidth(from) ||
        DibHeight(to) != DibHeight(from) || DibBitCount(to) != DibBitCount(from))
        return false;
    const int colours = DibBitCount(from) <= 8 ? DibColorCount(from) : 0;
    return std::memcmp(to.Info->bmiColors, from.Info->bmiColors, sizeof(RGBQUAD) * colours) == 0;
}

} // namespace

std::size_t DefaultHistoryBudget()
{
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    const std::size_t quarter =
        pages > 0 && pageSize > 0 ? std::size_t(pages) * std::size_t(pageSize) / 4 : 0;
    const std::size_t cap = std::size_t(2) << 30;
    return quarter > 0 ? std::min(quarter, cap) : cap;
}

History::History(std::size_t budgetBytes) : budget_(budgetBytes) {}

History::~History()
{
    Clear();
}

void History::Clear()
{
    for (Entry& e : entries_)
        deldib(e.picture);
    for (TDibRecord& spare : spares_)
        deldib(spare);
    spares_.clear();
    entries_.clear();
}

void History::Restart(const Step& first, const PictureOrigin& origin)
{
    Clear();
    Add(first, origin);
    current_ = 0;
}

void History::Add(const Step& step, const PictureOrigin& origin)
{
    static std::atomic<std::uint64_t> serials{0};
    entries_.push_back(Entry{step, {}, origin, ++serials});
}

void History::Push(const Step& step, const TDibRecord& before, const PictureOrigin& origin)
{
    for (std::size_t i = std::size_t(current_) + 1; i < entries_.size(); ++i)
        Drop(entries_[i].picture);
    entries_.resize(std::size_t(current_) + 1);
    if (budget_ == 0)
        deldib(before);
    else
        entries_[std::size_t(current_)].picture = before;
    Add(step, origin);
    ++current_;
    Trim();
}

bool History::MoveTo(int index, TDibRecord& work, ProgressSink& progress)
{
    if (index < 0 || index >= Count() || budget_ == 0)
        return false;
    if (index == current_)
        return true;
    TDibRecord target;
    if (entries_[std::size_t(index)].picture.Bits) {
        std::swap(target, entries_[std::size_t(index)].picture);
    } else {
        // Run the steps again from the nearest state there is a picture of:
        // the working image itself when going forward.
        int from = index;
        while (from != current_ && !entries_[std::size_t(from)].picture.Bits)
            --from;
        const TDibRecord& start = from == current_ ? work : entries_[std::size_t(from)].picture;
        TDibRecord picture = start; // not ours until a step has made it anew
        bool owned = false;
        for (int i = from + 1; i <= index; ++i) {
            const Step& step = entries_[std::size_t(i)].step;
            if (StepInPlace(step) && !owned) {
                TDibRecord copy = TakeSpare(picture);
                if (!copy.Bits)
                    NewDibLike(&copy, picture);
                if (!copy.Bits)
                    return false;
                std::memcpy(copy.Bits, picture.Bits, PictureBytes(picture));
                picture = copy;
                owned = true;
            }
            StepResult result = RunStep(step, picture, progress);
            if (!StepInPlace(step)) {
                if (owned)
                    deldib(picture);
                if (!result.Picture.Bits) // no memory: the state stays as it was
                    return false;
                picture = result.Picture;
                owned = true;
            }
        }
        target = picture;
    }
    entries_[std::size_t(current_)].picture = work;
    work = target;
    current_ = index;
    Trim();
    return true;
}

void History::SetBudget(std::size_t bytes)
{
    budget_ = bytes;
    Trim();
}

TDibRecord History::TakeSpare(const TDibRecord& like)
{
    for (std::size_t i = 0; i < spares_.size(); ++i)
        if (SameShape(spares_[i], like)) {
            const TDibRecord spare = spares_[i];
            spares_.erase(spares_.begin() + std::ptrdiff_t(i));
            return spare;
        }
    // A state that could be redone is dropped by the next step anyway, and
    // one the budget would drop once another picture is kept serves as well.
    int far = -1;
    for (int i = current_ + 1; i < Count() && far < 0; ++i)
        if (SameShape(entries_[std::size_t(i)].picture, like) &&
            !FromOutside(entries_[std::size_t(i)].step))
            far = i;
    if (far < 0 && KeptBytes() + PictureBytes(like) > budget_)
        far = Furthest(&like);
    if (far < 0)
        return {};
    const TDibRecord spare = entries_[std::size_t(far)].picture;
    entries_[std::size_t(far)].picture = {};
    return spare;
}

int History::SourceIndex() const
{
    int i = current_;
    while (i > 0 && !FromOutside(entries_[std::size_t(i)].step))
        --i;
    return i;
}

const PictureOrigin& History::Source() const
{
    return entries_[std::size_t(SourceIndex())].origin;
}

std::vector<Step> History::StepsSinceSource() const
{
    std::vector<Step> steps;
    for (int i = SourceIndex() + 1; i <= current_; ++i)
        steps.push_back(entries_[std::size_t(i)].step);
    return steps;
}

std::size_t History::KeptBytes() const
{
    std::size_t bytes = 0;
    for (const Entry& e : entries_)
        bytes += PictureBytes(e.picture);
    for (const TDibRecord& spare : spares_)
        bytes += PictureBytes(spare);
    return bytes;
}

void History::Trim()
{
    while (KeptBytes() > budget_) {
        if (!spares_.empty()) {
            deldib(spares_.back());
            spares_.pop_back();
            continue;
        }
        const int furthest = Furthest(nullptr);
        if (furthest < 0) {
            // Only pictures from outside are left: the oldest steps are
            // forgotten, up to the next of them at or before the current state.
            int base = 1;
            while (base <= current_ && !FromOutside(entries_[std::size_t(base)].step))
                ++base;
            if (base > current_)
                return;
            for (int i = 0; i < base; ++i)
                deldib(entries_[std::size_t(i)].picture);
            entries_.erase(entries_.begin(), entries_.begin() + base);
            current_ -= base;
            continue;
        }
        deldib(entries_[std::size_t(furthest)].picture);
        entries_[std::size_t(furthest)].picture = {};
    }
}

int History::Furthest(const TDibRecord* like) const
{
    int furthest = -1;
    for (int i = 0; i < Count(); ++i) {
        const Entry& e = entries_[std::size_t(i)];
        if (e.picture.Bits && !FromOutside(e.step) && (!like || SameShape(e.picture, *like)) &&
            (furthest < 0 || std::abs(i - current_) > std::abs(furthest - current_)))
            furthest = i;
    }
    return furthest;
}

void History::Drop(TDibRecord& picture)
{
    // One dropped picture is kept for the next correction's copy; shared
    // pixels may not be written over.
    if (picture.Bits && spares_.empty() && !DibShared(picture))
        spares_.push_back(picture);
    else
        deldib(picture);
    picture = {};
}
