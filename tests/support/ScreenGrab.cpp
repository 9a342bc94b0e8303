#include "ScreenGrab.h"

#include "XServer.h"
#include "toolkit/CanvasWidget.h"

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
    QElapsedTimer timer;
    timer.start();
    do
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    while (timer.elapsed() < milliseconds);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

QImage GrabScreen(QWidget* window)
{
    QScreen* screen = window->screen();
    return screen->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

::testing::AssertionResult ScreenMatchesFreshRedraw(QWidget* window)
{
    QApplication::setCursorFlashTime(0); // a blinking caret would differ between the pictures
    SettleWindow();
    const QImage shown = GrabScreen(window);
    for (CanvasWidget* canvas : window->findChildren<CanvasWidget*>())
        canvas->Repaint();
    window->repaint();
    SettleWindow();
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
