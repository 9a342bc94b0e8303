// The colour-depth conversions worked in row bands on all cores give the
// bytes and the progress of one plain pass.
#include "BandSupport.h"

#include "depth/DepthDown.h"
#include "depth/DepthUp.h"

namespace {

PictureOp Down(int bits, DepthMethod method, bool optimized, bool windows = true)
{
    return [=](const TDibRecord& src, ProgressSink& p) {
        return DepthDownTo(src, bits, DepthDownChoice{method, optimized, windows}, p);
    };
}

PictureOp Up(int bits)
{
    return [=](const TDibRecord& src, ProgressSink& p) { return DepthUpTo(src, bits, p); };
}

} // namespace

TEST(DepthBands, ManyBandsGiveTheBytesOfOne)
{
    const struct {
        const char* name;
        PictureOp pass;
        std::vector<int> from;
    } cases[] = {
        {"threshold", Down(1, DepthMethod::Nearest, false), {4, 8, 24}},
        {"4 bits nearest, standard", Down(4, DepthMethod::Nearest, false), {8, 24}},
        {"4 bits nearest, optimized", Down(4, DepthMethod::Nearest, true), {8, 24}},
        {"8 bits ordered", Down(8, DepthMethod::Ordered, false), {24}},
        {"8 bits nearest, optimized", Down(8, DepthMethod::Nearest, true, false), {24}},
        {"8 bits Floyd-Steinberg", Down(8, DepthMethod::FloydSteinberg, true), {24}},
        {"to 8 bits", Up(8), {1, 4}},
        {"to 24 bits", Up(24), {1, 4, 8}},
    };
    for (const auto& c : cases) {
        // Raising draws random colours into the table: the same ones each run.
        ExpectSameInEveryBanding(
            c.name,
            [&](const TDibRecord& src, ProgressSink& p) {
                std::srand(5);
                return c.pass(src, p);
            },
            c.from);
    }
}
