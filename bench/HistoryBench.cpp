// The history on a 24-megapixel photo: undo and redo of the last step, going
// back ten correction clicks with every picture kept and with only the
// opened one kept (the ten made again), and the memory kept after 50 steps
// against the budget.
#include "app/WorkingImage.h"
#include "steps/StepTable.h"

#include "PhotoLike.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr double kMiB = 1024.0 * 1024.0;

NullProgress progress;

// The n-th click of a user on the optimize page: every mode, every cell
// but the middle one.
Step Click(int n)
{
    const int level = n % 8 - 4;
    return CorrectStep(n % kCorrectionModeCount, level >= 0 ? level + 1 : level, 8);
}

// A photo opened and clicked on count times.
void OpenAndClick(WorkingImage& image, int count)
{
    image.InstallOpened(NewPhotoLike(kWidth, kHeight), "photo.bmp");
    for (int i = 0; i < count; ++i)
        image.Apply(Click(i), progress);
}

void BM_UndoLastStep(benchmark::State& state)
{
    WorkingImage image;
    OpenAndClick(image, 1);
    for (auto _ : state) {
        image.Undo(progress);
        state.PauseTiming();
        image.Redo(progress);
        state.ResumeTiming();
    }
}

void BM_RedoLastStep(benchmark::State& state)
{
    WorkingImage image;
    OpenAndClick(image, 1);
    for (auto _ : state) {
        state.PauseTiming();
        image.Undo(progress);
        state.ResumeTiming();
        image.Redo(progress);
    }
}

// range(0): the budget in MiB; 0 for the default. With 70 MiB only the
// opened picture stays, and the state ten clicks back is made again from it.
void BM_BackTenClicks(benchmark::State& state)
{
    WorkingImage image;
    if (state.range(0) > 0)
        image.SetHistoryBudget(std::size_t(state.range(0)) << 20);
    OpenAndClick(image, 20);
    for (auto _ : state) {
        image.GoTo(10, progress);
        state.PauseTiming();
        image.GoTo(20, progress);
        state.ResumeTiming();
    }
    state.counters["kept_MiB"] = double(image.Steps().KeptBytes()) / kMiB;
}

// The time is that of the 50 clicks; the counters say what the history keeps.
void BM_MemoryAfter50Steps(benchmark::State& state)
{
    std::size_t kept = 0, budget = 0;
    for (auto _ : state) {
        WorkingImage image;
        OpenAndClick(image, 50);
        kept = image.Steps().KeptBytes();
        budget = image.Steps().Budget();
    }
    state.counters["kept_MiB"] = double(kept) / kMiB;
    state.counters["budget_MiB"] = double(budget) / kMiB;
    state.counters["kept_of_budget"] = double(kept) / double(budget);
}

} // namespace

BENCHMARK(BM_UndoLastStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedoLastStep)->Unit(benchmark::kMillisecond);
// The CPU time of every thread, as the corrections run in row bands: on a
// busy machine it says more than the wall time.
BENCHMARK(BM_BackTenClicks)
    ->Arg(0)
    ->Arg(70)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryAfter50Steps)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
