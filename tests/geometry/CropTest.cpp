// The cut: which rectangles it takes, and the same region at every depth.
#include "BandSupport.h"

#include "geometry/Crop.h"

#include <array>
#include <vector>

namespace {

class Crop : public LeakCheckedTest {
protected:
    RecordingProgress progress;
};

TEST_F(Crop, OnlyRectanglesWithPixelsInsideThePictureFit)
{
    DibGuard pic(MakeDib(10, 8, 8, [](int, int) { return 0u; }));
    const struct {
        RECT r;
        CropCheck check;
    } cases[] = {
        {{0, 0, 10, 8}, CropCheck::Fits},    {{9, 7, 10, 8}, CropCheck::Fits},
        {{3, 3, 3, 5}, CropCheck::Empty},    {{3, 3, 5, 3}, CropCheck::Empty},
        {{5, 3, 2, 6}, CropCheck::Empty},    {{-1, 0, 4, 4}, CropCheck::Outside},
        {{0, 0, 11, 8}, CropCheck::Outside}, {{0, 0, 10, 9}, CropCheck::Outside},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckCropRect(c.r, pic.dib), c.check)
            << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
    EXPECT_EQ(CheckCropRect(RECT{0, 0, 1, 1}, TDibRecord{}), CropCheck::Outside);
}

TEST_F(Crop, EveryDepthCutsTheSameRegion)
{
    // Odd offsets and widths: the 1- and 4-bit cuts start inside a byte.
    const RECT r{3, 2, 12, 7};
    for (int bits : {1, 4, 8, 24}) {
        const std::uint32_t mask = bits == 24 ? 0xFFFFFFu : (1u << bits) - 1;
        const auto value = [mask](int x, int y) {
            return std::uint32_t(x * 31 + y * 17 + x * y) & mask;
        };
        DibGuard src(MakeDib(15, 9, bits, value));
        TDibRecord out;
        CropDib(src.dib, r, out, progress);
        DibGuard cut(out);
        ASSERT_EQ(DibWidth(cut.dib), 9);
        ASSERT_EQ(DibHeight(cut.dib), 5);
        ASSERT_EQ(DibBitCount(cut.dib), bits);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(getpixel(cut.dib, x, y), value(x + 3, y + 2)) << bits << " bits";
        if (bits <= 8) {
            EXPECT_EQ(PaletteColour(cut.dib, 1), PaletteColour(src.dib, 1));
        }
    }
    EXPECT_EQ(std::vector(progress.values.end() - 7, progress.values.end()),
              (std::vector{0, 0, 25, 50, 75, 100, 0}));
}

TEST_F(Crop, RectanglesThatDoNotFitAndFailedAllocationsCutNothing)
{
    DibGuard src(MakeDib(10, 8, 24, [](int, int) { return 5u; }));
    for (const RECT& r : {RECT{2, 2, 2, 6}, RECT{0, 0, 12, 8}, RECT{-2, 0, 4, 4}}) {
        TDibRecord out = src.dib;
        CropDib(src.dib, r, out, progress);
        EXPECT_EQ(out.Bits, nullptr);
    }
    AllocationLimit limit(16);
    TDibRecord out;
    CropDib(src.dib, RECT{0, 0, 10, 8}, out, progress);
    EXPECT_EQ(out.Bits, nullptr);
}

TEST_F(Crop, InPlaceGivesTheBytesAndProgressOfANewPicture)
{
    // the whole picture, a pixel off every edge that has one to spare, the
    // bottom right part, one pixel in the middle
    const auto rects = [](int w, int h) {
        return std::vector<RECT>{{0, 0, w, h},
                                 {w > 2, h > 2, w - (w > 2), h - (h > 2)},
                                 {w / 3, h / 2, w, h},
                                 {w / 2, h / 2, w / 2 + 1, h / 2 + 1}};
    };
    std::vector<std::array<int, 3>> pictures; // width, height, bits
    for (const int bits : {1, 4, 8, 16, 24, 32})
        for (const auto& [width, height] : kOddSizes)
            pictures.push_back({width, height, bits});
    pictures.push_back({1501, 1001, 24}); // a block of its own mapping
    for (const auto& [width, height, bits] : pictures)
        for (const RECT& r : rects(width, height)) {
            DibGuard src(NoisePicture(width, height, bits));
            FillPadding(src.dib, 0x5A);
            RecordingProgress made, moved;
            DibGuard expected;
            CropDib(src.dib, r, expected.dib, made);
            CropDibInPlace(src.dib, r, moved);
            EXPECT_TRUE(DibBytes(src.dib) == DibBytes(expected.dib))
                << bits << " bits, " << width << " x " << height << ", cut " << r.left << ","
                << r.top << "," << r.right << "," << r.bottom;
            EXPECT_EQ(moved.values, made.values);
        }
}

} // namespace
