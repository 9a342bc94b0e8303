// A 300 dpi A4 colour scan (2480 x 3507 pixels) from SANE's test backend:
// into the working image in-process (acquisition, the undo copy and the
// install, as the window does it), through kelvora-cli as a whole process,
// and scanimage writing the same scan to a PNM file, also a whole process.
#include "SaneTestBackend.h"

#include "app/WorkingImage.h"
#include "imagora/Imagora.h"
#include "quorscan/ScanAcquire.h"
#include "quorscan/ScanDevice.h"
#include "quorscan/ScanOptions.h"

#include <ctime>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const char* const kSettings[] = {
    "mode=Color", "depth=8", "resolution=300", "test-picture=Color pattern",
    "tl-x=0",     "tl-y=0",  "br-x=210",       "br-y=297"};

std::string Run(const std::string& command)
{
    return std::system(command.c_str()) == 0 ? std::string() : "failed: " + command;
}

void BM_ScanIntoWorkingImage(benchmark::State& state)
{
    UseSaneTestBackend();
    ScanDevice device("test:0");
    std::string error;
    for (const char* s : kSettings)
        if (!ApplyScanSetting(device.Handle(), s, error))
            state.SkipWithError(error.c_str());
    WorkingImage image;
    image.CreateStartPictures();
    ScanCancel cancel;
    for (auto _ : state) {
        const ScanResult result = AcquireScan(device.Handle(), cancel, {});
        if (!result.picture.Bits) {
            state.SkipWithError(result.error.c_str());
            break;
        }
        image.InstallScanned(result.picture, {}, std::time(nullptr));
    }
    state.SetLabel(std::to_string(DibWidth(image.WorkDib)) + " x " +
                   std::to_string(DibHeight(image.WorkDib)));
    image.Release();
}

void BM_KelvoraCliScan(benchmark::State& state)
{
    UseSaneTestBackend();
    std::string command = KELVORA_CLI " --scan test:0";
    for (const char* s : kSettings)
        command += " --scan-option '" + std::string(s) + "'";
    command += " --info > /dev/null";
    for (auto _ : state)
        if (const std::string error = Run(command); !error.empty())
            state.SkipWithError(error.c_str());
}

void BM_ScanimageToFile(benchmark::State& state)
{
    const std::string folder = UseSaneTestBackend();
    const std::string command =
        "scanimage -d test:0 --mode Color --depth 8 --resolution 300 "
        "--test-picture 'Color pattern' -l 0 -t 0 -x 210 -y 297 --format=pnm -o '" +
        folder + "/scan.pnm'";
    for (auto _ : state)
        if (const std::string error = Run(command); !error.empty())
            state.SkipWithError(error.c_str());
    std::filesystem::remove(folder + "/scan.pnm");
}

BENCHMARK(BM_ScanIntoWorkingImage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KelvoraCliScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScanimageToFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
