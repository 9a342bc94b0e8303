#include "imagora/SwapRedBlue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Every width up to a few word groups, at every start of a row inside a
// buffer whose neighbours must stay untouched: the word loads reach two
// bytes around each group of eight pixels.
TEST(SwapRedBlue, ExchangesTheOuterBytesOfEveryPixelAndNothingElse)
{
    for (auto* swap : {SwapRedBlue, SwapRedBlueInWords})
        for (std::size_t pixels = 0; pixels <= 40; ++pixels) {
            std::vector<std::uint8_t> src(3 * pixels), dst(3 * pixels + 6, 0xEE);
            for (std::size_t i = 0; i < src.size(); ++i)
                src[i] = std::uint8_t(i * 37 + 11);
            swap(dst.data() + 3, src.data(), pixels);
            for (std::size_t x = 0; x < pixels; ++x) {
                ASSERT_EQ(dst[3 + 3 * x], src[3 * x + 2]) << pixels << " pixels, pixel " << x;
                ASSERT_EQ(dst[3 + 3 * x + 1], src[3 * x + 1]) << pixels << " pixels, pixel " << x;
                ASSERT_EQ(dst[3 + 3 * x + 2], src[3 * x]) << pixels << " pixels, pixel " << x;
            }
            for (int i : {0, 1, 2})
                EXPECT_EQ(dst[i], 0xEE) << "before the row, " << pixels << " pixels";
            for (std::size_t i = dst.size() - 3; i < dst.size(); ++i)
                EXPECT_EQ(dst[i], 0xEE) << "after the row, " << pixels << " pixels";
        }
}

TEST(SwapRedBlue, TwiceGivesTheRowBack)
{
    std::vector<std::uint8_t> row(3 * 6001), once(row.size()), twice(row.size());
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = std::uint8_t((i * 2654435761u) >> 13);
    SwapRedBlue(once.data(), row.data(), 6001);
    SwapRedBlue(twice.data(), once.data(), 6001);
    EXPECT_EQ(twice, row);
    EXPECT_NE(once, row);
}

} // namespace
