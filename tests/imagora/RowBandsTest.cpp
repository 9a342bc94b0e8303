// Row bands on all cores: every row once, progress as a plain loop tells it,
// and the library's banded passes (orientations, PNM reading and writing, the
// colours in use) giving the bytes of one band.
#include "BandSupport.h"
#include "DecoderTestSupport.h"

#include "imagora/AtomicFile.h"
#include "imagora/Decoders.h"
#include "imagora/DibEncoders.h"
#include "imagora/Orientation.h"
#include "imagora/UsedColours.h"

#include <array>
#include <atomic>
#include <stdexcept>

#include <sys/mman.h>
#include <unistd.h>

namespace {

std::vector<int> PlainProgress(int rows)
{
    std::vector<int> values;
    for (int y = 0; y < rows; ++y)
        values.push_back(StepPercent(y, rows));
    return values;
}

} // namespace

TEST(RowBands, EveryRowOnceInWholeGrainsWithProgressInOrder)
{
    const struct {
        int rows, grain, bandRows; // bandRows 0: the automatic choice
        std::size_t rowBytes;
    } cases[] = {
        {1, 1, 0, 100},       {5, 1, 1, 10},        {100, 1, 3, 10},      {100, 32, 1, 10},
        {1000, 8, 0, 100000}, {4000, 64, 0, 18000}, {77, 1, INT_MAX, 10}, {300, 7, 2, 1 << 20},
    };
    for (const auto& c : cases) {
        ForcedBands bands(c.bandRows);
        std::vector<std::atomic<int>> worked(std::size_t(c.rows));
        std::atomic<bool> misaligned{false};
        RecordingProgress progress;
        ForEachRowBand(
            c.rows, c.rowBytes, &progress,
            [&](int first, int last) {
                misaligned = misaligned || first % c.grain != 0 || last <= first;
                for (int y = first; y < last; ++y)
                    ++worked[std::size_t(y)];
            },
            c.grain);
        for (int y = 0; y < c.rows; ++y)
            ASSERT_EQ(worked[std::size_t(y)], 1) << "row " << y << " of " << c.rows;
        EXPECT_FALSE(misaligned) << c.rows << " rows by " << c.grain;
        EXPECT_EQ(progress.values, PlainProgress(c.rows)) << c.rows << " rows";
    }
}

TEST(RowBands, AFailingBandReachesTheCallerAndThePoolWorksOn)
{
    ForcedBands bands(1);
    std::atomic<int> worked{0};
    EXPECT_THROW(ForEachRowBand(200, 10, nullptr,
                                [&](int first, int) {
                                    if (first >= 20)
                                        throw std::runtime_error("from band 20 on");
                                    ++worked;
                                }),
                 std::runtime_error);
    EXPECT_LE(worked, 20);
    worked = 0;
    ForEachRowBand(50, 10, nullptr, [&](int first, int last) { worked += last - first; });
    EXPECT_EQ(worked, 50);
}

TEST(RowBands, APassInsideABandRunsOnItsOwnThread)
{
    ForcedBands bands(2);
    std::atomic<int> inner{0};
    ForEachRowBand(10, 10, nullptr, [&](int first, int last) {
        for (int y = first; y < last; ++y)
            ForEachRowBand(10, 10, nullptr, [&](int a, int b) {
                EXPECT_LT(RowBandThread(), RowBandThreads());
                inner += b - a;
            });
    });
    EXPECT_EQ(inner, 100);
}

TEST(RowBands, EveryOrientationGivesTheBytesOfOneBand)
{
    for (int orientation = kOrientAsStored; orientation <= kOrientTurnAnticlockwise; ++orientation)
        ExpectSameInEveryBanding(("orientation " + std::to_string(orientation)).c_str(),
                                 [=](const TDibRecord& src, ProgressSink& p) {
                                     TDibRecord out;
                                     OrientDib(src, orientation, out, p);
                                     return out;
                                 },
                                 {1, 4, 8, 16, 24, 32});
}

// The bytes a plain look at every pixel finds, against the banded count over
// whole bytes; the rows' spare bits and nibbles hold values no pixel has.
TEST(RowBands, ColoursInUseCountPixelsNotPadding)
{
    const struct {
        int bits, width, height;
        int modulus; // pixel values 0 .. modulus - 1
    } cases[] = {
        {1, 13, 9, 1},   {1, 13, 9, 2}, {1, 64, 3, 1}, {1, 70, 40, 2},    {4, 7, 5, 3},
        {4, 33, 41, 16}, {4, 1, 1, 1},  {8, 5, 3, 7},  {8, 301, 77, 256},
    };
    for (const auto& c : cases)
        for (const int rows : BandHeights()) {
            ForcedBands bands(rows);
            DibGuard pic(MakeDib(c.width, c.height, c.bits, [&](int x, int y) {
                // one of each value, most of them near the end
                return std::uint32_t((x * 7 + y * 3) % c.modulus);
            }));
            const int used = (c.width * c.bits + 7) / 8;
            for (int y = 0; y < c.height; ++y) // the padding: all ones
                std::memset(DibRowFromTop(pic.dib, y) + used, 0xFF,
                            std::size_t(pic->LineBytes - used));
            if (c.bits < 8 && c.width * c.bits % 8)
                for (int y = 0; y < c.height; ++y) {
                    std::uint8_t& last = DibRowFromTop(pic.dib, y)[c.width * c.bits / 8];
                    last |= std::uint8_t(0xFF >> (c.width * c.bits % 8));
                }
            std::array<bool, 256> expected{};
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x)
                    expected[getpixel(pic.dib, x, y)] = true;
            EXPECT_EQ(UsedPaletteIndices(pic.dib), expected)
                << c.bits << " bits, " << c.width << " x " << c.height << ", bands of " << rows;
        }
}

namespace {

// A PNM file as EncodePnm writes it into a file in memory, through an
// OutputFile that seeks, or one that writes strictly in order as into a pipe.
std::string EncodedPnm(const TDibRecord& dib, const char* extension, bool seekable)
{
    const int fd = ::memfd_create("pnm", MFD_CLOEXEC);
    EXPECT_GE(fd, 0);
    {
        OutputFile out(fd, seekable);
        std::string reason;
        EXPECT_TRUE(EncodePnm(dib, EncodeOptions{90, nullptr, extension}, out, reason));
        EXPECT_TRUE(out.Flush());
    }
    std::string file(std::size_t(::lseek(fd, 0, SEEK_END)), '\0');
    EXPECT_EQ(::pread(fd, file.data(), file.size(), 0), ssize_t(file.size()));
    ::close(fd);
    return file;
}

} // namespace

// Writing in bands (positioned, on all cores), strictly in order and in one
// band give the same file; reading it in bands gives the picture back.
TEST(RowBands, NetpbmFilesAreTheSameWrittenAndReadInBands)
{
    for (const int bits : {1, 4, 8, 24})
        for (const char* extension : {".pnm", ".pbm", ".pgm", ".ppm"})
            for (const PictureSize& size : OddSizes()) {
                DibGuard src(NoisePicture(size.width, size.height, bits));
                std::string plain;
                for (const int rows : BandHeights()) {
                    ForcedBands bands(rows);
                    const std::string file = EncodedPnm(src.dib, extension, true);
                    if (rows == INT_MAX)
                        plain = file;
                    EXPECT_TRUE(file == plain)
                        << bits << " bits to " << extension << ", bands of " << rows;
                    EXPECT_TRUE(EncodedPnm(src.dib, extension, false) == plain) << "in order";
                    TDibRecord back;
                    ASSERT_TRUE(DecodePnm(reinterpret_cast<const std::uint8_t*>(file.data()),
                                          file.size(), &back));
                    DibGuard read(back);
                    if (std::string(extension) == ".ppm") {
                        EXPECT_EQ(DibRgb(read.dib), DibRgb(src.dib));
                    } else if (std::string(extension) == ".pbm") {
                        // white where the colour's luma reaches the middle
                        const Bytes rgb = DibRgb(src.dib);
                        for (std::size_t i = 0; i < rgb.size(); i += 3) {
                            const int x = int(i / 3) % size.width, y = int(i / 3) / size.width;
                            const unsigned luma =
                                (299 * rgb[i] + 587 * rgb[i + 1] + 114 * rgb[i + 2] + 500) / 1000;
                            ASSERT_EQ(getpixel(read.dib, x, y), luma >= 128 ? 1u : 0u)
                                << bits << " bits at " << x << ", " << y;
                        }
                    }
                }
            }
}

// Samples of fewer than 8 bits are scaled band by band; one out of range in
// the last band still refuses the file.
TEST(RowBands, ScaledNetpbmSamplesReadTheSameInBands)
{
    std::string file = "P5\n5 40\n100\n";
    for (int i = 0; i < 5 * 40; ++i)
        file += char(i % 101);
    std::string plain;
    for (const int rows : BandHeights()) {
        ForcedBands bands(rows);
        TDibRecord d;
        ASSERT_TRUE(DecodePnm(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), &d));
        DibGuard read(d);
        if (rows == INT_MAX)
            plain = DibBytes(d);
        EXPECT_TRUE(DibBytes(d) == plain) << "bands of " << rows;
        std::string broken = file;
        broken.back() = char(101);
        TDibRecord refused;
        EXPECT_FALSE(DecodePnm(reinterpret_cast<const std::uint8_t*>(broken.data()), broken.size(),
                               &refused));
        EXPECT_EQ(refused.Bits, nullptr);
    }
}
