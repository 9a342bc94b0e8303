#include "correct/ChannelHistogram.h"

#include "correct/Corrections.h"
#include "depth/PixelRows.h"
#include "display/StretchDrawDib.h"
#include "imagora/Imagora.h"

#include <algorithm>

namespace {

constexpr int kGround = 40;     // the chart's dark ground
constexpr int kGreyLevel = 110; // brightness
constexpr int kChannelLevel = 230;

// The highest count of the levels a column spans.
std::uint32_t ColumnCount(const std::array<std::uint32_t, 256>& counts, int first, int end)
{
    return *std::max_element(counts.begin() + first, counts.begin() + end);
}

} // namespace

ChannelHistogram CountChannels(const TDibRecord& dib)
{
    ChannelHistogram h;
    const bool read = ForEachColour(dib, [&](int r, int g, int b) {
        ++h.Counts[kBrightness][std::size_t(Luminance(r, g, b))];
        ++h.Counts[kRed][std::size_t(r)];
        ++h.Counts[kGreen][std::size_t(g)];
        ++h.Counts[kBlue][std::size_t(b)];
    });
    if (read)
        h.Pixels = std::uint32_t(DibWidth(dib)) * std::uint32_t(DibHeight(dib));
    return h;
}

void DrawHistogram(HDC dc, int x, int y, int width, int height, const ChannelHistogram& histogram)
{
    if (width <= 0 || height <= 0)
        return;
    TDibRecord chart;
    newdib(&chart, width, height, 24, nullptr, 0);
    if (!chart.Bits)
        return;

    std::uint32_t scale = 0;
    for (const auto& counts : histogram.Counts)
        scale = std::max(scale, ColumnCount(counts, 1, 255));
    if (scale == 0) // everything at the ends
        for (const auto& counts : histogram.Counts)
            scale = std::max(scale, ColumnCount(counts, 0, 256));

    for (int column = 0; column < width; ++column) {
        const int first = column * 256 / width;
        const int end = std::max(first + 1, (column + 1) * 256 / width);
        // How many rows from the bottom each channel fills; any count at all
        // fills at least one.
        int filled[kHistogramChannels];
        for (int c = 0; c < kHistogramChannels; ++c) {
            const std::uint64_t n = ColumnCount(histogram.Counts[std::size_t(c)], first, end);
            filled[c] =
                scale == 0
                    ? 0
                    : int(std::min<std::uint64_t>((n * std::uint64_t(height) + scale - 1) / scale,
                                                  std::uint64_t(height)));
        }
        for (int up = 0; up < height; ++up) {
            const int base = up < filled[kBrightness] ? kGreyLevel : kGround;
            std::uint8_t* p = DibRowFromTop(chart, height - 1 - up) + 3 * column;
            p[0] = std::uint8_t(up < filled[kBlue] ? kChannelLevel : base);
            p[1] = std::uint8_t(up < filled[kGreen] ? kChannelLevel : base);
            p[2] = std::uint8_t(up < filled[kRed] ? kChannelLevel : base);
        }
    }
    StretchDrawDib(dc, x, y, width, height, chart, 0, 0, width, height, false, SRCCOPY, false,
                   nullptr);
    deldib(chart);
}
