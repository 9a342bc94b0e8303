// Opening a 24-megapixel photo (6000 x 4000) as JPEG, PNG and BMP through
// OpenDib, next to ImageMagick's decoding of the very same files
// (`convert FILE -depth 8 rgb:/dev/null`, a whole process per run, so its
// start-up is part of its figure). The files are written once, by our own
// writers, into a temporary folder.
#include "imagora/DibWriter.h"
#include "imagora/Imagora.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// Smooth gradients with a little noise, so that the files compress about as
// a photo does.
class PhotoFiles {
public:
    PhotoFiles()
    {
        char pattern[] = "/tmp/kelvora-open-bench-XXXXXX";
        folder_ = mkdtemp(pattern) ? pattern : "/tmp";
        TDibRecord photo;
        newdib(&photo, kWidth, kHeight, 24, nullptr, 0);
        std::uint32_t seed = 12345;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* p = DibRowFromTop(photo, y);
            for (int x = 0; x < kWidth; ++x, p += 3) {
                seed = seed * 1664525u + 1013904223u;
                const int noise = int(seed >> 29) - 4;
                p[0] = std::uint8_t(std::clamp(x * 255 / kWidth + noise, 0, 255));
                p[1] = std::uint8_t(std::clamp(y * 255 / kHeight + noise, 0, 255));
                p[2] = std::uint8_t(std::clamp((x + y) * 255 / (kWidth + kHeight) - noise, 0, 255));
            }
        }
        for (const char* extension : {"jpg", "png", "bmp"})
            if (!WriteDibFile(photo, Path(extension)))
                std::abort();
        deldib(photo);
    }
    ~PhotoFiles() { std::filesystem::remove_all(folder_); }
    std::string Path(const char* extension) const { return folder_ + "/photo." + extension; }

private:
    std::string folder_;
};

const PhotoFiles& Files()
{
    static const PhotoFiles files;
    return files;
}

const char* const kExtensions[] = {"jpg", "png", "bmp"};

void BM_OpenDib(benchmark::State& state)
{
    const std::string path = Files().Path(kExtensions[state.range(0)]);
    for (auto _ : state) {
        TDibRecord dib;
        OpenDib(&dib, path.c_str(), 0, nullptr);
        if (!dib.Bits)
            state.SkipWithError("OpenDib failed");
        benchmark::DoNotOptimize(dib.Bits);
        deldib(dib);
    }
    state.SetLabel(kExtensions[state.range(0)]);
}

void BM_ImageMagickDecode(benchmark::State& state)
{
    const std::string command =
        "convert '" + Files().Path(kExtensions[state.range(0)]) + "' -depth 8 rgb:/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("convert failed or is missing");
    state.SetLabel(kExtensions[state.range(0)]);
}

BENCHMARK(BM_OpenDib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImageMagickDecode)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
