#include "toolkit/InputGate.h"

#include <QCoreApplication>
#include <QEvent>

InputGate::InputGate(QObject* parent, std::function<void()> before)
    : QObject(parent), before_(std::move(before))
{
}

void InputGate::Install()
{
    QCoreApplication::instance()->installEventFilter(this); // moved to the front when there
}

void InputGate::Remove()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputGate::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Drop:
    case QEvent::Close:
        before_();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
