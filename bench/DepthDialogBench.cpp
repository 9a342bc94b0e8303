// The colour reduction dialog on a 24-megapixel photo: from the moment it is
// asked to open (the copy of the picture its previews work on included) to
// the first preview on the X server, and on to the last figures.
#include "depth/DepthDownForm.h"
#include "depth/DepthPreviewRun.h"
#include "depth/DepthPreviewViews.h"

#include "PhotoLike.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const TDibRecord& Photo()
{
    static const TDibRecord photo = NewPhotoLike(6000, 4000);
    return photo;
}

void Until(const std::function<bool()>& done)
{
    while (!done()) {
        QApplication::processEvents(QEventLoop::AllEvents, 1);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    QApplication::processEvents();
    QGuiApplication::sync();
}

bool AnyPart(const TDepthDownForm& f)
{
    return std::any_of(f.PreviewTiles.begin(), f.PreviewTiles.end(),
                       [](const TDepthPreviewTile* t) { return t->HasPart(); });
}

void Open(benchmark::State& state, int bits, bool toTheEnd)
{
    Photo();
    TDepthDownForm form(nullptr);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        form.Prepare(bits);
        form.ShowPreviews(CopyDib(Photo()));
        form.show();
        Until([&] { return AnyPart(form); });
        if (toTheEnd)
            Until([&] { return form.PreviewsComplete(); });
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        form.hide();
        form.StopPreviews();
    }
}

void BM_FirstPreview8Bits(benchmark::State& s)
{
    Open(s, 8, false);
}
void BM_FirstPreview1Bit(benchmark::State& s)
{
    Open(s, 1, false);
}
void BM_AllPreviews8Bits(benchmark::State& s)
{
    Open(s, 8, true);
}
BENCHMARK(BM_FirstPreview8Bits)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FirstPreview1Bit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AllPreviews8Bits)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// What Cancel leaves behind: from the stop to the end of the previews'
// thread, after arg milliseconds of work.
void BM_StopAfter(benchmark::State& state)
{
    const SharedDib photo = CopyDib(Photo());
    for (auto _ : state) {
        auto run = std::make_unique<DepthPreviewRun>(
            photo, 8, DepthChoicesFor(8, true), PreviewRegion(*photo, 3000, 2000, 120, 90),
            [](const DepthPreviewEvent&) {});
        std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
        const Clock::time_point start = Clock::now();
        run.reset();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_StopAfter)
    ->Arg(100)->Arg(400)->Arg(900)->Arg(1500)->Arg(2500)->Arg(4000)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_depthdialog needs an X server: DISPLAY=:N %s\n", argv[0]);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
