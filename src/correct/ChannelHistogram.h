// How many pixels of a picture have each level of brightness, red, green and
// blue, and the small chart of them that the optimize page shows.
#pragma once

#include "gdi/DeviceContext.h"
#include "imagora/DibRecord.h"

#include <array>
#include <cstdint>

enum HistogramChannel { kBrightness, kRed, kGreen, kBlue, kHistogramChannels };

struct ChannelHistogram {
    // Counts[channel][level]; brightness is (30 r + 59 g + 11 b) div 100, as
    // the corrections weigh the channels.
    std::array<std::array<std::uint32_t, 256>, kHistogramChannels> Counts{};
    std::uint32_t Pixels = 0;
};

// The counts over every pixel of a picture of 1, 4, 8 or 24 bits, in one
// pass; palette pictures count their entries' colours. Any other picture
// counts nothing.
ChannelHistogram CountChannels(const TDibRecord& dib);

// Draws the chart into the box at (x, y) of width x height, all in device
// pixels: levels 0..255 from left to right, counts upwards. Each channel
// fills its own colour up to its count, brightness a grey beneath them, on a
// dark ground; where the channels overlap their colours add, so a neutral
// picture shows white. The counts are scaled to the highest one short of the
// two ends, so that a heap of clipped pixels shows as a full column at the
// end instead of flattening the rest.
void DrawHistogram(HDC dc, int x, int y, int width, int height, const ChannelHistogram& histogram);
