// The parts every page shares: the banner across the top and the mint side
// panel with its picture and title.
#pragma once

#include <QColor>
#include <QString>

class QPushButton;
class QWidget;
class TImageBtn;

inline const QColor kSkyBlue(166, 202, 240);
inline const QColor kMint(192, 220, 192);
inline const QColor kMaroon(128, 0, 0);
// The colour behind picture panes.
inline const QColor kWorkspace(171, 171, 171);

// A raised 33-pixel bar with the page's bold title.
QWidget* MakeBanner(const QString& text, QWidget* parent);

// The 209-pixel side panel: a stretched picture and a title box.
QWidget* MakeSidePanel(const QString& title, const QString& picture, QWidget* parent);

// A page: the banner, the side panel when a title is given, and returns the
// empty content area to the right of it, whose layout the caller adds.
QWidget* MakePage(QWidget** content, const QString& banner, const QString& sideTitle = {},
                  const QString& sidePicture = {});

// A page's undo and redo buttons. Their keys press the ones on the page
// shown (the key table names them).
QPushButton* MakeUndoButton(const QString& caption, QWidget* parent);
QPushButton* MakeRedoButton(const QString& caption, QWidget* parent);

// Fills a widget's background with a colour.
void SetBackground(QWidget* widget, const QColor& colour);

// An image button with the pictures ":/buttons/NAME.svg" and "NAME-down.svg".
TImageBtn* MakeImageButton(QWidget* parent, const char* name, const QString& hint);
