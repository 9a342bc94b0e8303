#include "toolkit/DecimalText.h"
#include "toolkit/FieldRange.h"

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

TEST(DecimalText, FieldsWriteTheirLimitsWithACommaAndReadASign)
{
    EXPECT_EQ(OutOfRangeMessage("Die Breite", {1, 32767, 0}),
              "Die Breite muss zwischen 1 und 32767 liegen.");
    EXPECT_EQ(OutOfRangeMessage("Der Winkel", {0.01L, 359.99L, 2}),
              "Der Winkel muss zwischen 0,01 und 359,99 liegen.");
    const struct {
        const char* text;
        bool read;
        long double value;
    } rows[] = {{"-5", true, -5}, {" 12,5 ", true, 12.5L}, {"-0,01", true, -0.01L},
                {"0", true, 0},   {"--5", false, 0},       {"5-", false, 0},
                {"-", false, 0},  {"  ", false, 0},        {"1 2", false, 0}};
    for (const auto& r : rows) {
        long double v = 99;
        EXPECT_EQ(ReadFieldNumber(r.text, 2, v), r.read) << r.text;
        if (r.read) {
            EXPECT_EQ(v, r.value) << r.text;
        }
    }
    long double v = 0;
    EXPECT_FALSE(ReadFieldNumber("7,", 0, v)) << "a whole number without a separator";
}

} // namespace
