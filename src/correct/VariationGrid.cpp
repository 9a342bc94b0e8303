#include "correct/VariationGrid.h"

#include "correct/ClipOverlay.h"
#include "correct/CorrectionModes.h"
#include "display/FitInBox.h"
#include "display/StretchDrawDib.h"
#include "gdi/LogicalPixels.h"
#include "geometry/Resize.h"
#include "imagora/Imagora.h"

#include <cstdint>

VariationGeometry VariationGridGeometry(int boxWidth, int boxHeight, int imageWidth,
                                        int imageHeight)
{
    VariationGeometry g;
    g.CellWidth = boxWidth / 3;
    g.CellHeight = boxHeight / 3;
    const FittedSize fit = AspectFit(g.CellWidth - 2 * kVariationMargin,
                                     g.CellHeight - 2 * kVariationMargin, imageWidth, imageHeight);
    g.PreviewWidth = fit.width;
    g.PreviewHeight = fit.height;
    return g;
}

int HitTestVariation(int boxWidth, int boxHeight, int x, int y)
{
    const int cw = boxWidth / 3, ch = boxHeight / 3;
    int selected = kNoVariation;
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) {
            const auto [left, top] = VariationCellOrigin(boxWidth, boxHeight, {c, r});
            // The box less its last column and row, right and bottom exclusive.
            const int right = left + (cw - 2 * kVariationMargin) - 1;
            const int bottom = top + (ch - 2 * kVariationMargin) - 1;
            if (x >= left && x < right && y >= top && y < bottom)
                selected = VariationStep(c, r);
        }
    }
    return selected;
}

VariationHistograms PaintVariationGrid(HDC dc, int boxWidth, int boxHeight, const TDibRecord& work,
                                       int mode, int intensity, ProgressSink& progress,
                                       bool showClipping)
{
    VariationHistograms histograms;
    if (!work.Bits)
        return histograms;
    const VariationGeometry g =
        VariationGridGeometry(boxWidth, boxHeight, DibWidth(work), DibHeight(work));
    if (g.PreviewWidth <= 0 || g.PreviewHeight <= 0)
        return histograms;
    // The previews are made at the device's resolution and copied 1:1.
    const int pw = LogicalToDevice(dc, g.PreviewWidth), ph = LogicalToDevice(dc, g.PreviewHeight);

    // The unchanged reduction, which the histogram and the clipping marks
    // compare with; too small a job to show on the progress bar.
    TDibRecord current;
    NullProgress quiet;
    DIBResize(work, pw, ph, true, current, quiet);
    histograms.Current = CountChannels(current);

    TDibRecord preview[3][3];
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) {
            DIBResize(work, pw, ph, true, preview[c][r], progress);
            ApplyVariation(preview[c][r], mode, VariationStep(c, r), intensity, progress);
            histograms.Cells[c][r] = CountChannels(preview[c][r]);
            if (showClipping) {
                // drawn in place of the variant; a failed marking shows it plain
                const TDibRecord marked = MarkClipping(current, preview[c][r]);
                if (marked.Bits) {
                    deldib(preview[c][r]);
                    preview[c][r] = marked;
                }
            }
        }
    }
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) {
            const auto [x, y] = VariationCellOrigin(boxWidth, boxHeight, {c, r});
            if (preview[c][r].Bits) // a failed copy leaves its cell unpainted
                StretchDrawDib(dc, LogicalToDevice(dc, x), LogicalToDevice(dc, y), pw, ph,
                               preview[c][r], 0, 0, pw, ph, false, SRCCOPY, false, nullptr);
        }
    }
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            deldib(preview[c][r]);
    deldib(current);
    return histograms;
}
