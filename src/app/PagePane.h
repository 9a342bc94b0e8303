// The picture pane of a page: a paint box inside a sunken frame in the
// workspace colour, margin pixels in from the frame.
#pragma once

class PaintBox;
class QWidget;

PaintBox* MakePicturePane(QWidget* parent, QWidget** pane, int margin = 0);
