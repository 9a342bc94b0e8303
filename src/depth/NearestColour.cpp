#include "depth/NearestColour.h"

#include "gdi/GdiObjects.h"

#include <algorithm>

namespace {

constexpr int kCellShift = 3;
constexpr int kCellSize = 1 << kCellShift;
constexpr int kCells = 1 << (3 * (8 - kCellShift));

// Squared distances from a channel value to the nearest and the farthest
// value of the cell's range lo .. lo + kCellSize - 1.
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

} // namespace

NearestColour::NearestColour(HPALETTE palette) : cells_(kCells)
{
    if (!palette)
        return;
    for (std::size_t i = 0; i < palette->entries.size(); ++i) {
        const PALETTEENTRY& p = palette->entries[i];
        entries_.push_back(Entry{p.peRed, p.peGreen, p.peBlue, std::uint16_t(i)});
    }
    if (entries_.empty())
        entries_.push_back(Entry{0, 0, 0, 0}); // answers 0, as the plain search does
}

void NearestColour::FillCell(int cell)
{
    const int r = (cell >> 10) << kCellShift;
    const int g = ((cell >> 5) & 31) << kCellShift;
    const int b = (cell & 31) << kCellShift;
    // Every colour of the cell lies within the far distance of the entry
    // whose far distance is least, so the nearest entry of any colour in the
    // cell has a near distance no larger than that.
    int bound = 0x7FFFFFFF;
    for (const Entry& e : entries_)
        bound = std::min(bound, FarSquare(e.r, r) + FarSquare(e.g, g) + FarSquare(e.b, b));
    Cell& c = cells_[cell];
    c.first = std::uint32_t(candidates_.size());
    for (const Entry& e : entries_)
        if (NearSquare(e.r, r) + NearSquare(e.g, g) + NearSquare(e.b, b) <= bound)
            candidates_.push_back(e);
    c.count = std::uint32_t(candidates_.size()) - c.first;
}
