// The colour-depth conversions in row bands give the bytes of one plain pass.
#include "BandSupport.h"

#include "depth/DepthDown.h"
#include "depth/DepthUp.h"

#include <cstdlib>

TEST(DepthBands, ManyBandsGiveTheBytesOfOne)
{
    using M = DepthMethod;
    const struct {
        int bits;
        DepthDownChoice choice;
        std::initializer_list<int> from;
    } reductions[] = {
        {1, {M::Nearest, false, false}, {4, 8, 24}}, {4, {M::Nearest, false, false}, {8, 24}},
        {4, {M::Nearest, true, false}, {8, 24}},     {8, {M::Ordered, false, false}, {24}},
        {8, {M::Nearest, true, false}, {24}},        {8, {M::FloydSteinberg, true, true}, {24}},
    };
    for (const auto& r : reductions)
        ExpectSameInEveryBanding(
            "to " + std::to_string(r.bits) + " bits by method " +
                std::to_string(int(r.choice.Method)),
            [&](const TDibRecord& src, ProgressSink& p) {
                return DepthDownTo(src, r.bits, r.choice, p);
            },
            r.from);
    for (const int bits : {8, 24})
        ExpectSameInEveryBanding("up to " + std::to_string(bits),
                                 [&](const TDibRecord& src, ProgressSink& p) {
                                     std::srand(5); // the random table entries alike in every run
                                     return DepthUpTo(src, bits, 7, p);
                                 },
                                 {1, 4, 8});
}
