#include "toolkit/DecimalText.h"

#include <gtest/gtest.h>

namespace {

TEST(DecimalText, ACommaOrAPointWithUpToTheDecimalsAllowed)
{
    const struct {
        const char* text;
        long double value;
    } good[] = {{"45", 45},          {"12,5", 12.5L}, {"12.5", 12.5L}, {"0,01", 0.01L},
                {"359.99", 359.99L}, {",5", 0.5L},    {"7.", 7}};
    for (const auto& g : good) {
        long double v = -1;
        EXPECT_TRUE(ParseDecimal(g.text, 2, v)) << g.text;
        EXPECT_EQ(v, g.value) << g.text;
    }
    for (const char* bad : {"", ",", "1,2,3", "1.2,3", "12,345", "-5", "+5", " 5", "5 ", "1e2",
                            "abc", "0x10", "4,5°"}) {
        long double v = 0;
        EXPECT_FALSE(ParseDecimal(bad, 2, v)) << bad;
    }
}

} // namespace
