// The colour-depth conversions on a 24-megapixel photo-like picture, next to
// one plain pass that reads every pixel and writes one byte for it.
#include "depth/DepthDown.h"
#include "depth/DepthUp.h"
#include "depth/OptimizedPalette.h"
#include "imagora/Imagora.h"

#include "PhotoLike.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

const TDibRecord& Photo()
{
    static const TDibRecord photo = NewPhotoLike(kWidth, kHeight);
    return photo;
}

NullProgress progress;

void Pixels(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * std::int64_t(kWidth) * kHeight);
}

// The yardstick: three bytes read, one written, per pixel.
void BM_PlainPass(benchmark::State& state)
{
    const TDibRecord& photo = Photo();
    TDibRecord out;
    newdib(&out, kWidth, kHeight, 8, nullptr, 0);
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) {
            const std::uint8_t* s = photo.Bits + std::ptrdiff_t(y) * photo.LineBytes;
            std::uint8_t* d = out.Bits + std::ptrdiff_t(y) * out.LineBytes;
            for (int x = 0; x < kWidth; ++x, s += 3)
                d[x] = std::uint8_t((s[0] + s[1] + s[2]) / 3);
        }
        benchmark::ClobberMemory();
    }
    deldib(out);
    Pixels(state);
}

void BM_OptimizedPalette(benchmark::State& state)
{
    RgbTriple triples[256];
    for (auto _ : state) {
        OptimizedPalette(Photo(), 256, 4, triples, progress);
        benchmark::DoNotOptimize(triples);
    }
    Pixels(state);
}

void Reduce(benchmark::State& state, int bits, DepthDownChoice choice)
{
    for (auto _ : state) {
        TDibRecord reduced = DepthDownTo(Photo(), bits, choice, progress);
        benchmark::DoNotOptimize(reduced.Bits);
        deldib(reduced);
    }
    Pixels(state);
}

void BM_To8OptimizedFloydSteinberg(benchmark::State& s)
{
    Reduce(s, 8, {DepthMethod::FloydSteinberg, true, true});
}
void BM_To8OptimizedNearest(benchmark::State& s)
{
    Reduce(s, 8, {DepthMethod::Nearest, true, true});
}
void BM_To8StandardNearest(benchmark::State& s)
{
    Reduce(s, 8, {DepthMethod::Nearest, false, false});
}
void BM_To8Ordered(benchmark::State& s)
{
    Reduce(s, 8, {DepthMethod::Ordered, false, false});
}
void BM_To4OptimizedFloydSteinberg(benchmark::State& s)
{
    Reduce(s, 4, {DepthMethod::FloydSteinberg, true, true});
}
void BM_To1Threshold(benchmark::State& s)
{
    Reduce(s, 1, {DepthMethod::Nearest, false, false});
}
void BM_To1FloydSteinberg(benchmark::State& s)
{
    Reduce(s, 1, {DepthMethod::FloydSteinberg, false, false});
}

// An 8-bit picture raised back to 24 bits.
void BM_Up8To24(benchmark::State& state)
{
    TDibRecord eight = DepthDownTo(Photo(), 8, {DepthMethod::Ordered, false, false}, progress);
    for (auto _ : state) {
        TDibRecord raised = DepthUpTo(eight, 24, 7, progress);
        benchmark::DoNotOptimize(raised.Bits);
        deldib(raised);
    }
    deldib(eight);
    Pixels(state);
}

BENCHMARK(BM_PlainPass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OptimizedPalette)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_To8OptimizedFloydSteinberg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_To8OptimizedNearest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_To8StandardNearest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_To8Ordered)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_To4OptimizedFloydSteinberg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_To1Threshold)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_To1FloydSteinberg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Up8To24)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
