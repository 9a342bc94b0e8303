// Row bands: every row once, progress as a plain loop tells it, and the
// library's banded passes (orientations, PNM files, the colours in use)
// giving the bytes of one band.
#include "BandSupport.h"
#include "DecoderTestSupport.h"

#include "imagora/Decoders.h"
#include "imagora/DibEncoders.h"
#include "imagora/Orientation.h"
#include "imagora/UsedColours.h"

#include <array>
#include <atomic>
#include <stdexcept>

#include <sys/mman.h>
#include <unistd.h>

TEST(RowBands, EveryRowOnceInWholeGrainsWithProgressInOrder)
{
    const struct {
        int rows, grain, bandRows; // bandRows 0: the automatic choice
        std::size_t rowBytes;
    } cases[] = {{1, 1, 0, 100},       {100, 1, 3, 10},      {100, 32, 1, 10},
                 {4000, 64, 0, 18000}, {77, 1, INT_MAX, 10}, {300, 7, 2, 1 << 20}};
    for (const auto& c : cases) {
        ForcedBands bands(c.bandRows);
        std::vector<std::atomic<int>> worked(std::size_t(c.rows));
        std::atomic<bool> misaligned{false};
        RecordingProgress progress;
        ForEachRowBand(
            c.rows, c.rowBytes, &progress,
            [&](int first, int last) {
                misaligned = misaligned || first % c.grain != 0;
                for (int y = first; y < last; ++y)
                    ++worked[std::size_t(y)];
            },
            c.grain);
        std::vector<int> plain;
        for (int y = 0; y < c.rows; ++y) {
            ASSERT_EQ(worked[std::size_t(y)], 1) << "row " << y << " of " << c.rows;
            plain.push_back(StepPercent(y, c.rows));
        }
        EXPECT_FALSE(misaligned) << c.rows << " rows by " << c.grain;
        EXPECT_EQ(progress.values, plain) << c.rows << " rows";
    }
}

TEST(RowBands, AFailingBandReachesTheCallerAndThePoolWorksOn)
{
    ForcedBands bands(1);
    std::atomic<int> worked{0};
    const auto count = [&](int first, int last) {
        if (first >= 20)
            throw std::runtime_error("from row 20 on");
        worked += last - first;
    };
    EXPECT_THROW(ForEachRowBand(100, 10, nullptr, count), std::runtime_error);
    EXPECT_LE(worked, 20);
    worked = 0;
    ForEachRowBand(50, 10, nullptr, [&](int first, int last) {
        ForEachRowBand(4, 10, nullptr, count); // inside a band: on its own thread
        worked += last - first;
    });
    EXPECT_EQ(worked, 50 + 50 * 4);
}

TEST(RowBands, EveryOrientationGivesTheBytesOfOneBand)
{
    for (int o = kOrientAsStored; o <= kOrientTurnAnticlockwise; ++o)
        ExpectSameInEveryBanding("orientation " + std::to_string(o),
                                 [=](const TDibRecord& src, ProgressSink& p) {
                                     TDibRecord out;
                                     OrientDib(src, o, out, p);
                                     return out;
                                 },
                                 {1, 4, 8, 16, 24, 32});
}

// The shape-keeping orientations made within the picture give the bytes of a
// new picture, whatever the source's padding held.
TEST(RowBands, OrientationsInPlaceGiveTheBytesOfANewPicture)
{
    for (const int o : {kOrientMirrorLeftRight, kOrientHalfTurn, kOrientMirrorTopBottom})
        for (const int bits : {1, 4, 8, 16, 24, 32})
            for (const auto& [width, height] : kOddSizes) {
                DibGuard src(NoisePicture(width, height, bits));
                FillPadding(src.dib, 0xA5);
                NullProgress quiet;
                DibGuard made;
                OrientDib(src.dib, o, made.dib, quiet);
                for (const int rows : kBandHeights) {
                    ForcedBands bands(rows);
                    DibGuard moved(CopyOf(src.dib));
                    OrientDibInPlace(moved.dib, o, quiet);
                    EXPECT_TRUE(DibBytes(moved.dib) == DibBytes(made.dib))
                        << "orientation " << o << " at " << bits << " bits, " << width << " x "
                        << height << " in bands of " << rows;
                }
            }
}

// The spare bits and nibbles at the rows' ends hold values no pixel has.
TEST(RowBands, ColoursInUseCountPixelsNotPadding)
{
    const int cases[][4] = {// bits, width, height, pixel values 0 .. n - 1
                            {1, 13, 9, 1}, {1, 13, 9, 2}, {1, 70, 40, 2},   {4, 7, 5, 3},
                            {4, 1, 1, 1},  {8, 5, 3, 7},  {8, 301, 77, 256}};
    for (const auto& [bits, width, height, n] : cases)
        for (const int rows : kBandHeights) {
            ForcedBands bands(rows);
            DibGuard pic(MakeDib(width, height, bits, [n = n](int x, int y) {
                return std::uint32_t((x * 7 + y * 3) % n);
            }));
            FillPadding(pic.dib, 0xFF);
            std::array<bool, 256> expected{};
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    expected[getpixel(pic.dib, x, y)] = true;
            EXPECT_EQ(UsedPaletteIndices(pic.dib), expected) << bits << " bits, " << width;
        }
}

namespace {

// A PNM file written into memory through an OutputFile that seeks (bands
// written where they belong), or one that writes strictly in order.
std::string EncodedPnm(const TDibRecord& dib, const char* extension, bool seekable)
{
    const int fd = ::memfd_create("pnm", MFD_CLOEXEC);
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

TEST(RowBands, NetpbmFilesAreTheSameWrittenAndReadInBands)
{
    for (const int bits : {1, 4, 8, 24})
        for (const char* extension : {".pnm", ".pbm", ".pgm", ".ppm"})
            for (const auto& [width, height] : kOddSizes) {
                DibGuard src(NoisePicture(width, height, bits));
                const std::string plain = EncodedPnm(src.dib, extension, false);
                for (const int rows : kBandHeights) {
                    ForcedBands bands(rows);
                    const std::string file = EncodedPnm(src.dib, extension, true);
                    EXPECT_TRUE(file == plain) << bits << " bits to " << extension;
                    TDibRecord back;
                    ASSERT_TRUE(DecodePnm(reinterpret_cast<const std::uint8_t*>(file.data()),
                                          file.size(), &back));
                    DibGuard read(back);
                    const Bytes rgb = DibRgb(src.dib);
                    for (int i = 0; i < width * height; ++i) {
                        const int x = i % width, y = i / width;
                        const unsigned r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
                        const bool light = (299 * r + 587 * g + 114 * b + 500) / 1000 >= 128;
                        if (std::string(extension) == ".ppm") { // the colours themselves
                            ASSERT_EQ(PixelColour(read.dib, x, y), (Rgb{int(r), int(g), int(b)}));
                        } else if (std::string(extension) == ".pbm") { // white where light
                            ASSERT_EQ(getpixel(read.dib, x, y), light ? 1u : 0u) << bits;
                        }
                    }
                }
            }
}
