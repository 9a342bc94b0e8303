// The result page's two panes: the "before" pane's share of the panel in
// percent, kept within 10..90, and the width it gives the pane.
#pragma once

#include <algorithm>

constexpr int kMinSplitPercent = 10;
constexpr int kMaxSplitPercent = 90;

// The share a pane of paneWidth takes of a panel of panelWidth.
constexpr int SplitPercentOf(int paneWidth, int panelWidth)
{
    const int percent = panelWidth > 0 ? paneWidth * 100 / panelWidth : 50;
    return std::clamp(percent, kMinSplitPercent, kMaxSplitPercent);
}

// The "before" pane's width for a panel of panelWidth.
constexpr int SplitPaneWidth(int panelWidth, int percent)
{
    return panelWidth * percent / 100;
}
