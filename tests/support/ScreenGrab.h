// What a window looks like on the screen, as the user sees it: read back from
// the window system (the X server under xcb), never drawn anew. The check
// every page's screen tests share: after the user's steps the screen must
// show what the same window drawn from scratch shows.
#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include <functional>
#include <string>

class QWidget;

// Empty when the tests run on an X server; else why they cannot.
std::string NoXScreenReason();

#define REQUIRE_X_SCREEN()                                                                         \
    if (const std::string why = NoXScreenReason(); !why.empty())                                   \
    GTEST_SKIP() << "no X server to look at: " << why

// Lets posted events, pending paints and the window system's answers (a
// resize, a map) run: for at least milliseconds, and until the events have
// rested for a while.
void SettleWindow(int milliseconds = 50);
// Waits for the X server to answer what was asked of it so far, then settles
// the window's events.
void SyncWithScreen(QWidget* window);
// Runs events until done() holds, at most timeoutMs; returns done().
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000);

// The window's pixels as the screen shows them.
QImage GrabScreen(QWidget* window);

// Grabs the window, then erases and repaints every canvas through its handler
// and repaints every widget, grabs again and compares. On a mismatch both
// pictures are written to files that the message names.
::testing::AssertionResult ScreenMatchesFreshRedraw(QWidget* window);
