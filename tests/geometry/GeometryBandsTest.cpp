// The crop page's operations in row bands give the bytes of one plain pass.
#include "BandSupport.h"

#include "geometry/Crop.h"
#include "geometry/Mirror.h"
#include "geometry/Resize.h"
#include "geometry/Rotate.h"

TEST(GeometryBands, ManyBandsGiveTheBytesOfOne)
{
    using Op = void (*)(const TDibRecord&, TDibRecord&, ProgressSink&);
    for (const auto& [name, op] : {std::pair<const char*, Op>{"MirrorH", OnCopy<MirrorH>},
                                   {"MirrorV", OnCopy<MirrorV>},
                                   {"RotLeft", RotLeft},
                                   {"RotRight", RotRight},
                                   {"Rot180", Rot180},
                                   {"Rot180InPlace", OnCopy<Rot180InPlace>}})
        ExpectSameInEveryBanding(name,
                                 [op = op](const TDibRecord& src, ProgressSink& p) {
                                     TDibRecord out;
                                     op(src, out, p);
                                     return out;
                                 },
                                 {1, 4, 8, 24});
    // free angles either way; growing, shrinking and mixed resizes; a crop
    // a pixel off every edge that has one to spare
    const struct {
        const char* name;
        std::function<void(const TDibRecord&, int w, int h, TDibRecord&, ProgressSink&)> op;
    } sized[] = {
        {"free 10 right", [](auto& s, int, int, auto& d,
                             auto& p) { DibRotxxx(s, true, 10, RGB(200, 30, 7), d, p); }},
        {"free 123.45 left", [](auto& s, int, int, auto& d,
                                auto& p) { DibRotxxx(s, false, 123.45L, RGB(200, 30, 7), d, p); }},
        {"grow", [](auto& s, int w, int h, auto& d,
                    auto& p) { DIBResize(s, w * 23 / 10, h * 17 / 10, true, d, p); }},
        {"grow plain", [](auto& s, int w, int h, auto& d,
                          auto& p) { DIBResize(s, w * 23 / 10, h * 17 / 10, false, d, p); }},
        {"shrink", [](auto& s, int w, int h, auto& d,
                      auto& p) { DIBResize(s, (w + 1) / 2, (h + 2) / 3, true, d, p); }},
        {"wider, lower", [](auto& s, int w, int h, auto& d,
                            auto& p) { DIBResize(s, w * 3 / 2, (h + 1) / 2, true, d, p); }},
        {"crop",
         [](auto& s, int w, int h, auto& d, auto& p) {
             CropDib(s, RECT{w > 2, h > 2, w - (w > 2), h - (h > 2)}, d, p);
         }},
    };
    for (const auto& c : sized)
        ExpectSameInEveryBanding(c.name,
                                 [&](const TDibRecord& src, ProgressSink& p) {
                                     TDibRecord out;
                                     c.op(src, DibWidth(src), DibHeight(src), out, p);
                                     return out;
                                 },
                                 {1, 4, 8, 24});
}
