#include "TestSupport.h"

#include "base/Palette.h"

namespace {

LOGPALETTE MakeLogPalette(std::initializer_list<PALETTEENTRY> entries)
{
    LOGPALETTE lp{};
    lp.palVersion = 0x300;
    for (const PALETTEENTRY& e : entries)
        lp.palPalEntry[lp.palNumEntries++] = e;
    return lp;
}

class Palettes : public LeakCheckedTest {};

TEST_F(Palettes, NearestBySquaredDistanceLowestIndexWinsTies)
{
    const LOGPALETTE lp = MakeLogPalette(
        {{0, 0, 0, 0}, {100, 0, 0, 0}, {0, 100, 0, 0}, {100, 0, 0, 0}, {255, 255, 255, 0}});
    HPALETTE p = CreatePalette(&lp);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(GetNearestPaletteIndex(p, RGB(90, 0, 0)), 1u) << "1 and 3 tie: lowest wins";
    EXPECT_EQ(GetNearestPaletteIndex(p, RGB(50, 50, 0)), 0u) << "tie of 0, 1 and 2";
    EXPECT_EQ(GetNearestPaletteIndex(p, RGB(10, 60, 0)), 2u);
    EXPECT_EQ(GetNearestPaletteIndex(p, RGB(200, 200, 200)), 4u);
    EXPECT_TRUE(DeleteObject(p));

    // Squared, not summed, distance: black is 10000 from (100,0,0) and 7200
    // from (60,60,0), although 100 < 60 + 60.
    const LOGPALETTE two = MakeLogPalette({{100, 0, 0, 0}, {60, 60, 0, 0}});
    HPALETTE q = CreatePalette(&two);
    EXPECT_EQ(GetNearestPaletteIndex(q, RGB(0, 0, 0)), 1u);
    DeleteObject(q);
}

TEST_F(Palettes, EmptyAndNullPalettes)
{
    const LOGPALETTE empty = MakeLogPalette({});
    EXPECT_EQ(CreatePalette(&empty), nullptr);
    EXPECT_EQ(CreatePalette(nullptr), nullptr);
    EXPECT_EQ(GetNearestPaletteIndex(nullptr, 0), 0u);
    EXPECT_FALSE(DeleteObject(nullptr));
}

TEST_F(Palettes, CountedUntilDeleted)
{
    const int before = LivePaletteCount();
    const LOGPALETTE lp = MakeLogPalette({{1, 2, 3, 0}});
    HPALETTE p = CreatePalette(&lp);
    EXPECT_EQ(LivePaletteCount(), before + 1);
    DeleteObject(p);
    EXPECT_EQ(LivePaletteCount(), before);
}

} // namespace
