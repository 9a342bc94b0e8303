// The main window's place and size between runs, kept in the settings group
// "TMainForm".
#pragma once

class QWidget;

// Puts the window where it was left (if that still lies on a screen, else at
// a size that suits the primary screen) and shows it, maximised if it was
// left so.
void ShowMainWindow(QWidget& window);

// Keeps the window's place, size and maximised state for the next start.
void StoreMainWindowPlacement(const QWidget& window);
