// The crop page's selection: a rectangle over the picture fitted into the
// page's paint box, which the user drags out anew, drags by its edges and
// corners, or moves. Qt-free: the page's form inherits it, wires the mouse to
// it and sets the cursors it asks for. The selection itself, in picture
// pixels, is the form's CropRect, handed in by reference.
#pragma once

#include "base/WinTypes.h"

#include <string>

// The cursors the selection asks for, by the toolkit's numbers.
enum CropCursor : int {
    crDefault = 0,
    crSizeNESW = -6, // north-east/south-west
    crSizeNS = -7,
    crSizeNWSE = -8, // north-west/south-east
    crSizeWE = -9,
    crSizeAll = -22, // inside a selection that can move
};

class CropSelection {
public:
    RECT CropBoxRect{};      // the selection in paint-box pixels
    double CropScaleX = 0.0; // drawn picture width / picture width
    double CropScaleY = 0.0;
    int CropMaxX = -1; // last paint-box column and row showing the picture
    int CropMaxY = -1;
    int CropDragMode = 0; // 1 while dragging
    bool GrabLeft = false, GrabRight = false, GrabTop = false, GrabBottom = false;
    bool CropOnEdge = false; // resting on an edge or corner, not dragging
    // The proportion new bands and dragged edges keep: an index into
    // kCropProportions, 0 for none.
    int CropProportion = 0;

    // The picture of width x height is shown drawnWidth x drawnHeight at the
    // paint box's top-left corner; CropBoxRect follows crop.
    void FitSelection(int drawnWidth, int drawnHeight, int width, int height, const RECT& crop);

    enum class Press {
        Nothing, // beside the picture, off the selection's edges
        Edges,   // on an edge or corner: the grabbed edges will follow
        NewBand, // on the picture: crop was set to the press point; redraw
        Move,    // inside a selection smaller than the picture: it follows the mouse
    };
    // A press begins a drag unless it is Nothing; the mouse then belongs to
    // the paint box until SelectionMouseUp.
    Press SelectionMouseDown(int X, int Y, RECT& crop);
    // While dragging: the grabbed edges follow the mouse, kept one pixel
    // inside the drawn picture; crop follows them, its edges swapped (and
    // the grabs with them) where one was dragged across the other. Held to
    // a proportion, the edges opposite the grabbed ones stay where the drag
    // began and the rest follow the proportion. A moved selection keeps its
    // size and stays on the picture.
    void SelectionDrag(int X, int Y, RECT& crop);
    // While not dragging: which edges are within 5 pixels of the mouse, and
    // the cursor that shows it (or that the selection would move).
    CropCursor SelectionHover(int X, int Y);
    // The drag, if any, ends.
    void SelectionMouseUp();

private:
    int ImageColumn(int x) const;
    int ImageRow(int y) const;
    void BoxFromCrop(const RECT& crop);
    // Strictly inside a selection that has room to move.
    bool CanMoveAt(int X, int Y) const;
    void DragHeldToProportion(int X, int Y, RECT& crop) const;

    int drawnWidth_ = 0, drawnHeight_ = 0; // as last fitted
    int width_ = 0, height_ = 0;
    bool moving_ = false;
    RECT start_{}; // the selection when the drag began
    int pressX_ = 0, pressY_ = 0;
};

// The selection's size for the page to show, "1200 × 800 Pixel".
std::string SelectionSizeText(const RECT& crop);
