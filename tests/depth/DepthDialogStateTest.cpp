#include "depth/DepthDialogState.h"

#include <gtest/gtest.h>

namespace {

// The enabled states in the order OptPal, StdPal, Near, Dither, FSErr, WinCol.
struct Enabled {
    bool opt, std, near, dither, fs, win;
    friend bool operator==(const Enabled&, const Enabled&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Enabled& e)
    {
        return os << e.opt << e.std << e.near << e.dither << e.fs << e.win;
    }
};

Enabled EnabledOf(const DepthDownState& s)
{
    return {s.OptPalEnabled, s.StdPalEnabled, s.NearEnabled,
            s.DitherEnabled, s.FSErrEnabled,  s.WinColEnabled};
}

TEST(DepthDialogState, ColourListMapsDepthsBothWays)
{
    for (auto [bits, item] : {std::pair{1, 0}, std::pair{4, 1}, std::pair{8, 2}, std::pair{24, 3},
                              std::pair{16, 0}, std::pair{32, 0}, std::pair{0, 0}})
        EXPECT_EQ(ColorBoxItemFor(bits), item) << bits;
    for (auto [item, bits] :
         {std::pair{0, 1}, std::pair{1, 4}, std::pair{2, 8}, std::pair{3, 24}, std::pair{-1, 24}})
        EXPECT_EQ(TargetBitsFor(item), bits) << item;
    EXPECT_EQ(ChangeFor(24, 8), DepthChange::Reduce);
    EXPECT_EQ(ChangeFor(1, 4), DepthChange::Raise);
    EXPECT_EQ(ChangeFor(8, 8), DepthChange::Keep);
    EXPECT_EQ(ChangeFor(32, 24), DepthChange::Reduce) << "and then nothing is converted";
}

TEST(DepthDialogState, PreparationEnablesByTargetAndKeepsTheChecks)
{
    struct Row {
        int target;
        bool optimizedChecked;
        Enabled enabled;
        bool target8;
        int colours;
    };
    const Row rows[] = {
        {1, true, {false, false, true, false, true, false}, false, 2},
        {1, false, {false, false, true, false, true, false}, false, 2},
        {4, true, {true, true, true, false, true, false}, false, 16},
        {4, false, {true, true, true, false, true, false}, false, 16},
        {8, true, {true, true, true, false, true, true}, true, 256},
        {8, false, {true, true, true, true, true, true}, true, 256},
    };
    for (const Row& row : rows) {
        DepthDownState s;
        s.OptPalChecked = row.optimizedChecked;
        s.MethodChecked = DepthMethod::Ordered;
        s.WinColChecked = false;
        s.Prepare(row.target);
        EXPECT_EQ(EnabledOf(s), row.enabled) << row.target << " " << row.optimizedChecked;
        EXPECT_EQ(s.Target8Bit, row.target8);
        EXPECT_EQ(s.ColourCount, row.colours);
        EXPECT_EQ(s.Choice(), (DepthDownChoice{DepthMethod::Ordered, row.optimizedChecked, false}))
            << "preparing checks nothing";
    }
}

TEST(DepthDialogState, PaletteClickOffersDitheringOnlyWithTheStandardPaletteAtEightBits)
{
    struct Row {
        int target;
        bool optimized;
        DepthMethod before;
        bool dither, win;
        DepthMethod after;
    };
    using M = DepthMethod;
    const Row rows[] = {
        {8, false, M::Ordered, true, false, M::Ordered},
        {8, true, M::Ordered, false, true, M::FloydSteinberg},
        {8, true, M::Nearest, false, true, M::Nearest},
        {4, false, M::Ordered, false, false, M::FloydSteinberg},
        {4, true, M::Nearest, false, false, M::Nearest},
        {1, false, M::Ordered, false, false, M::FloydSteinberg},
    };
    for (const Row& row : rows) {
        DepthDownState s;
        s.Prepare(row.target);
        s.OptPalChecked = row.optimized;
        s.MethodChecked = row.before;
        s.PaletteClick();
        EXPECT_EQ(s.DitherEnabled, row.dither) << row.target << " " << row.optimized;
        EXPECT_EQ(s.WinColEnabled, row.win) << row.target << " " << row.optimized;
        EXPECT_EQ(s.MethodChecked, row.after) << row.target << " " << row.optimized;
    }
}

TEST(DepthDialogState, OnlyAClickThatChecksAPaletteRunsTheRule)
{
    DepthDownState s; // optimized checked from the start
    s.Prepare(8);
    EXPECT_TRUE(s.WinColEnabled) << "open for 8 bits: enabled whichever palette";
    s.CheckPalette(true);
    EXPECT_TRUE(s.WinColEnabled);
    s.CheckPalette(false);
    EXPECT_FALSE(s.WinColEnabled);
    EXPECT_TRUE(s.DitherEnabled);
    s.MethodChecked = DepthMethod::Ordered;
    s.Prepare(8);
    EXPECT_TRUE(s.WinColEnabled) << "the next opening enables it again";
    s.CheckPalette(true);
    EXPECT_EQ(s.Choice(), (DepthDownChoice{DepthMethod::FloydSteinberg, true, true}));
}

} // namespace
