// The variations grid: cell and preview geometry, the hit test, and the nine
// previews drawn onto a device context.
#include "PictureSupport.h"

#include "correct/CorrectionModes.h"
#include "correct/VariationGrid.h"
#include "gdi/RasterDC.h"
#include "geometry/Resize.h"

#include <algorithm>
#include <functional>

namespace {

TEST(VariationGeometry, DesignSizeBoxWithLandscapeAndPortraitPictures)
{
    EXPECT_EQ(VariationGridGeometry(401, 329, 320, 240), (VariationGeometry{133, 109, 129, 96}));
    EXPECT_EQ(VariationGridGeometry(401, 329, 240, 320), (VariationGeometry{133, 109, 78, 105}));
    // A picture of the box's own aspect fills the unfitted box.
    EXPECT_EQ(VariationGridGeometry(401, 329, 1290, 1050), (VariationGeometry{133, 109, 129, 105}));
}

TEST(VariationGeometry, ExtremeAspectsAndEmptyPictures)
{
    EXPECT_EQ(VariationGridGeometry(401, 329, 100000, 10), (VariationGeometry{133, 109, 129, 0}));
    EXPECT_EQ(VariationGridGeometry(401, 329, 1, 300000000), (VariationGeometry{133, 109, 0, 105}));
    EXPECT_EQ(VariationGridGeometry(401, 329, 0, 0), (VariationGeometry{133, 109, 0, 0}));
    const VariationGeometry tiny = VariationGridGeometry(14, 14, 320, 240);
    EXPECT_LE(tiny.PreviewWidth, 0);
}

TEST(VariationGeometry, StepsRunInReadingOrder)
{
    EXPECT_EQ(VariationStep(0, 0), -4);
    EXPECT_EQ(VariationStep(2, 0), -2);
    EXPECT_EQ(VariationStep(0, 1), -1);
    EXPECT_EQ(VariationStep(1, 1), 0);
    EXPECT_EQ(VariationStep(2, 2), 4);
}

TEST(VariationHitTest, EveryBoundaryOfTheDesignSizeBox)
{
    // Coordinate -> column (or row); -1 where it falls between cells.
    const std::pair<int, int> columns[] = {
        {0, -1},   {1, -1},   {2, 0},   {129, 0}, {130, -1}, {134, -1}, {135, 1},  {262, 1},
        {263, -1}, {267, -1}, {268, 2}, {395, 2}, {396, -1}, {400, -1}, {401, -1}, {-5, -1}};
    const std::pair<int, int> rows[] = {{1, -1},  {2, 0},    {105, 0},  {106, -1}, {110, -1},
                                        {111, 1}, {214, 1},  {215, -1}, {219, -1}, {220, 2},
                                        {323, 2}, {324, -1}, {328, -1}, {-1, -1}};
    for (const auto& [x, c] : columns) {
        for (const auto& [y, r] : rows) {
            const int expected = c < 0 || r < 0 ? kNoVariation : 3 * r + c - 4;
            EXPECT_EQ(HitTestVariation(401, 329, x, y), expected) << x << ", " << y;
        }
    }
}

TEST(VariationHitTest, BoxesTooSmallForCellsHitNothing)
{
    for (int size : {0, 12, 14, 15})
        for (int p = -2; p < 20; ++p)
            EXPECT_EQ(HitTestVariation(size, size, p, p), kNoVariation) << size << " at " << p;
    // 18 / 3 = 6: boxes of 2, clickable over one pixel each.
    EXPECT_EQ(HitTestVariation(18, 18, 2, 2), -4);
    EXPECT_EQ(HitTestVariation(18, 18, 3, 2), kNoVariation);
    EXPECT_EQ(HitTestVariation(18, 18, 14, 14), 4);
}

constexpr std::uint32_t kWorkspace = 0x00ABCDEF;

class VariationGridPaint : public LeakCheckedTest {
protected:
    VariationGridPaint() : dc(401, 329)
    {
        for (int y = 0; y < dc.Height(); ++y)
            std::fill(dc.Row(y), dc.Row(y) + dc.Width(), kWorkspace);
    }

    // Every pixel of the raster: preview colour inside the nine previews,
    // untouched workspace elsewhere.
    void ExpectGrid(int pw, int ph, const std::function<Rgb(int step)>& colourOf)
    {
        int wrong = 0;
        for (int y = 0; y < dc.Height(); ++y) {
            for (int x = 0; x < dc.Width(); ++x) {
                std::uint32_t want = kWorkspace;
                for (int c = 0; c < 3; ++c)
                    for (int r = 0; r < 3; ++r)
                        if (x >= c * 133 + 2 && x < c * 133 + 2 + pw && y >= r * 109 + 2 &&
                            y < r * 109 + 2 + ph)
                            want = RasterFromColor(ToColorRef(colourOf(VariationStep(c, r))));
                if (dc.Row(y)[x] != want && ++wrong <= 5)
                    ADD_FAILURE() << "pixel " << x << ", " << y << ": " << std::hex << dc.Row(y)[x]
                                  << " instead of " << want;
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    RasterDC dc;
    RecordingProgress progress;
};

TEST_F(VariationGridPaint, NinePreviewsAtTheirCellOriginsAndNothingElse)
{
    DibGuard work(MakeDib(320, 240, 24, [](int, int) { return RGB(200, 100, 50); }));
    PaintVariationGrid(&dc, 401, 329, work.dib, kModeHelligkeit, 8, progress);
    ExpectGrid(129, 96, [](int s) {
        const int k = 8 * s;
        return Rgb{std::clamp(200 + k, 0, 255), std::clamp(100 + k, 0, 255),
                   std::clamp(50 + k, 0, 255)};
    });
}

TEST_F(VariationGridPaint, PortraitPicturesGiveNarrowPreviews)
{
    DibGuard work(MakeDib(240, 320, 24, [](int, int) { return RGB(10, 120, 240); }));
    PaintVariationGrid(&dc, 401, 329, work.dib, kModeBlau, 25, progress);
    ExpectGrid(78, 105, [](int s) {
        return Rgb{10, 120, std::min(240 * (100 + 25 * s) / 100, 255)};
    });
}

TEST_F(VariationGridPaint, ClippedCellsAreMarkedAndEveryCellHasItsHistogram)
{
    DibGuard work(MakeDib(320, 240, 24, [](int, int) { return RGB(200, 100, 50); }));
    const VariationHistograms h =
        PaintVariationGrid(&dc, 401, 329, work.dib, kModeHelligkeit, 25, progress, true);
    // k = 25 s: from +75 red reaches 255, from -50 blue reaches 0
    ExpectGrid(129, 96, [](int s) {
        if (s >= 3)
            return Rgb{255, 0, 0};
        if (s <= -2)
            return Rgb{0, 0, 255};
        return Rgb{200 + 25 * s, 100 + 25 * s, 50 + 25 * s};
    });
    constexpr std::uint32_t kPreviewPixels = 129 * 96;
    EXPECT_EQ(h.Current.Counts[kRed][200], kPreviewPixels);
    EXPECT_EQ(h.Cells[2][2].Counts[kRed][255], kPreviewPixels) << "counted before marking";
    EXPECT_EQ(h.Cells[0][0].Counts[kGreen][0], kPreviewPixels);
    EXPECT_EQ(h.Cells[2][0].Counts[kBlue][0], kPreviewPixels) << "step -2";
}

TEST_F(VariationGridPaint, EnlargedPreviewsAreInterpolated)
{
    // Smaller than the preview box: every preview is enlarged bilinearly,
    // 255 coming out 253; the gamma centre keeps that colour.
    DibGuard work(MakeDib(40, 30, 24, [](int, int) { return RGB(255, 255, 255); }));
    PaintVariationGrid(&dc, 401, 329, work.dib, kModeGamma, 8, progress);
    const auto& rgb = [&](int x, int y) { return ColorFromRaster(dc.Row(y)[x]); };
    EXPECT_EQ(rgb(135 + 60, 111 + 40), RGB(253, 253, 253));
    EXPECT_EQ(rgb(2, 2), RGB(252, 252, 252)) << "exponent 0.712 darkens 253 by one";
}

TEST_F(VariationGridPaint, EachCopyAndEachOperatorCallReportsOneRun)
{
    DibGuard work(MakeDib(320, 240, 24, [](int, int) { return RGB(1, 2, 3); }));
    const auto runs = [&] {
        int n = 0;
        for (std::size_t i = 1; i < progress.values.size(); ++i)
            n += progress.values[i - 1] == 100 && progress.values[i] == 0;
        return n;
    };
    PaintVariationGrid(&dc, 401, 329, work.dib, kModeKontrast, 8, progress);
    EXPECT_EQ(runs(), 18);
    EXPECT_EQ(progress.values.size(), 18u * (96 + 2));
    progress.values.clear();
    PaintVariationGrid(&dc, 401, 329, work.dib, kModeGamma, 8, progress);
    EXPECT_EQ(runs(), 17) << "the gamma centre makes no call";
}

TEST_F(VariationGridPaint, NothingIsDrawnOrAllocatedWithoutRoomOrPicture)
{
    DibGuard work(MakeDib(320, 240, 24, [](int, int) { return RGB(9, 9, 9); }));
    PaintVariationGrid(&dc, 14, 14, work.dib, kModeHelligkeit, 8, progress);
    PaintVariationGrid(&dc, 401, 329, TDibRecord{}, kModeHelligkeit, 8, progress);
    DibGuard line(MakeDib(100000, 1, 8, [](int, int) { return 0u; }));
    PaintVariationGrid(&dc, 401, 329, line.dib, kModeHelligkeit, 8, progress);
    EXPECT_TRUE(progress.values.empty());
    ExpectGrid(0, 0, [](int) { return Rgb{}; });
}

TEST_F(VariationGridPaint, AFailedCopyLeavesItsCellsEmpty)
{
    DibGuard work(MakeDib(320, 240, 24, [](int, int) { return RGB(9, 9, 9); }));
    AllocationLimit limit(1000); // less than one preview
    PaintVariationGrid(&dc, 401, 329, work.dib, kModeHelligkeit, 8, progress);
    ExpectGrid(0, 0, [](int) { return Rgb{}; });
}

TEST_F(VariationGridPaint, OnATwiceAsDenseScreenThePreviewsHaveItsResolution)
{
    RasterDC hidpi(802, 658);
    for (int y = 0; y < hidpi.Height(); ++y)
        std::fill(hidpi.Row(y), hidpi.Row(y) + hidpi.Width(), kWorkspace);
    hidpi.SetResolution(192, 192);
    // detail finer than a 129 x 96 preview can hold
    DibGuard work(MakeDib(320, 240, 24, [](int x, int y) {
        return RGB(std::uint8_t(x * 7), std::uint8_t(y * 5), std::uint8_t((x ^ y) * 3));
    }));
    PaintVariationGrid(&hidpi, 401, 329, work.dib, kModeHelligkeit, 8, progress);
    // The centre cell (step 0) is the picture made at 258 x 192 and copied 1:1
    // to twice its logical place (135 + 2, 109 + 2).
    DibGuard sharp;
    NullProgress quiet;
    DIBResize(work.dib, 258, 192, true, sharp.dib, quiet);
    int wrong = 0;
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 258; ++x)
            wrong += hidpi.Pixel(270 + x, 222 + y) != getpixel(sharp.dib, x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(hidpi.Row(222)[269], kWorkspace);
    EXPECT_EQ(hidpi.Row(222)[270 + 258], kWorkspace);
    EXPECT_EQ(hidpi.Row(222 + 192)[270], kWorkspace);
    EXPECT_NE(hidpi.Row(4)[4], kWorkspace) << "the top-left preview starts at 2 x 2";
}

} // namespace
