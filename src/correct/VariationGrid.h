// The optimize page's 3 x 3 grid of variants: its geometry, which cell a
// click hits, and drawing the nine corrected previews.
#pragma once

#include "correct/ChannelHistogram.h"
#include "gdi/DeviceContext.h"
#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

// Cells are a third of the box each (the remainder stays unpainted); the
// previews sit 2 pixels into their cells, all nine of one size: the cell
// less a 4-pixel margin, fitted to the picture's aspect.
struct VariationGeometry {
    int CellWidth = 0;
    int CellHeight = 0;
    int PreviewWidth = 0;
    int PreviewHeight = 0;
    friend bool operator==(const VariationGeometry&, const VariationGeometry&) = default;
};

constexpr int kVariationMargin = 2;

VariationGeometry VariationGridGeometry(int boxWidth, int boxHeight, int imageWidth,
                                        int imageHeight);

// The grid step shown in column 0..2, row 0..2: -4 at the top left, 0 in the
// centre, +4 at the bottom right.
constexpr int VariationStep(int column, int row)
{
    return 3 * row + column - 4;
}

// The cell that key 1..9 of the numeric keypad picks: the keys lie as the
// cells do, 7 8 9 the top row, 1 2 3 the bottom one.
struct VariationCell {
    int column;
    int row;
};
constexpr VariationCell KeypadVariationCell(int digit)
{
    return {(digit - 1) % 3, 2 - (digit - 1) / 3};
}

// The top-left pixel of a cell's preview box in a box of boxWidth x boxHeight,
// which a click on the cell hits whenever the cell can be hit at all.
constexpr VariationCell VariationCellOrigin(int boxWidth, int boxHeight, VariationCell cell)
{
    return {cell.column * (boxWidth / 3) + kVariationMargin,
            cell.row * (boxHeight / 3) + kVariationMargin};
}

// What a click outside every cell selects.
constexpr int kNoVariation = 99;

// The step under (x, y), or kNoVariation. A cell is clickable over its whole
// unfitted preview box less the box's last column and row, whatever the
// picture's aspect.
int HitTestVariation(int boxWidth, int boxHeight, int x, int y);

// The histograms of what the grid shows: the current picture reduced as the
// previews are, and each cell's variant ([column][row]); all empty when
// nothing was drawn, a cell's when its copy failed.
struct VariationHistograms {
    ChannelHistogram Current;
    ChannelHistogram Cells[3][3];
};

// Builds the nine variants of work for mode and intensity and draws them
// into a box of boxWidth x boxHeight on dc; nothing else is painted. The box
// and the grid's geometry are in logical pixels, the previews are made and
// drawn at the device's resolution. An empty picture, or a box too small for
// a preview, draws nothing. With showClipping each variant is drawn with the
// pixels it clips and the current picture does not marked (MarkClipping).
VariationHistograms PaintVariationGrid(HDC dc, int boxWidth, int boxHeight, const TDibRecord& work,
                                       int mode, int intensity, ProgressSink& progress,
                                       bool showClipping = false);
