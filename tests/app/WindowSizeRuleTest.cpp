#include "app/WindowSizeRule.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

TEST(WindowSizeRule, ScreensAndSavedPlacesGiveTheWindowRect)
{
    const WindowRect hd{0, 0, 1920, 1050}; // a panel takes 30 rows
    const WindowRect right{1920, 0, 1280, 1024};
    const WindowRect first{320, 175, 1280, 700}; // two thirds of hd, centred
    const WindowRect there{2000, 100, 900, 800}; // on the right screen
    const struct {
        const char* what;
        std::vector<WindowRect> areas; // primary first
        std::optional<WindowRect> saved;
        WindowRect expected;
    } cases[] = {
        {"a large screen", {hd}, {}, first},
        {"the least size", {{0, 0, 1366, 738}}, {}, {183, 19, 1000, 700}},
        {"a small screen: all of it", {{0, 0, 800, 600}}, {}, {0, 0, 800, 600}},
        {"off the origin", {{100, 40, 1500, 1000}}, {}, {350, 190, 1000, 700}},
        {"saved, on the screen", {hd}, WindowRect{10, 20, 700, 500}, {10, 20, 700, 500}},
        {"saved, second screen", {hd, right}, there, there},
        {"saved, screen unplugged", {hd}, there, first},
        {"saved, across two screens", {hd, right}, WindowRect{1500, 100, 900, 800}, first},
        {"saved, screen smaller now",
         {{0, 0, 800, 600}},
         WindowRect{0, 0, 1000, 700},
         {0, 0, 800, 600}},
        {"saved without a size", {hd}, WindowRect{10, 20, 0, 500}, first},
        {"no screen", {}, WindowRect{10, 20, 700, 500}, {0, 0, 1000, 700}},
    };
    for (const auto& c : cases) {
        const WindowRect r = ChooseWindowRect(c.areas, c.saved);
        EXPECT_EQ(r, c.expected) << c.what << ": got " << r.left << ", " << r.top << ", " << r.width
                                 << " x " << r.height;
    }
}

} // namespace
