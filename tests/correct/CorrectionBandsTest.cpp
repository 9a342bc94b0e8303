// The corrections worked in row bands on all cores give the bytes and the
// progress of one plain pass.
#include "BandSupport.h"

#include "correct/Corrections.h"

TEST(CorrectionBands, ManyBandsGiveTheBytesOfOne)
{
    using Correction = std::function<void(TDibRecord&, ProgressSink&)>;
    const struct {
        const char* name;
        Correction run;
    } cases[] = {
        {"Helligkeit", [](TDibRecord& d, ProgressSink& p) { Helligkeit(d, -37, p); }},
        {"Kontrast", [](TDibRecord& d, ProgressSink& p) { Kontrast(d, 173, p); }},
        {"Saettigung", [](TDibRecord& d, ProgressSink& p) { Saettigung(d, 45, p); }},
        {"Gamma", [](TDibRecord& d, ProgressSink& p) { Gamma(d, 0.6, p); }},
        {"HighMidShadow", [](TDibRecord& d, ProgressSink& p) { HighMidShadow(d, 230, 90, 20, p); }},
        {"RedGreenBlue", [](TDibRecord& d, ProgressSink& p) { RedGreenBlue(d, 40, -60, 5, p); }},
    };
    for (const auto& c : cases) {
        // In place: the pass works on a copy, which becomes the result.
        ExpectSameInEveryBanding(c.name,
                                 [&](const TDibRecord& src, ProgressSink& p) {
                                     TDibRecord copy;
                                     NewDibLike(&copy, src);
                                     std::memcpy(copy.Bits, src.Bits,
                                                 src.Info->bmiHeader.biSizeImage);
                                     c.run(copy, p);
                                     return copy;
                                 },
                                 {24});
    }
}
