// The histogram: its counts per channel, and the chart drawn from them.
#include "PictureSupport.h"

#include "correct/ChannelHistogram.h"
#include "gdi/RasterDC.h"

namespace {

TEST(ChannelHistogram, CountsBrightnessAndEachChannel)
{
    DibGuard picture(
        TrueColourRow({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {100, 100, 100}, {100, 100, 100}}));
    const ChannelHistogram h = CountChannels(picture.dib);
    EXPECT_EQ(h.Pixels, 5u);
    const struct {
        HistogramChannel channel;
        int level;
        std::uint32_t count;
    } bins[] = {
        {kBrightness, 76, 1},  {kBrightness, 150, 1}, {kBrightness, 28, 1}, // 0.30, 0.59, 0.11
        {kBrightness, 100, 2}, {kRed, 255, 1},        {kRed, 0, 2},         {kRed, 100, 2},
        {kGreen, 255, 1},      {kBlue, 255, 1},       {kBlue, 0, 2},
    };
    for (const auto& b : bins)
        EXPECT_EQ(h.Counts[b.channel][std::size_t(b.level)], b.count)
            << "channel " << b.channel << " level " << b.level;
}

TEST(ChannelHistogram, PalettePicturesCountTheirColoursAndOthersNothing)
{
    DibGuard palette(PalettePicture(4, {{10, 20, 30}, {40, 50, 60}}));
    const ChannelHistogram h = CountChannels(palette.dib);
    EXPECT_EQ(h.Pixels, 16u);
    EXPECT_EQ(h.Counts[kRed][10], 1u);
    EXPECT_EQ(h.Counts[kGreen][50], 1u);
    EXPECT_EQ(h.Counts[kBlue][0], 14u) << "the other entries are black";
    DibGuard wide(MakeDib(3, 1, 16, [](int, int) { return 0u; }));
    EXPECT_EQ(CountChannels(wide.dib).Pixels, 0u);
    EXPECT_EQ(CountChannels(TDibRecord{}).Pixels, 0u);
}

TEST(ChannelHistogram, TheChartFillsEachColumnToItsCount)
{
    // ten pixels of one colour set the scale; five dark ones reach half of
    // it; twenty white ones at the end would be twice the top
    std::vector<Rgb> colours(10, Rgb{128, 64, 200});
    colours.insert(colours.end(), 5, Rgb{20, 20, 20});
    colours.insert(colours.end(), 20, Rgb{255, 255, 255});
    DibGuard picture(TrueColourRow(colours));
    RasterDC dc(256 + 4, 40 + 4);
    DrawHistogram(&dc, 2, 2, 256, 40, CountChannels(picture.dib));
    const auto at = [&](int column, int up) {
        const COLORREF c = ColorFromRaster(dc.Row(2 + 39 - up)[2 + column]);
        return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
    };
    const struct {
        int column, up;
        Rgb colour;
    } samples[] = {
        {128, 39, {230, 40, 40}},   {64, 39, {40, 230, 40}},   {200, 39, {40, 40, 230}},
        {98, 39, {110, 110, 110}},  {20, 19, {230, 230, 230}}, {20, 20, {40, 40, 40}},
        {255, 39, {230, 230, 230}}, {0, 0, {40, 40, 40}},      {127, 0, {40, 40, 40}},
    };
    for (const auto& s : samples)
        EXPECT_EQ(at(s.column, s.up), s.colour) << "column " << s.column << ", row " << s.up;
    EXPECT_EQ(dc.Row(1)[2], 0u) << "nothing drawn beside the box";
}

} // namespace
