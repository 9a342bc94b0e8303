// The crop page's operations on a 24-megapixel photo, each beside a plain
// memcpy of the same picture, which the mirrors, turns and crop are held to
// within four times; the free rotation by 10 degrees and the doubling with
// interpolation are held to half a second. Finding a photo on a 300-dpi A4
// colour scan: goal under 200 ms.
#include "SyntheticScan.h"
#include "geometry/Crop.h"
#include "geometry/FindPhoto.h"
#include "geometry/Mirror.h"
#include "geometry/Resize.h"
#include "geometry/Rotate.h"
#include "imagora/Imagora.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// Smooth gradients with some noise, 24 bits.
class Photo {
public:
    Photo()
    {
        newdib(&dib, kWidth, kHeight, 24, nullptr, 0);
        std::uint32_t seed = 12345;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* p = dib.Bits + std::ptrdiff_t(y) * dib.LineBytes;
            for (int x = 0; x < kWidth; ++x, p += 3) {
                seed = seed * 1664525u + 1013904223u;
                p[0] = std::uint8_t(x * 255 / kWidth + (seed >> 28));
                p[1] = std::uint8_t(y * 255 / kHeight + (seed >> 28));
                p[2] = std::uint8_t((x + y) * 255 / (kWidth + kHeight));
            }
        }
    }
    ~Photo() { deldib(dib); }
    TDibRecord dib;
};

const TDibRecord& SharedPhoto()
{
    static Photo photo;
    return photo.dib;
}

NullProgress progress;

// Runs op, which makes a new picture from the photo, and releases the result
// outside the timing.
void Run(benchmark::State& state, const std::function<TDibRecord(const TDibRecord&)>& op)
{
    const TDibRecord& photo = SharedPhoto();
    for (auto _ : state) {
        TDibRecord out = op(photo);
        benchmark::DoNotOptimize(out.Bits);
        state.PauseTiming();
        deldib(out);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(photo.Info->bmiHeader.biSizeImage));
}

// The yardstick: a new picture of the same shape filled by one memcpy.
void BM_Memcpy(benchmark::State& s)
{
    Run(s, [](const TDibRecord& src) {
        TDibRecord out;
        NewDibLike(&out, src);
        std::memcpy(out.Bits, src.Bits, src.Info->bmiHeader.biSizeImage);
        return out;
    });
}

template <void (*F)(const TDibRecord&, TDibRecord&, ProgressSink&)>
void BM_Turn(benchmark::State& s)
{
    Run(s, [](const TDibRecord& src) {
        TDibRecord out;
        F(src, out, progress);
        return out;
    });
}

// The mirrors and the half turn move the pixels within a copy of the photo
// made once, outside the timing.
template <void (*F)(TDibRecord&, ProgressSink&)> void BM_InPlace(benchmark::State& s)
{
    const TDibRecord& photo = SharedPhoto();
    TDibRecord work;
    NewDibLike(&work, photo);
    std::memcpy(work.Bits, photo.Bits, photo.Info->bmiHeader.biSizeImage);
    for (auto _ : s) {
        F(work, progress);
        benchmark::DoNotOptimize(work.Bits);
    }
    deldib(work);
    s.SetBytesProcessed(s.iterations() * std::int64_t(photo.Info->bmiHeader.biSizeImage));
}

void BM_Crop80Percent(benchmark::State& s)
{
    Run(s, [](const TDibRecord& src) {
        TDibRecord out;
        CropDib(src, RECT{600, 400, 5400, 3600}, out, progress);
        return out;
    });
}

void BM_FreeRotation10Degrees(benchmark::State& s)
{
    Run(s, [](const TDibRecord& src) {
        TDibRecord out;
        DibRotxxx(src, false, 10, RGB(255, 255, 255), out, progress);
        return out;
    });
}

void BM_Enlarge200PercentInterpolated(benchmark::State& s)
{
    Run(s, [](const TDibRecord& src) {
        TDibRecord out;
        DIBResize(src, 2 * kWidth, 2 * kHeight, true, out, progress);
        return out;
    });
}

void BM_FindPhotoOnA4At300Dpi(benchmark::State& s)
{
    TDibRecord scan;
    MakeScan({.width = 2480, .height = 3508, .photoWidth = 1800, .photoHeight = 1200,
              .degrees = 4},
             scan);
    for (auto _ : s)
        benchmark::DoNotOptimize(FindPhoto(scan));
    deldib(scan);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InPlace<MirrorH>)->Name("BM_MirrorH")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InPlace<MirrorV>)->Name("BM_MirrorV")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Turn<RotLeft>)->Name("BM_RotLeft")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Turn<RotRight>)->Name("BM_RotRight")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Turn<Rot180>)->Name("BM_Rot180")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InPlace<Rot180InPlace>)
    ->Name("BM_Rot180InPlace")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Crop80Percent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FreeRotation10Degrees)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Enlarge200PercentInterpolated)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindPhotoOnA4At300Dpi)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
