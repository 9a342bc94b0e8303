// The picture pane of a page: a paint box inside a frame in the workspace
// colour, filling the page's content area.
#pragma once

class PaintBox;
class QWidget;

PaintBox* MakePicturePane(QWidget* parent, QWidget** pane);
