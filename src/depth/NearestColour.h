// The palette entry nearest to a colour, with the answers of
// GetNearestPaletteIndex (smallest squared RGB distance, the lowest index
// among equally near entries), fast enough for millions of look-ups.
//
// The colour cube is cut into 32 x 32 x 32 cells. The first look-up in a cell
// lists the entries that can answer for some colour inside it, mostly one to
// three for a photo's palette. Later look-ups compare only those, in index
// order, so ties still go to the lowest.
#pragma once

#include "base/WinTypes.h"

#include <cstdint>
#include <vector>

class NearestColour {
public:
    // The entries of a palette object (at most 256); a null or empty palette
    // answers 0.
    explicit NearestColour(HPALETTE palette);

    // A palette entry: its colour and its index.
    struct Entry {
        std::uint8_t r, g, b, index;
    };

    unsigned operator()(int r, int g, int b) { return Find(r, g, b).index; }

    // The nearest entry itself, so that a caller needs no second look-up for
    // its colour.
    const Entry& Find(int r, int g, int b)
    {
        const int cell = (r >> kCellShift) << (2 * kCellBits) | (g >> kCellShift) << kCellBits |
                         (b >> kCellShift);
        std::uint32_t c = cells_[std::size_t(cell)];
        if (!c)
            c = FillCell(cell);
        const Entry* e = candidates_.data() + (c >> kCountBits);
        const unsigned count = c & kCountMask;
        if (count == 1)
            return *e;
        if (count > kBlock)
            return Nearest(e, count, r, g, b);
        // the usual case, written out: no branch that depends on the count
        const Entry* found = e;
        int best = Distance(e[0], r, g, b);
        Keep(e + 1, r, g, b, best, found);
        Keep(e + 2, r, g, b, best, found);
        Keep(e + 3, r, g, b, best, found);
        return *found;
    }

private:
    static constexpr int kCellShift = 3; // cells of 8 x 8 x 8 colours
    static constexpr int kCellBits = 8 - kCellShift;
    // A cell's word: 0 before its first look-up, else its candidate count in
    // the low bits and above them where its candidates start.
    static constexpr int kCountBits = 9;
    static constexpr std::uint32_t kCountMask = (1u << kCountBits) - 1;
    // Shorter candidate lists are padded to four with their last entry.
    static constexpr unsigned kBlock = 4;

    std::uint32_t FillCell(int cell);

    static int Distance(const Entry& e, int r, int g, int b)
    {
        const int dr = e.r - r, dg = e.g - g, db = e.b - b;
        return dr * dr + dg * dg + db * db;
    }

    // e replaces the best so far only when it is nearer.
    static void Keep(const Entry* e, int r, int g, int b, int& best, const Entry*& found)
    {
        const int d = Distance(*e, r, g, b);
        found = d < best ? e : found;
        best = d < best ? d : best;
    }

    static const Entry& Nearest(const Entry* e, unsigned count, int r, int g, int b)
    {
        const Entry* found = e;
        int best = Distance(e[0], r, g, b);
        for (unsigned i = 1; i < count; ++i)
            Keep(e + i, r, g, b, best, found);
        return *found;
    }

    std::vector<Entry> entries_;
    std::vector<std::uint32_t> cells_;
    std::vector<Entry> candidates_;
};
