// A photo laid askew on a scanner is found, levelled and cut out by the
// steps the finder gives, on white and grey lids, whatever it shows.
#include "steps/StepTable.h"
#include "steps/StepText.h"

#include "PictureSupport.h"
#include "SyntheticScan.h"

#include <cmath>

namespace {

class FindPhotoTest : public LeakCheckedTest {};

// Runs the steps on picture; a turn fills with fill instead of the step's own.
void RunAll(std::vector<Step> steps, TDibRecord& picture, std::optional<COLORREF> fill = {})
{
    NullProgress quiet;
    for (Step& step : steps) {
        if (fill && step.Kind == StepKind::Rotate)
            step.Values[rotate_param::Background] = int(*fill);
        const StepResult result = RunStep(step, picture, quiet);
        ASSERT_TRUE(result.Error.empty()) << FormatStep(step) << ": " << result.Error;
        if (StepInPlace(step))
            continue;
        deldib(picture);
        picture = result.Picture;
    }
}

TEST_F(FindPhotoTest, TheStepsGiveThePhotoWithNoLidAlongItsBorder)
{
    const ScanSpec cases[] = {
        {.photoWidth = 600, .photoHeight = 400, .degrees = 0},
        {.photoWidth = 600, .photoHeight = 400, .degrees = 3.3},
        {.photoWidth = 900, .photoHeight = 650, .degrees = -10, .lid = 210},
        {.photoWidth = 350, .photoHeight = 500, .degrees = 10, .content = PhotoContent::Dark},
        {.photoWidth = 700, .photoHeight = 500, .degrees = -0.5,
         .content = PhotoContent::NearlyWhite},
        {.photoWidth = 500, .photoHeight = 700, .degrees = 7.25,
         .content = PhotoContent::NearlyWhite, .lid = 210},
        {.photoWidth = 800, .photoHeight = 550, .degrees = 0.03, .content = PhotoContent::Dark,
         .lid = 210},
    };
    for (const ScanSpec& spec : cases) {
        SCOPED_TRACE(testing::Message() << spec.photoWidth << " x " << spec.photoHeight << " at "
                                        << spec.degrees << " degrees on " << int(spec.lid));
        DibGuard scan, where;
        MakeScan(spec, scan.dib, &where.dib);
        const FoundPhoto photo = FindPhoto(scan.dib);
        ASSERT_TRUE(photo.Found);
        const std::vector<Step> steps = StraightenSteps(photo);
        const bool turned = std::abs(spec.degrees) >= 0.05;
        ASSERT_EQ(steps.size(), turned ? 2u : 1u) << photo.Hundredths;
        if (turned) {
            EXPECT_EQ(photo.Right, spec.degrees < 0);
            EXPECT_NEAR(photo.Hundredths, std::abs(spec.degrees) * 100, 10);
        }
        RunAll(steps, scan.dib);
        EXPECT_NEAR(DibWidth(scan.dib), spec.photoWidth, spec.photoWidth / 100.0);
        EXPECT_NEAR(DibHeight(scan.dib), spec.photoHeight, spec.photoHeight / 100.0);
        // the same steps on the map of where the photo lies: its border is photo
        RunAll(steps, where.dib, 255);
        const int w = DibWidth(where.dib), h = DibHeight(where.dib);
        int lid = 0;
        for (int x = 0; x < w; ++x)
            lid += (getpixel(where.dib, x, 0) != 0) + (getpixel(where.dib, x, h - 1) != 0);
        for (int y = 1; y + 1 < h; ++y)
            lid += (getpixel(where.dib, 0, y) != 0) + (getpixel(where.dib, w - 1, y) != 0);
        EXPECT_LE(lid, (2 * (w + h) - 4) / 100);
    }
}

TEST_F(FindPhotoTest, NothingIsFoundOnABlankScanOrAPhotoWithoutLid)
{
    DibGuard blank;
    MakeScan({.photoWidth = 0, .photoHeight = 0}, blank.dib);
    EXPECT_FALSE(FindPhoto(blank.dib).Found);
    DibGuard full;
    MakeScan({.width = 900, .height = 700, .photoWidth = 1800, .photoHeight = 1400}, full.dib);
    EXPECT_FALSE(FindPhoto(full.dib).Found);
    EXPECT_FALSE(FindPhoto(TDibRecord{}).Found);
}

} // namespace
