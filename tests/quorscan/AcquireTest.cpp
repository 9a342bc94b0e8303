// Scans from SANE's test backend, compared with the pictures its options
// predict and with what scanimage makes of the same scan.
#include "ScanTestSupport.h"

#include "quorscan/ScanStatus.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct Pnm {
    int kind = 0; // 4 bitmap, 5 grey, 6 colour
    int width = 0, height = 0, maxval = 1;
    std::vector<std::uint8_t> data;
};

// scanimage's picture of the same scan: a PNM file, read plainly.
Pnm Scanimage(const std::vector<std::string>& options, const std::string& path)
{
    std::vector<std::string> all{"scanimage", "-d", "test:0", "--format=pnm", "-o", path};
    all.insert(all.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawnp(&pid, "scanimage", nullptr, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    Pnm pnm;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    in >> magic;
    pnm.kind = magic.size() == 2 ? magic[1] - '0' : 0;
    auto number = [&in] {
        in >> std::ws;
        while (in.peek() == '#')
            in.ignore(1 << 20, '\n') >> std::ws;
        int v = 0;
        in >> v;
        return v;
    };
    pnm.width = number();
    pnm.height = number();
    if (pnm.kind != 4)
        pnm.maxval = number();
    in.get();
    pnm.data.assign(std::istreambuf_iterator<char>(in), {});
    std::remove(path.c_str());
    return pnm;
}

// Sample i of a PNM's data as the picture should show it, rounded to 8 bits.
int PnmSample(const Pnm& p, std::size_t i)
{
    if (p.maxval < 256)
        return p.data[i];
    const int v = p.data[2 * i] << 8 | p.data[2 * i + 1]; // big-endian in the file
    return int(std::lround(v / 257.0));
}

class Acquire : public TestScanner {};

TEST_F(Acquire, SolidPicturesInEveryModeAndDepth)
{
    // 80 x 100 mm at 50 dpi.
    for (const char* mode : {"Gray", "Color"})
        for (int depth : {1, 8, 16})
            for (const char* picture : {"Solid black", "Solid white"}) {
                SCOPED_TRACE(std::string(mode) + " " + std::to_string(depth) + " " + picture);
                Set({std::string("mode=") + mode, "depth=" + std::to_string(depth),
                     std::string("test-picture=") + picture});
                ASSERT_TRUE(Scan().picture.Bits) << result.error;
                const TDibRecord& d = result.picture;
                EXPECT_EQ(DibWidth(d), 157);
                EXPECT_EQ(DibHeight(d), 196);
                const bool grey = std::string(mode) == "Gray";
                EXPECT_EQ(DibBitCount(d), grey ? (depth == 1 ? 1 : 8) : 24);
                const int v = std::string(picture) == "Solid white" ? 255 : 0;
                for (int y = 0; y < 196; y += 13)
                    for (int x = 0; x < 157; x += 7)
                        ASSERT_EQ(ShownColour(d, x, y), (Rgb{v, v, v})) << x << "," << y;
                EXPECT_EQ(ShownColour(d, 156, 195), (Rgb{v, v, v}));
            }
}

TEST_F(Acquire, GridOfTenMillimetreSquaresAtEveryDepth)
{
    // 127 dpi makes a 10 mm square 50 pixels; 80 x 100 mm is 400 x 500 pixels.
    Set({"resolution=127", "test-picture=Grid"});
    const std::vector<std::pair<const char*, int>> kinds = {
        {"Gray", 1}, {"Gray", 8}, {"Gray", 16}, {"Color", 8}, {"Color", 16}};
    for (const auto& [mode, depth] : kinds) {
        SCOPED_TRACE(std::string(mode) + " " + std::to_string(depth));
        Set({std::string("mode=") + mode, "depth=" + std::to_string(depth)});
        ASSERT_TRUE(Scan().picture.Bits) << result.error;
        ASSERT_EQ(DibWidth(result.picture), 400);
        ASSERT_EQ(DibHeight(result.picture), 500);
        for (int y = 0; y < 500; ++y)
            for (int x = 0; x < 400; ++x) {
                const int v = GridWhite(x, y, 50) ? 255 : 0;
                ASSERT_EQ(ShownColour(result.picture, x, y), (Rgb{v, v, v})) << x << "," << y;
            }
    }
}

TEST_F(Acquire, ColourPatternsAgreeWithScanimage)
{
    const std::string file = MakeTempDir();
    const std::vector<std::pair<const char*, int>> kinds = {
        {"Gray", 1}, {"Gray", 8}, {"Gray", 16}, {"Color", 8}, {"Color", 16}};
    for (const auto& [mode, depth] : kinds) {
        SCOPED_TRACE(std::string(mode) + " " + std::to_string(depth));
        const std::vector<std::string> options = {
            std::string("--mode=") + mode, "--depth=" + std::to_string(depth),
            "--test-picture=Color pattern", "--resolution=60"};
        const Pnm expected = Scanimage(options, file + "/scan.pnm");
        Set({std::string("mode=") + mode, "depth=" + std::to_string(depth),
             "test-picture=Color pattern", "resolution=60"});
        ASSERT_TRUE(Scan().picture.Bits) << result.error;
        const TDibRecord& d = result.picture;
        ASSERT_EQ(DibWidth(d), expected.width);
        ASSERT_EQ(DibHeight(d), expected.height);
        const std::size_t rowBytes = std::size_t(expected.width + 7) / 8;
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x) {
                const std::size_t i = std::size_t(y) * std::size_t(expected.width) + std::size_t(x);
                Rgb want{};
                if (expected.kind == 4) {
                    const bool black =
                        (expected.data[std::size_t(y) * rowBytes + std::size_t(x / 8)] >>
                         (7 - x % 8)) &
                        1;
                    want = black ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
                } else if (expected.kind == 5) {
                    const int g = PnmSample(expected, i);
                    want = Rgb{g, g, g};
                } else {
                    want = Rgb{PnmSample(expected, 3 * i), PnmSample(expected, 3 * i + 1),
                               PnmSample(expected, 3 * i + 2)};
                }
                ASSERT_EQ(ShownColour(d, x, y), want) << x << "," << y;
            }
    }
    std::filesystem::remove_all(file);
}

TEST_F(Acquire, ThreePassColourEqualsOnePass)
{
    for (int depth : {8, 16}) {
        Set({"mode=Color", "depth=" + std::to_string(depth), "test-picture=Color pattern",
             "resolution=60", "three-pass=no"});
        ASSERT_TRUE(Scan().picture.Bits) << result.error;
        const TDibRecord onePass = result.picture;
        result.picture = TDibRecord{};
        for (const char* order : {"RGB", "BGR", "GRB"}) {
            SCOPED_TRACE(std::to_string(depth) + " bits, order " + order);
            Set({"three-pass=yes", std::string("three-pass-order=") + order});
            ASSERT_TRUE(Scan().picture.Bits) << result.error;
            ASSERT_EQ(DibWidth(result.picture), DibWidth(onePass));
            ASSERT_EQ(DibHeight(result.picture), DibHeight(onePass));
            for (int y = 0; y < DibHeight(onePass); ++y)
                ASSERT_EQ(0, std::memcmp(DibRowFromTop(result.picture, y),
                                         DibRowFromTop(onePass, y), std::size_t(onePass.LineBytes)))
                    << "row " << y;
            Set({"three-pass=no"});
        }
        deldib(onePass);
    }
}

TEST_F(Acquire, HandScannerPictureGrowsAsLinesArrive)
{
    // A hand scanner reports no height; the test backend sends 110 x 170 mm.
    Set({"hand-scanner=yes", "resolution=127", "test-picture=Grid"});
    ASSERT_TRUE(Scan().picture.Bits) << result.error;
    EXPECT_EQ(DibWidth(result.picture), 550);
    EXPECT_EQ(DibHeight(result.picture), 850);
    for (int y = 0; y < 850; y += 3)
        for (int x = 0; x < 550; x += 5) {
            const int v = GridWhite(x, y, 50) ? 255 : 0;
            ASSERT_EQ(ShownColour(result.picture, x, y), (Rgb{v, v, v})) << x << "," << y;
        }
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), -1) << "no percentage without a height";
}

TEST_F(Acquire, ScanAreaSetsThePictureSize)
{
    Set({"resolution=127", "tl-x=20", "tl-y=30", "br-x=60", "br-y=50"});
    ASSERT_TRUE(Scan().picture.Bits) << result.error;
    EXPECT_EQ(DibWidth(result.picture), 200);
    EXPECT_EQ(DibHeight(result.picture), 100);
}

TEST_F(Acquire, SizesAreTakenAsTheyStandAfterTheScanStarts)
{
    // Fuzzy parameters are random until the scan starts; lost pixels leave
    // the lines longer than their pixels; a read limit splits lines anywhere.
    Set({"resolution=127", "test-picture=Grid", "fuzzy-parameters=yes", "ppl-loss=7",
         "read-limit=yes", "read-limit-size=777"});
    for (const char* mode : {"Gray", "Color"}) {
        SCOPED_TRACE(mode);
        Set({std::string("mode=") + mode});
        ASSERT_TRUE(Scan().picture.Bits) << result.error;
        ASSERT_EQ(DibWidth(result.picture), 393);
        ASSERT_EQ(DibHeight(result.picture), 500);
        for (int y = 0; y < 500; y += 7)
            for (int x = 0; x < 393; ++x) {
                const int v = GridWhite(x, y, 50) ? 255 : 0;
                ASSERT_EQ(ShownColour(result.picture, x, y), (Rgb{v, v, v})) << x << "," << y;
            }
    }
    EXPECT_GT(progress.size(), 2u);
    EXPECT_EQ(progress.back(), 100);
}

TEST_F(Acquire, EveryFailingReadStatusEndsTheScanWithItsMessage)
{
    const std::vector<std::pair<const char*, SANE_Status>> statuses = {
        {"SANE_STATUS_UNSUPPORTED", SANE_STATUS_UNSUPPORTED},
        {"SANE_STATUS_CANCELLED", SANE_STATUS_CANCELLED},
        {"SANE_STATUS_DEVICE_BUSY", SANE_STATUS_DEVICE_BUSY},
        {"SANE_STATUS_INVAL", SANE_STATUS_INVAL},
        {"SANE_STATUS_EOF", SANE_STATUS_EOF}, // at once: no data at all
        {"SANE_STATUS_JAMMED", SANE_STATUS_JAMMED},
        {"SANE_STATUS_NO_DOCS", SANE_STATUS_NO_DOCS},
        {"SANE_STATUS_COVER_OPEN", SANE_STATUS_COVER_OPEN},
        {"SANE_STATUS_IO_ERROR", SANE_STATUS_IO_ERROR},
        {"SANE_STATUS_NO_MEM", SANE_STATUS_NO_MEM},
        {"SANE_STATUS_ACCESS_DENIED", SANE_STATUS_ACCESS_DENIED},
    };
    const int dibsBefore = LiveDibCount();
    for (const auto& [name, status] : statuses) {
        SCOPED_TRACE(name);
        Set({std::string("read-return-value=") + name});
        Scan();
        EXPECT_EQ(result.picture.Bits, nullptr);
        EXPECT_FALSE(result.cancelled);
        EXPECT_EQ(result.error, ScanStatusMessage(status));
        EXPECT_EQ(LiveDibCount(), dibsBefore);
    }
    // The scanner is left ready for the next scan.
    Set({"read-return-value=Default"});
    EXPECT_TRUE(Scan().picture.Bits) << result.error;
}

TEST_F(Acquire, EmptyFeederIsReportedWhenTheScanStarts)
{
    // The test backend's feeder runs empty after ten pages.
    Set({"source=Automatic Document Feeder"});
    for (int page = 0; page < 10; ++page)
        ASSERT_TRUE(Scan().picture.Bits) << page << ": " << result.error;
    Scan();
    EXPECT_EQ(result.picture.Bits, nullptr);
    EXPECT_EQ(result.error, ScanStatusMessage(SANE_STATUS_NO_DOCS));
}

TEST_F(Acquire, CancelStopsASlowScanAtOnce)
{
    // About ten seconds of data at a fifth of a second per piece.
    Set({"mode=Color", "resolution=300", "read-delay=yes", "read-delay-duration=200000"});
    std::atomic<bool> started{false};
    ScanResult slow;
    std::thread scan(
        [&] { slow = AcquireScan(device->Handle(), cancel, [&](int) { started = true; }); });
    while (!started)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto asked = std::chrono::steady_clock::now();
    cancel.Request(device->Handle());
    scan.join();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
    EXPECT_TRUE(slow.cancelled);
    EXPECT_EQ(slow.picture.Bits, nullptr);
    EXPECT_TRUE(slow.error.empty()) << slow.error;

    cancel.Reset();
    Set({"read-delay=no", "resolution=50"});
    EXPECT_TRUE(Scan().picture.Bits) << result.error;
}

TEST_F(Acquire, UnknownDeviceSaysHowToFindTheScanner)
{
    const ScanDevice missing("test:7");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_NE(missing.Error().find("scanimage -L"), std::string::npos) << missing.Error();
}

} // namespace
