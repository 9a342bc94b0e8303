// The corrections in row bands give the bytes of one plain pass.
#include "BandSupport.h"

#include "correct/Corrections.h"

#include <cstring>

TEST(CorrectionBands, ManyBandsGiveTheBytesOfOne)
{
    using Correction = std::function<void(TDibRecord&, ProgressSink&)>;
    const std::pair<const char*, Correction> cases[] = {
        {"Helligkeit", [](TDibRecord& d, ProgressSink& p) { Helligkeit(d, -37, p); }},
        {"Kontrast", [](TDibRecord& d, ProgressSink& p) { Kontrast(d, 173, p); }},
        {"Saettigung", [](TDibRecord& d, ProgressSink& p) { Saettigung(d, 45, p); }},
        {"Gamma", [](TDibRecord& d, ProgressSink& p) { Gamma(d, 0.6, p); }},
        {"HighMidShadow", [](TDibRecord& d, ProgressSink& p) { HighMidShadow(d, 230, 90, 20, p); }},
        {"RedGreenBlue", [](TDibRecord& d, ProgressSink& p) { RedGreenBlue(d, 40, -60, 5, p); }},
    };
    for (const auto& [name, correct] : cases)
        ExpectSameInEveryBanding(
            name,
            [&](const TDibRecord& src, ProgressSink& p) { // in place, on a copy
                TDibRecord copy;
                NewDibLike(&copy, src);
                std::memcpy(copy.Bits, src.Bits, src.Info->bmiHeader.biSizeImage);
                correct(copy, p);
                return copy;
            },
            {24});
}
