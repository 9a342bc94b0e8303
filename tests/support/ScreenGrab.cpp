#include "ScreenGrab.h"

#include "XServer.h"
#include "toolkit/CanvasWidget.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdlib>

std::string NoXScreenReason()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return {};
    const char* why = std::getenv(kNoScreenReasonVariable);
    if (why && *why)
        return why;
    return "the platform is " + QGuiApplication::platformName().toStdString() +
           " (run with QT_QPA_PLATFORM=xcb and an X server)";
}

void SettleWindow(int milliseconds)
{
    // A pending paint takes a pass or a timer of a few milliseconds, and each
    // step may start the next; so the events run until a pass that starts
    // well after the last busy one finds nothing to do. Counting passes, not
    // only the clock, keeps a machine that holds the process back from
    // ending the wait before a due event ran.
    constexpr qint64 kQuiet = 30, kLongest = 5000;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QElapsedTimer timer;
    timer.start();
    qint64 lastBusy = 0;
    for (;;) {
        const qint64 start = timer.elapsed();
        if (dispatcher->processEvents(QEventLoop::AllEvents))
            lastBusy = timer.elapsed();
        else if (start >= milliseconds && start - lastBusy >= kQuiet)
            return;
        if (start >= kLongest)
            return; // something that never rests, such as an animation
    }
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

void SyncWithScreen(QWidget* window)
{
    // A reply from the X server comes after every event it sent before, so
    // the events that the requests made so far caused are then here to run.
    window->screen()->grabWindow(window->winId(), 0, 0, 1, 1);
    SettleWindow();
}

QImage GrabScreen(QWidget* window)
{
    QScreen* screen = window->screen();
    return screen->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

::testing::AssertionResult ScreenMatchesFreshRedraw(QWidget* window)
{
    QApplication::setCursorFlashTime(0); // a blinking caret would differ between the pictures
    SyncWithScreen(window);
    const QImage shown = GrabScreen(window);
    for (CanvasWidget* canvas : window->findChildren<CanvasWidget*>())
        canvas->Repaint();
    window->repaint();
    SyncWithScreen(window);
    const QImage fresh = GrabScreen(window);
    if (shown.size() != fresh.size())
        return ::testing::AssertionFailure() << "the window changed size on its own";
    int differing = 0;
    QRect where;
    for (int y = 0; y < shown.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(fresh.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x) {
            if (a[x] != b[x]) {
                ++differing;
                where |= QRect(x, y, 1, 1);
            }
        }
    }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kelvora-screen-XXXXXX"));
    folder.setAutoRemove(false);
    shown.save(folder.filePath(QStringLiteral("shown.png")));
    fresh.save(folder.filePath(QStringLiteral("fresh.png")));
    return ::testing::AssertionFailure()
           << differing << " pixels differ from a fresh redraw, within (" << where.x() << ", "
           << where.y() << ", " << where.width() << " x " << where.height()
           << "); see shown.png and fresh.png in " << folder.path().toStdString();
}
