// What the two colour-depth dialogs know, without Qt: the colour-count list
// and the reduction options with their enabling rules. The forms mirror these
// states; the command line sets them as a user would.
#pragma once

#include "depth/DepthDown.h"

#include <array>
#include <string_view>

// --- the colour-count dialog

// ColorBox's items (UTF-8), and the bit count each stands for.
extern const std::array<std::string_view, 4> kColorBoxItems;
extern const std::array<int, 4> kColorBoxBits;

// The item preselected for a picture of bitCount bits; item 0 for depths the
// list does not hold.
int ColorBoxItemFor(int bitCount);
// The bit count of the chosen item; 24 when none is chosen.
int TargetBitsFor(int itemIndex);

enum class DepthChange { Keep, Raise, Reduce };
// What a confirmed choice of target bits does to a picture of current bits.
DepthChange ChangeFor(int current, int target);

// --- the reduction dialog

struct DepthDownState {
    // checked states; the palette and method buttons are radio buttons
    bool OptPalChecked = true; // else StdPalCheck
    DepthMethod MethodChecked = DepthMethod::FloydSteinberg;
    bool WinColChecked = true;

    bool OptPalEnabled = true;
    bool StdPalEnabled = true;
    bool NearEnabled = true;
    bool DitherEnabled = true;
    bool FSErrEnabled = true;
    bool WinColEnabled = true;

    bool Target8Bit = false; // prepared for an 8-bit target
    int ColourCount = 0;     // of the prepared target

    // Enables the controls for a target of 1, 4 or 8 bits; the checked states
    // stay as the last use left them.
    void Prepare(int target);
    // The rule both palette buttons run when clicked: ordered dithering only
    // with the standard palette, the system colours only with the optimized
    // one, both only for 8 bits.
    void PaletteClick();
    // A click that checks a palette button; like a click, it runs the rule
    // only when the button was not checked already.
    void CheckPalette(bool optimized);

    // What OK hands over: read from the checked states, enabled or not.
    DepthDownChoice Choice() const;
};
