#include "depth/NearestColour.h"

#include "base/GdiObjects.h"

#include <algorithm>

namespace {

constexpr int kCellSize = 8;

// Squared distances from a channel value to the nearest and the farthest
// value of lo .. lo + kCellSize - 1.
int NearSquare(int v, int lo)
{
    const int hi = lo + kCellSize - 1;
    const int d = v < lo ? lo - v : (v > hi ? v - hi : 0);
    return d * d;
}

int FarSquare(int v, int lo)
{
    const int hi = lo + kCellSize - 1;
    const int d = std::max(v - lo, hi - v);
    return d * d;
}

// The least, over the channel values lo .. lo + kCellSize - 1, of how much
// farther e is than f. The difference of two squares is linear in the value,
// so it is least at one end.
int LeastLead(int e, int f, int lo)
{
    const int hi = lo + kCellSize - 1;
    return std::min((lo - e) * (lo - e) - (lo - f) * (lo - f),
                    (hi - e) * (hi - e) - (hi - f) * (hi - f));
}

} // namespace

NearestColour::NearestColour(HPALETTE palette) : cells_(std::size_t(1) << (3 * kCellBits), 0)
{
    if (palette)
        for (std::size_t i = 0; i < palette->entries.size() && i < 256; ++i) {
            const PALETTEENTRY& p = palette->entries[i];
            entries_.push_back(Entry{p.peRed, p.peGreen, p.peBlue, std::uint8_t(i)});
        }
    if (entries_.empty())
        entries_.push_back(Entry{0, 0, 0, 0}); // answers 0, as the plain search does
}

std::uint32_t NearestColour::FillCell(int cell)
{
    const int r = (cell >> (2 * kCellBits)) << kCellShift;
    const int g = ((cell >> kCellBits) & ((1 << kCellBits) - 1)) << kCellShift;
    const int b = (cell & ((1 << kCellBits) - 1)) << kCellShift;
    // Every colour of the cell lies within the far distance of the entry
    // whose far distance is least, so an entry nearer to no colour of the cell
    // than that cannot answer there.
    int bound = 0x7FFFFFFF;
    for (const Entry& e : entries_)
        bound = std::min(bound, FarSquare(e.r, r) + FarSquare(e.g, g) + FarSquare(e.b, b));
    std::vector<Entry> near;
    for (const Entry& e : entries_)
        if (NearSquare(e.r, r) + NearSquare(e.g, g) + NearSquare(e.b, b) <= bound)
            near.push_back(e);
    // Nor can an entry that another beats everywhere in the cell, or ties
    // with everywhere while coming first.
    const auto beaten = [&](const Entry& e) {
        return std::any_of(near.begin(), near.end(), [&](const Entry& f) {
            if (f.index == e.index)
                return false;
            const int lead =
                LeastLead(e.r, f.r, r) + LeastLead(e.g, f.g, g) + LeastLead(e.b, f.b, b);
            return lead > 0 || (lead == 0 && f.index < e.index);
        });
    };
    const std::uint32_t first = std::uint32_t(candidates_.size());
    for (const Entry& e : near)
        if (!beaten(e))
            candidates_.push_back(e);
    const std::uint32_t count = std::uint32_t(candidates_.size()) - first;
    while (candidates_.size() - first < kBlock) // a repeated entry answers as the first
        candidates_.push_back(candidates_.back());
    const std::uint32_t word = first << kCountBits | count;
    cells_[std::size_t(cell)] = word;
    return word;
}
