// What the screen tests of every page and dialog share: a main window, the
// pointer kept off the windows (a hover would change a button between two
// grabs), waiting until the X server shows a window at its size, and the
// check that a picture lies where the layout puts it, in screen pixels. ctest
// runs every screen test at scale 1 and, as screen.Scale2.*, at scale 2
// (QT_SCALE_FACTOR=2), so a layout worked out in logical pixels and drawn
// unconverted on a canvas of screen pixels fails there.
#pragma once

#include "MainWindowFixture.h"
#include "ScreenGrab.h"

#include <QRect>
#include <QRgb>

#include <optional>
#include <string>
#include <vector>

class QWidget;

// A 24-bit picture of kBlockColumns x kBlockRows blocks of BlockColour, so
// that any scale and any sampling leaves each block's middle its colour;
// mirrored, its columns come in reverse order.
constexpr int kBlockColumns = 8;
constexpr int kBlockRows = 6;
QRgb BlockColour(int column, int row);
TDibRecord MakeBlockPicture(int width, int height, bool mirrored = false);

class ScreenTest : public MainWindowTest {
protected:
    void SetUp() override;

    // Screen pixels per logical pixel.
    static qreal Scale();
    // A rectangle of logical pixels in screen pixels, rounded as the
    // program's drawing rounds.
    static QRect ToDevice(const QRect& logical);
    // Where a picture of width x height shows fitted into box, at its
    // top-left corner, in screen pixels.
    static QRect FittedOnScreen(const QWidget* box, int width, int height);

    // Shows a window, waits until the X server shows it, and checks that it
    // covers its size times the scale in screen pixels.
    static ::testing::AssertionResult ShowOnScreen(QWidget* window);
    // Resizes a shown window and waits until the X server has applied it.
    static ::testing::AssertionResult ResizeOnScreen(QWidget* window, QSize size);

    // Opens picture as a file of the program's folder, as the open page does.
    void OpenPicture(const TDibRecord& picture);
};

// A pixel the screen must show: at, in screen pixels from a widget's
// top-left corner, shows colour; what names the place in a failure.
struct ScreenSample {
    QPoint at;
    QRgb colour;
    std::string what;
};

// Whether the screen shows every sample that lies on widget; at least one
// must. On a mismatch the grab is kept in a file that the message names.
::testing::AssertionResult SamplesOnScreen(QWidget* widget,
                                           const std::vector<ScreenSample>& samples);

// Whether the screen shows a block picture (MakeBlockPicture, mirrored or
// not) in rect, given in screen pixels from widget's
// top-left corner: the middle of every block and the picture's corner pixels,
// where they lie on the widget; with around, the pixels just right of and
// below the picture show that colour.
::testing::AssertionResult PictureOnScreen(QWidget* widget, const QRect& rect,
                                           bool mirrored = false,
                                           std::optional<QRgb> around = std::nullopt);
