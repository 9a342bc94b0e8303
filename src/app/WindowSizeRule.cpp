#include "app/WindowSizeRule.h"

#include <algorithm>

namespace {

int FirstExtent(int available, int least)
{
    return std::min(available, std::max(least, available * 2 / 3));
}

bool Contains(const WindowRect& area, const WindowRect& r)
{
    return r.left >= area.left && r.top >= area.top && r.left + r.width <= area.left + area.width &&
           r.top + r.height <= area.top + area.height;
}

} // namespace

WindowRect FirstWindowRect(const WindowRect& area)
{
    const int width = FirstExtent(area.width, kFirstWindowWidth);
    const int height = FirstExtent(area.height, kFirstWindowHeight);
    return {area.left + (area.width - width) / 2, area.top + (area.height - height) / 2, width,
            height};
}

WindowRect ChooseWindowRect(const std::vector<WindowRect>& areas,
                            const std::optional<WindowRect>& saved)
{
    if (areas.empty())
        return {0, 0, kFirstWindowWidth, kFirstWindowHeight};
    // A screen unplugged or made smaller since would leave the window, or
    // part of it, where nobody can reach it.
    if (saved && saved->width > 0 && saved->height > 0 &&
        std::any_of(areas.begin(), areas.end(),
                    [&](const WindowRect& area) { return Contains(area, *saved); }))
        return *saved;
    return FirstWindowRect(areas.front());
}
