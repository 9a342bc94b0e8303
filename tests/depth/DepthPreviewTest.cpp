// The reduction previews: every part equals the reduction's result on that
// part, and the figures are those of the picture the reduction gives.
#include "BandSupport.h"
#include "TestSupport.h"

#include "depth/DepthPreview.h"
#include "depth/DepthPreviewRun.h"
#include "geometry/Crop.h"
#include "imagora/DibWriter.h"
#include "imagora/UsedColours.h"

#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <mutex>

namespace {

using M = DepthMethod;

// What a run reported by the time it had nothing left to do.
struct Reports {
    std::mutex m;
    std::condition_variable done;
    bool finished = false;
    std::vector<DepthPreviewEvent> events;

    DepthPreviewRun::Report Sink()
    {
        return [this](const DepthPreviewEvent& e) {
            std::lock_guard lock(m);
            if (e.What == DepthPreviewEvent::Finished)
                finished = true;
            events.push_back(e);
            done.notify_all();
        };
    }
    void Wait()
    {
        std::unique_lock lock(m);
        done.wait(lock, [&] { return finished; });
    }
    // The last part reported for choice i.
    const DepthPreviewEvent* Last(DepthPreviewEvent::Kind kind, int i) const
    {
        const DepthPreviewEvent* last = nullptr;
        for (const DepthPreviewEvent& e : events)
            if (e.What == kind && e.Index == i)
                last = &e;
        return last;
    }
};

class DepthPreview : public LeakCheckedTest {};

TEST_F(DepthPreview, EveryPartIsTheReductionOfTheWholePictureThere)
{
    const struct {
        int sourceBits, bits, x, y;
    } rows[] = {
        {24, 8, 150, 40}, // off the centre: the ordered pattern must line up
        {24, 4, 101, 78},
        {24, 1, 20, 150},
        {8, 4, 101, 78},
        {8, 1, 190, 5},
    };
    for (const auto& r : rows) {
        DibGuard picture(NoisePicture(203, 157, r.sourceBits));
        const std::vector<DepthDownChoice> choices = DepthChoicesFor(r.bits, true);
        const RECT region = PreviewRegion(picture.dib, r.x, r.y, 40, 30);
        Reports reports;
        {
            DepthPreviewRun run(CopyDib(picture.dib), r.bits, choices, region, reports.Sink());
            reports.Wait();
        }
        for (std::size_t i = 0; i < choices.size(); ++i) {
            SCOPED_TRACE(std::to_string(r.sourceBits) + " to " + std::to_string(r.bits) + " bits, " +
                         DepthMethodName(choices[i].Method) + ", " +
                         DepthPaletteName(r.bits, choices[i]));
            NullProgress quiet;
            DibGuard whole(DepthDownTo(picture.dib, r.bits, choices[i], quiet)), cut;
            CropDib(whole.dib, region, cut.dib, quiet);
            // the first part shown, whether made from the table alone or cut
            // from the whole
            const DepthPreviewEvent* part = nullptr;
            for (const DepthPreviewEvent& e : reports.events)
                if (!part && e.What == DepthPreviewEvent::Part && e.Index == int(i))
                    part = &e;
            ASSERT_TRUE(part);
            EXPECT_EQ(DibBytes(*part->Reduced), DibBytes(cut.dib));
            const DepthPreviewEvent* figures = reports.Last(DepthPreviewEvent::Figures, int(i));
            ASSERT_TRUE(figures);
            EXPECT_EQ(figures->Measured.Colours, ColoursInUse(whole.dib));
        }
    }
}

TEST_F(DepthPreview, AMovedPointIsServedFromWhatIsDone)
{
    DibGuard picture(NoisePicture(96, 64, 24));
    const std::vector<DepthDownChoice> choices = DepthChoicesFor(4, false);
    Reports reports;
    DepthPreviewRun run(CopyDib(picture.dib), 4, choices, PreviewRegion(picture.dib, 0, 0, 16, 16),
                        reports.Sink());
    reports.Wait();
    const RECT moved = PreviewRegion(picture.dib, 90, 60, 16, 16);
    {
        std::lock_guard lock(reports.m);
        reports.finished = false;
    }
    run.MoveRegion(moved);
    reports.Wait();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        NullProgress quiet;
        DibGuard whole(DepthDownTo(picture.dib, 4, choices[i], quiet)), cut;
        CropDib(whole.dib, moved, cut.dib, quiet);
        const DepthPreviewEvent* part = reports.Last(DepthPreviewEvent::Part, int(i));
        ASSERT_TRUE(part);
        EXPECT_EQ(part->Region.left, moved.left);
        EXPECT_EQ(DibBytes(*part->Reduced), DibBytes(cut.dib)) << i;
    }
}

TEST_F(DepthPreview, FiguresOfASmallPicture)
{
    // two greys thresholded to black and white: 100 off three times, 55 off
    // three times: mean square 6512.5
    DibGuard greys(MakeDib(2, 1, 24, [](int x, int) { return x ? 0xC8C8C8u : 0x646464u; }));
    // black and white come through unchanged
    DibGuard blackWhite(MakeDib(3, 2, 24, [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0u; }));
    const struct {
        const char* name;
        const TDibRecord& picture;
        int colours;
        double psnr;
    } rows[] = {
        {"two greys", greys.dib, 2, 9.9933},
        {"black and white", blackWhite.dib, 2, HUGE_VAL},
    };
    const std::string dir = MakeTempDir();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        NullProgress quiet;
        const std::vector<DepthReportRow> report = DepthReport(r.picture, 1, quiet);
        ASSERT_EQ(report.size(), 2u);
        const DepthFigures& f = report[0].Figures; // the threshold
        EXPECT_EQ(f.Colours, r.colours);
        if (std::isinf(r.psnr))
            EXPECT_TRUE(std::isinf(f.Psnr)) << f.Psnr;
        else
            EXPECT_NEAR(f.Psnr, r.psnr, 0.0001);
        DibGuard saved(DepthDownTo(r.picture, 1, report[0].Choice, quiet));
        const std::string path = dir + "/reduced.png";
        ASSERT_TRUE(WriteDibFile(saved.dib, path));
        EXPECT_EQ(f.PngBytes, std::filesystem::file_size(path));
    }
    std::filesystem::remove_all(dir);
    DibGuard deep(MakeDib(4, 4, 8, [](int x, int) { return std::uint32_t(x); }));
    NullProgress quiet;
    EXPECT_TRUE(DepthReport(deep.dib, 8, quiet).empty()) << "no reduction from 8 to 8 bits";
    PngByteCount count;
    EXPECT_GT(count.Of(deep.dib), 0u);
    count.BreakOff();
    EXPECT_EQ(count.Of(deep.dib), 0u) << "a count broken off fails";
}

TEST_F(DepthPreview, RegionsLieInThePictureOnTheDitherPattern)
{
    const struct {
        int w, h, cx, cy, rw, rh;
        RECT expected;
    } rows[] = {
        {203, 157, 101, 78, 40, 30, {80, 63, 120, 93}},
        {203, 157, 0, 0, 40, 30, {0, 7, 40, 37}},       // as near the top as the pattern allows
        {203, 157, 202, 156, 40, 30, {160, 127, 200, 157}},
        {30, 20, 15, 10, 120, 90, {0, 0, 30, 20}},      // a picture smaller than the part
    };
    for (const auto& r : rows) {
        DibGuard picture(MakeDib(r.w, r.h, 24, [](int, int) { return 0u; }));
        const RECT got = PreviewRegion(picture.dib, r.cx, r.cy, r.rw, r.rh);
        EXPECT_EQ((std::vector<long>{got.left, got.top, got.right, got.bottom}),
                  (std::vector<long>{r.expected.left, r.expected.top, r.expected.right,
                                     r.expected.bottom}))
            << r.cx << "," << r.cy;
    }
}

TEST_F(DepthPreview, ChoicesThatGiveTheSameReduction)
{
    const struct {
        int bits;
        DepthDownChoice a, b;
        bool same;
    } rows[] = {
        {1, {M::Nearest, true, true}, {M::Nearest, false, false}, true}, // no palette at 1 bit
        {1, {M::Ordered, true, true}, {M::FloydSteinberg, true, true}, true},
        {4, {M::Ordered, false, true}, {M::Nearest, false, true}, true},
        {8, {M::Ordered, true, true}, {M::Ordered, false, false}, true},
        {8, {M::Nearest, true, true}, {M::Nearest, false, true}, false},
        {8, {M::Nearest, true, true}, {M::FloydSteinberg, true, true}, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(SameReduction(r.bits, r.a, r.b), r.same)
            << r.bits << " bits, " << DepthMethodName(r.a.Method) << " and "
            << DepthMethodName(r.b.Method);
}

} // namespace
