// Window messages posted to a form, as custom Qt events.
#pragma once

#include <QEvent>

#include <cstdint>

constexpr int WM_USER = 0x400;

class WindowMessageEvent final : public QEvent {
public:
    static QEvent::Type EventType();
    WindowMessageEvent(int message, std::intptr_t wParam)
        : QEvent(EventType()), message_(message), wParam_(wParam)
    {
    }
    int Message() const { return message_; }
    std::intptr_t WParam() const { return wParam_; }

private:
    int message_;
    std::intptr_t wParam_;
};

class QObject;
// Queues the message for the receiver's event loop, like PostMessage.
void PostWindowMessage(QObject* receiver, int message, std::intptr_t wParam);
