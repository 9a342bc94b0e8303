// The colour corrections on a 24-megapixel photo, against the cost of one
// plain read-modify-write pass over the same pixels, one rebuild of the
// variations grid from such a photo, and the automatic correction of it.
#include "correct/AutoCorrect.h"
#include "correct/CorrectionModes.h"
#include "correct/Corrections.h"
#include "correct/VariationGrid.h"
#include "gdi/RasterDC.h"
#include "imagora/Imagora.h"
#include "steps/StepTable.h"

#include "PhotoLike.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

class Photo {
public:
    Photo() : dib(NewPhotoLike(kWidth, kHeight))
    {
        pristine.assign(dib.Bits, dib.Bits + dib.Info->bmiHeader.biSizeImage);
    }
    ~Photo() { deldib(dib); }
    void Restore() { std::memcpy(dib.Bits, pristine.data(), pristine.size()); }

    TDibRecord dib;
    std::vector<std::uint8_t> pristine;
};

Photo& SharedPhoto()
{
    static Photo photo;
    return photo;
}

void RunOnPhoto(benchmark::State& state, const std::function<void(TDibRecord&)>& op)
{
    Photo& photo = SharedPhoto();
    for (auto _ : state) {
        state.PauseTiming();
        photo.Restore();
        state.ResumeTiming();
        op(photo.dib);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(kWidth) * kHeight * 3);
}

NullProgress progress;

// The yardstick: every channel byte read, changed and written back once.
void BM_ReadModifyWritePass(benchmark::State& state)
{
    RunOnPhoto(state, [](TDibRecord& d) {
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* p = d.Bits + std::ptrdiff_t(y) * d.LineBytes;
            for (int i = 0; i < 3 * kWidth; ++i)
                p[i] = std::uint8_t(255 - p[i]);
        }
    });
}

void BM_Helligkeit(benchmark::State& s)
{
    RunOnPhoto(s, [](TDibRecord& d) { Helligkeit(d, 24, progress); });
}
void BM_Kontrast(benchmark::State& s)
{
    RunOnPhoto(s, [](TDibRecord& d) { Kontrast(d, 132, progress); });
}
void BM_Saettigung(benchmark::State& s)
{
    RunOnPhoto(s, [](TDibRecord& d) { Saettigung(d, -16, progress); });
}
void BM_Gamma(benchmark::State& s)
{
    RunOnPhoto(s, [](TDibRecord& d) { Gamma(d, 2.28, progress); });
}
void BM_HighMidShadow(benchmark::State& s)
{
    RunOnPhoto(s, [](TDibRecord& d) { HighMidShadow(d, 204, 148, 40, progress); });
}
void BM_RedGreenBlue(benchmark::State& s)
{
    RunOnPhoto(s, [](TDibRecord& d) { RedGreenBlue(d, 16, 0, -8, progress); });
}

// Nine previews made, corrected and drawn into the design-size box, with
// their histograms; the second argument marks the clipping too, and draws
// the histogram box as the page does.
void BM_VariationGridRebuild(benchmark::State& state)
{
    Photo& photo = SharedPhoto();
    RasterDC dc(401, 329);
    const int mode = int(state.range(0));
    const bool clipping = state.range(1) != 0;
    for (auto _ : state) {
        const VariationHistograms h =
            PaintVariationGrid(&dc, 401, 329, photo.dib, mode, 8, progress, clipping);
        if (clipping)
            DrawHistogram(&dc, 0, 0, 181, 76, h.Current);
        benchmark::DoNotOptimize(dc.Row(0));
    }
    state.SetLabel(std::string(kCorrectionModeCaptions[std::size_t(mode)]) +
                   (clipping ? " + Beschnitt" : ""));
}

// The photo made dark and flat, then its picks chosen and applied, as the
// button and --auto do (without the history's copies).
void BM_AutoCorrect(benchmark::State& state)
{
    Photo& photo = SharedPhoto();
    std::size_t picks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        photo.Restore();
        Kontrast(photo.dib, 60, progress);
        Helligkeit(photo.dib, -40, progress);
        state.ResumeTiming();
        const std::vector<Step> steps = ChooseAutoCorrections(photo.dib, 8, progress);
        for (const Step& step : steps)
            RunStep(step, photo.dib, progress);
        picks = steps.size();
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(picks) + " picks");
}

BENCHMARK(BM_ReadModifyWritePass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Helligkeit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Kontrast)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Saettigung)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gamma)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HighMidShadow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RedGreenBlue)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VariationGridRebuild)
    ->Args({kModeHelligkeit, 0})
    ->Args({kModeGamma, 0})
    ->Args({kModeGlanzlicht, 0})
    ->Args({kModeHelligkeit, 1})
    ->Args({kModeSaettigung, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoCorrect)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
