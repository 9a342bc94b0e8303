#include "correct/ClipOverlay.h"

#include "depth/PixelRows.h"
#include "imagora/Imagora.h"

namespace {

template <typename Current, typename Variant>
void MarkRows(Current current, Variant variant, TDibRecord& marked)
{
    const int w = DibWidth(marked), h = DibHeight(marked);
    for (int y = 0; y < h; ++y) {
        current.Row(y);
        variant.Row(y);
        std::uint8_t* out = DibRowFromTop(marked, y);
        for (int x = 0; x < w; ++x, out += 3) {
            int r0, g0, b0, r, g, b;
            current.Colour(x, r0, g0, b0);
            variant.Colour(x, r, g, b);
            std::uint32_t mark = std::uint32_t(r | g << 8 | b << 16);
            if ((r == 255 && r0 != 255) || (g == 255 && g0 != 255) || (b == 255 && b0 != 255))
                mark = kClippedHighMark;
            else if ((r == 0 && r0 != 0) || (g == 0 && g0 != 0) || (b == 0 && b0 != 0))
                mark = kClippedLowMark;
            out[0] = std::uint8_t(mark >> 16);
            out[1] = std::uint8_t(mark >> 8);
            out[2] = std::uint8_t(mark);
        }
    }
}

bool Readable(const TDibRecord& dib)
{
    const int bits = DibBitCount(dib);
    return dib.Bits && (bits == 1 || bits == 4 || bits == 8 || bits == 24);
}

} // namespace

TDibRecord MarkClipping(const TDibRecord& current, const TDibRecord& variant)
{
    TDibRecord marked;
    const int w = DibWidth(variant), h = DibHeight(variant);
    if (!Readable(current) || !Readable(variant) || DibWidth(current) != w ||
        DibHeight(current) != h)
        return marked;
    newdib(&marked, w, h, 24, nullptr, 0);
    if (marked.Bits)
        WithPixelSource(current, [&](auto c) {
            WithPixelSource(variant, [&](auto v) { MarkRows(c, v, marked); });
        });
    return marked;
}
