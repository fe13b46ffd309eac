#include "widgets.h"

#include <QEvent>
#include <QMouseEvent>

namespace ui {

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

EventHook::EventHook(QObject* watched, int eventType, std::function<bool()> action)
    : EventHook(watched, eventType, [action = std::move(action)](QEvent*) { return action(); })
{
}

EventHook::EventHook(QObject* watched, int eventType, std::function<bool(QEvent*)> action)
    : QObject(watched), type_(eventType), action_(std::move(action))
{
    watched->installEventFilter(this);
}

bool EventHook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == type_)
        return action_(event);
    return QObject::eventFilter(watched, event);
}

} // namespace ui
