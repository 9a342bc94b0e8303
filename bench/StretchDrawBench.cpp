// Drawing a 24-megapixel photo fitted into a preview box and into a large
// window, through each way the drawing routine takes: the row scalers on a
// true-colour screen, the device stretch on a printer page, and the
// halftoned copy on a palette screen.
#include "display/StretchDrawDib.h"
#include "gdi/PrinterDC.h"
#include "gdi/RasterDC.h"
#include "imagora/Imagora.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

struct Photo {
    explicit Photo(int bits)
    {
        BITMAPINFO table{};
        for (int i = 0; i < 256; ++i)
            table.bmiColors[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(255 - i), 128, 0};
        newdib(&dib, kWidth, kHeight, bits, &table, bits == 8 ? 256 : 0);
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* p = dib.Bits + std::ptrdiff_t(y) * dib.LineBytes;
            for (int i = 0; i < dib.LineBytes; ++i)
                p[i] = std::uint8_t(i * 7 + y * 3);
        }
    }
    ~Photo() { deldib(dib); }
    TDibRecord dib;
};

const Photo& Photo24()
{
    static const Photo photo(24);
    return photo;
}

const Photo& Photo8()
{
    static const Photo photo(8);
    return photo;
}

// The box sizes 400 x 300 and 1600 x 1200 hold the 3:2 photo at 400 x 266
// and 1600 x 1066, as the preview panes fit it.
void Draw(benchmark::State& state, RasterDC& dc, const TDibRecord& dib)
{
    const int w = int(state.range(0)), h = w * kHeight / kWidth;
    for (auto _ : state) {
        StretchDrawDib(&dc, 0, 0, w, h, dib, 0, 0, kWidth, kHeight, true, SRCCOPY, true, nullptr);
        benchmark::DoNotOptimize(dc.Row(0)[0]);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(w) * h);
}

void BM_Screen24(benchmark::State& state)
{
    RasterDC dc(int(state.range(0)), int(state.range(1)));
    Draw(state, dc, Photo24().dib);
}

void BM_Screen8(benchmark::State& state)
{
    RasterDC dc(int(state.range(0)), int(state.range(1)));
    Draw(state, dc, Photo8().dib);
}

void BM_Printer24(benchmark::State& state)
{
    PrinterDC dc(int(state.range(0)), int(state.range(1)), 300, 300);
    Draw(state, dc, Photo24().dib);
}

void BM_PaletteScreen24(benchmark::State& state)
{
    const auto previous = SetScreenBitsPerPixelProbe([] { return 8; });
    RasterDC dc(int(state.range(0)), int(state.range(1)));
    dc.SetBitsPerPixel(8);
    Draw(state, dc, Photo24().dib);
    SetScreenBitsPerPixelProbe(previous);
}

// The floor: only reading the source bytes that a point-sampled fit touches.
void BM_SampleReadsOnly(benchmark::State& state)
{
    const TDibRecord& dib = Photo24().dib;
    const int w = int(state.range(0)), h = w * kHeight / kWidth;
    for (auto _ : state) {
        unsigned sum = 0;
        for (int r = 0; r < h; ++r) {
            const std::uint8_t* row = DibRowFromTop(dib, r * kHeight / h);
            for (int i = 0; i < w; ++i)
                sum += row[3 * (i * kWidth / w)];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(w) * h);
}

} // namespace

BENCHMARK(BM_SampleReadsOnly)->Args({400, 300})->Args({1600, 1200})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen24)->Args({400, 300})->Args({1600, 1200})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen8)->Args({400, 300})->Args({1600, 1200})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Printer24)->Args({400, 300})->Args({1600, 1200})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaletteScreen24)->Args({400, 300})->Args({1600, 1200})->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
