#include "app/WindowSizeRule.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct Case {
    const char* what;
    std::vector<WindowRect> areas; // primary first
    std::optional<WindowRect> saved;
    WindowRect expected;
};

TEST(WindowSizeRule, ScreensAndSavedPlacesGiveTheWindowRect)
{
    const WindowRect fullHd{0, 0, 1920, 1050}; // a panel takes 30 rows
    const WindowRect right{1920, 0, 1280, 1024};
    const Case cases[] = {
        {"a large screen: two thirds, centred", {fullHd}, {}, {320, 175, 1280, 700}},
        {"two thirds below the least size: the least",
         {{0, 0, 1366, 738}},
         {},
         {183, 19, 1000, 700}},
        {"a small screen: all of it", {{0, 0, 800, 600}}, {}, {0, 0, 800, 600}},
        {"narrow but tall", {{0, 0, 900, 1600}}, {}, {0, 267, 900, 1066}},
        {"an area off the origin", {{100, 40, 1500, 1000}}, {}, {350, 190, 1000, 700}},
        {"saved and on the screen", {fullHd}, WindowRect{10, 20, 700, 500}, {10, 20, 700, 500}},
        {"saved filling the area exactly", {fullHd}, fullHd, fullHd},
        {"saved on the second screen",
         {fullHd, right},
         WindowRect{2000, 100, 900, 800},
         {2000, 100, 900, 800}},
        {"saved on a screen unplugged since",
         {fullHd},
         WindowRect{2000, 100, 900, 800},
         {320, 175, 1280, 700}},
        {"saved across two screens",
         {fullHd, right},
         WindowRect{1500, 100, 900, 800},
         {320, 175, 1280, 700}},
        {"saved larger than the screen is now",
         {{0, 0, 800, 600}},
         WindowRect{0, 0, 1000, 700},
         {0, 0, 800, 600}},
        {"saved partly above the area",
         {fullHd},
         WindowRect{10, -5, 700, 500},
         {320, 175, 1280, 700}},
        {"saved without a size", {fullHd}, WindowRect{10, 20, 0, 500}, {320, 175, 1280, 700}},
        {"no screen at all", {}, WindowRect{10, 20, 700, 500}, {0, 0, 1000, 700}},
    };
    for (const Case& c : cases) {
        const WindowRect r = ChooseWindowRect(c.areas, c.saved);
        EXPECT_EQ(r, c.expected) << c.what << ": got " << r.left << ", " << r.top << ", " << r.width
                                 << " x " << r.height;
    }
}

} // namespace
