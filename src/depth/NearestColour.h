// The palette entry nearest to a colour, with the answers of
// GetNearestPaletteIndex (smallest squared RGB distance, the lowest index
// among equally near entries), fast enough for millions of look-ups.
//
// The colour cube is cut into 32 x 32 x 32 cells. The first look-up in a cell
// keeps the entries that can be nearest to some colour inside it: those no
// farther from the cell than the farthest corner of its best-placed entry.
// Later look-ups in the cell compare only those few, in index order, so ties
// still go to the lowest index.
#pragma once

#include "imagora/WinTypes.h"

#include <cstdint>
#include <vector>

class NearestColour {
public:
    // The entries of a palette object; a null or empty palette answers 0.
    explicit NearestColour(HPALETTE palette);

    unsigned operator()(int r, int g, int b)
    {
        const int cell = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
        if (!cells_[cell].count)
            FillCell(cell);
        const Cell c = cells_[cell];
        const Entry* e = candidates_.data() + c.first;
        const Entry* const end = e + c.count;
        int best = 0x7FFFFFFF;
        unsigned index = 0;
        for (; e != end; ++e) {
            const int dr = e->r - r, dg = e->g - g, db = e->b - b;
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < best) {
                best = distance;
                index = e->index;
            }
        }
        return index;
    }

private:
    struct Entry {
        std::int16_t r, g, b;
        std::uint16_t index;
    };
    struct Cell {
        std::uint32_t first = 0;
        std::uint32_t count = 0; // 0: not looked at yet
    };

    void FillCell(int cell);

    std::vector<Entry> entries_;
    std::vector<Cell> cells_;
    std::vector<Entry> candidates_;
};
