#pragma once
// The few widget behaviours Qt does not offer as such.

#include <QLabel>
#include <QObject>
#include <functional>

class QEvent;

namespace ui {

// A label that can act as a button: a left press and release on it clicks it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// Runs a function when a watched object receives one type of event; the
// function decides whether the event is consumed.
class EventHook : public QObject {
public:
    EventHook(QObject* watched, int eventType, std::function<bool()> action);
    EventHook(QObject* watched, int eventType, std::function<bool(QEvent*)> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int type_;
    std::function<bool(QEvent*)> action_;
};

} // namespace ui
