#include "depth/DepthDialogState.h"

const std::array<std::string_view, 4> kColorBoxItems = {
    "1 Bit - 2 Farben", "4 Bit - 16 Farben", "8 Bit - 256 Farben", "24 Bit - 16,7 Mill. Farben"};
const std::array<int, 4> kColorBoxBits = {1, 4, 8, 24};

int ColorBoxItemFor(int bitCount)
{
    for (int i = 0; i < int(kColorBoxBits.size()); ++i)
        if (kColorBoxBits[std::size_t(i)] == bitCount)
            return i;
    return 0;
}

int TargetBitsFor(int itemIndex)
{
    if (itemIndex < 0 || itemIndex >= int(kColorBoxBits.size()))
        return 24;
    return kColorBoxBits[std::size_t(itemIndex)];
}

DepthChange ChangeFor(int current, int target)
{
    if (target < current)
        return DepthChange::Reduce;
    return target > current ? DepthChange::Raise : DepthChange::Keep;
}

void DepthDownState::Prepare(int target)
{
    if (target != 1 && target != 4 && target != 8)
        return;
    const bool palettes = target != 1;
    Target8Bit = target == 8;
    OptPalEnabled = palettes;
    StdPalEnabled = palettes;
    NearEnabled = true;
    DitherEnabled = Target8Bit && !OptPalChecked;
    FSErrEnabled = true;
    WinColEnabled = Target8Bit;
    ColourCount = 1 << target;
}

void DepthDownState::PaletteClick()
{
    DitherEnabled = !OptPalChecked && Target8Bit;
    WinColEnabled = OptPalChecked && Target8Bit;
    if (!DitherEnabled && MethodChecked == DepthMethod::Ordered)
        MethodChecked = DepthMethod::FloydSteinberg;
}

void DepthDownState::CheckPalette(bool optimized)
{
    if (OptPalChecked == optimized)
        return;
    OptPalChecked = optimized;
    PaletteClick();
}

DepthDownChoice DepthDownState::Choice() const
{
    return DepthDownChoice{MethodChecked, OptPalChecked, WinColChecked};
}
