#include "toolkit/WindowMessages.h"

#include <QCoreApplication>

QEvent::Type WindowMessageEvent::EventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void PostWindowMessage(QObject* receiver, int message, std::intptr_t wParam)
{
    QCoreApplication::postEvent(receiver, new WindowMessageEvent(message, wParam));
}
