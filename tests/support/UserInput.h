// Keys and clicks as a user gives them, delivered through the application as
// the window system's would be: keys to the focus widget of the active window
// (so shortcuts see them first), clicks to the widget under the pointer.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

inline void PressKey(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QApplication::setActiveWindow(window);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    const QString text = key >= Qt::Key_0 && key <= Qt::Key_9 ? QString(QChar(key)) : QString();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

inline void ClickAt(QWidget* widget, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// A drag with the left button from one point of widget to another: a press,
// one move and the release, as a quick hand gives it.
inline void DragFromTo(QWidget* widget, QPointF from, QPointF to)
{
    QMouseEvent press(QEvent::MouseButtonPress, from, widget->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, widget->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// A button pressed by its shortcut is seen to go down and clicks a moment later.
inline void WaitForAnimatedClick()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Replaces a field's text by typing: select all, erase, then each character,
// through the field's own key handling (so its validator sees every key).
inline void ReplaceText(QWidget* field, const QString& keys)
{
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(field, &selectAll);
    QApplication::sendEvent(field, &erase);
    for (const QChar ch : keys) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(field, &press);
    }
}
