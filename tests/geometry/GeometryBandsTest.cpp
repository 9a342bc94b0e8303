// The crop page's operations worked in row bands on all cores give the bytes
// and the progress of one plain pass.
#include "BandSupport.h"

#include "geometry/Crop.h"
#include "geometry/Mirror.h"
#include "geometry/Resize.h"
#include "geometry/Rotate.h"

namespace {

using Geometry = void (*)(const TDibRecord&, TDibRecord&, ProgressSink&);

PictureOp Fixed(Geometry g)
{
    return [g](const TDibRecord& src, ProgressSink& p) {
        TDibRecord out;
        g(src, out, p);
        return out;
    };
}

PictureOp Free(bool right, long double degrees)
{
    return [=](const TDibRecord& src, ProgressSink& p) {
        TDibRecord out;
        DibRotxxx(src, right, degrees, RGB(200, 30, 7), out, p);
        return out;
    };
}

// New sizes as fractions of the old, so that every picture grows or shrinks.
PictureOp Resized(int widthPercent, int heightPercent, bool interpolate)
{
    return [=](const TDibRecord& src, ProgressSink& p) {
        TDibRecord out;
        DIBResize(src, std::max(1, DibWidth(src) * widthPercent / 100),
                  std::max(1, DibHeight(src) * heightPercent / 100), interpolate, out, p);
        return out;
    };
}

// The inner part, a pixel off every edge where the picture has one to spare.
PictureOp Cropped()
{
    return [](const TDibRecord& src, ProgressSink& p) {
        const int w = DibWidth(src), h = DibHeight(src);
        const RECT r{w > 2 ? 1 : 0, h > 2 ? 1 : 0, w > 2 ? w - 1 : w, h > 2 ? h - 1 : h};
        TDibRecord out;
        CropDib(src, r, out, p);
        return out;
    };
}

const std::vector<int> kAllDepths = {1, 4, 8, 24};

} // namespace

TEST(GeometryBands, ManyBandsGiveTheBytesOfOne)
{
    const struct {
        const char* name;
        PictureOp pass;
    } cases[] = {
        {"MirrorH", Fixed(MirrorH)},
        {"MirrorV", Fixed(MirrorV)},
        {"RotLeft", Fixed(RotLeft)},
        {"RotRight", Fixed(RotRight)},
        {"Rot180", Fixed(Rot180)},
        {"crop", Cropped()},
        {"free 10 right", Free(true, 10)},
        {"free 123.45 left", Free(false, 123.45L)},
        {"grow 2.3 x 1.7 interpolated", Resized(230, 170, true)},
        {"grow without interpolation", Resized(230, 170, false)},
        {"shrink", Resized(60, 45, true)},
        {"wider but lower", Resized(150, 80, true)},
    };
    for (const auto& c : cases)
        ExpectSameInEveryBanding(c.name, c.pass, kAllDepths);
}
