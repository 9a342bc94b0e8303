// Where the main window opens: where the user left it, if that still lies
// wholly on a present screen; else at a size that suits the screen, centred.
#pragma once

#include <optional>
#include <vector>

struct WindowRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// The smallest first size worth working in; a smaller screen gets all of
// its area.
inline constexpr int kFirstWindowWidth = 1000;
inline constexpr int kFirstWindowHeight = 700;

// Two thirds of the area each way, at least the size above where the area
// has room for it, centred in the area.
WindowRect FirstWindowRect(const WindowRect& area);

// areas: the screens' available areas (without panels), the primary one
// first. saved: where the window was left, if it was.
WindowRect ChooseWindowRect(const std::vector<WindowRect>& areas,
                            const std::optional<WindowRect>& saved);
