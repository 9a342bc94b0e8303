// The print layout's rules as the dialog and the printout use them, and the
// result page's splitter rule.
#include "io/PrintLayout.h"
#include "io/SplitRule.h"

#include <gtest/gtest.h>

namespace {

PrintOptions Full(bool aspect, bool centred)
{
    PrintOptions o;
    o.keepAspect = aspect;
    o.centred = centred;
    return o;
}

PrintOptions Custom(int w, int h, bool centred = true)
{
    PrintOptions o;
    o.useFull = false;
    o.widthPercent = w;
    o.heightPercent = h;
    o.centred = centred;
    return o;
}

struct PlaceRow {
    const char* what;
    int pageW, pageH, imageW, imageH;
    PrintOptions options;
    PlacedRect expected;
};

TEST(PrintLayout, PicturesLandWhereTheRuleSays)
{
    const PlaceRow rows[] = {
        {"linked percentages of a 1600 x 1200 photo",
         4800,
         6800,
         1600,
         1200,
         Custom(50, 26),
         {1200, 2516, 2400, 1768}},
        {"custom at the top left",
         4800,
         6800,
         1600,
         1200,
         Custom(50, 26, false),
         {0, 0, 2400, 1768}},
        {"custom rounds halves to even",
         4801,
         6800,
         100,
         100,
         Custom(50, 50, false),
         {0, 0, 2400, 3400}},
        {"wide photo, full page, aspect: full width, centred vertically",
         4800,
         6800,
         1600,
         1200,
         Full(true, true),
         {0, 1600, 4800, 3600}},
        {"wide photo at the top", 4800, 6800, 1600, 1200, Full(true, false), {0, 0, 4800, 3600}},
        {"tall photo, full page, aspect: full height, centred across",
         4800,
         6800,
         1000,
         3000,
         Full(true, true),
         {1267, 0, 2266, 6800}},
        {"full page without aspect stretches",
         4800,
         6800,
         1600,
         1200,
         Full(false, true),
         {0, 0, 4800, 6800}},
        {"landscape page, portrait photo",
         7016,
         4961,
         3000,
         4000,
         Full(true, true),
         {1648, 0, 3720, 4961}},
        {"a picture of no size prints nothing", 4800, 6800, 0, 10, Full(true, true), {0, 0, 0, 0}},
    };
    for (const PlaceRow& r : rows)
        EXPECT_EQ(PlaceOnPage(r.pageW, r.pageH, r.imageW, r.imageH, r.options), r.expected)
            << r.what;
}

TEST(PrintLayout, LinkedPercentagesKeepTheProportions)
{
    EXPECT_EQ(LinkedHeightPercent(50, 1600, 1200, 4800, 6800), 26) << "Trunc(26.47)";
    EXPECT_EQ(LinkedWidthPercent(26, 1600, 1200, 4800, 6800), 49) << "Trunc(49.1)";
    EXPECT_EQ(LinkedHeightPercent(100, 500, 4000, 4800, 6800), 564)
        << "unbounded: the spin edit limits it";
    EXPECT_EQ(LinkedHeightPercent(1, 6000, 10, 2480, 3508), 0) << "the spin edit raises it to 1";
    EXPECT_EQ(LinkedWidthPercent(100, 1, 20000000, 3508, 2480), 0);
}

TEST(PrintLayout, PreviewPageFollowsThePrinterOrientation)
{
    EXPECT_EQ(PreviewPage(190, 190, 4961, 7016), (PlacedRect{28, 0, 134, 190})) << "portrait";
    EXPECT_EQ(PreviewPage(190, 190, 7016, 4961), (PlacedRect{0, 28, 190, 134})) << "landscape";
    EXPECT_EQ(PreviewPage(190, 190, 3000, 3000), (PlacedRect{0, 0, 190, 190})) << "square";
    EXPECT_EQ(PreviewPage(190, 190, 0, 0), (PlacedRect{0, 0, 0, 0})) << "no page";
}

TEST(PrintLayout, EffectiveResolutionIsTheLowerDirection)
{
    EXPECT_EQ(EffectivePrintDpi(1600, 1200, 2400, 1768, 600, 600), 400);
    EXPECT_EQ(EffectivePrintDpi(1600, 1200, 4800, 3600, 600, 600), 200);
    EXPECT_EQ(EffectivePrintDpi(1600, 1200, 4800, 6800, 600, 600), 106) << "stretched: height";
    EXPECT_EQ(EffectivePrintDpi(1600, 1200, 0, 0, 600, 600), 0);
}

TEST(SplitRule, ThePaneShareStaysWithinTenToNinety)
{
    EXPECT_EQ(SplitPercentOf(205, 410), 50);
    EXPECT_EQ(SplitPercentOf(137, 410), 33) << "truncating";
    EXPECT_EQ(SplitPercentOf(3, 410), 10);
    EXPECT_EQ(SplitPercentOf(410, 410), 90);
    EXPECT_EQ(SplitPercentOf(5, 0), 50) << "a panel not laid out yet";
    EXPECT_EQ(SplitPaneWidth(413, 33), 136);
}

} // namespace
