#include "drawn.h"

#include "app_filter.h"
#include "clock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

namespace ui::drawn {

namespace {

// Posted to the watch, behind what the window has still to draw.
class Check : public QEvent {
public:
    Check(quint64 serial, bool last) : QEvent(type()), serial(serial), last(last) {}
    static QEvent::Type type()
    {
        static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
        return registered;
    }
    quint64 serial;
    bool last;
};

bool isModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

class Watch : public QObject {
public:
    bool waiting() const { return pressed_ != answered_ || buttonDown_; }

    void add(QObject* context, qint64 latestMs, std::function<void()> action)
    {
        const quint64 id = ++next_;
        pending_.push_back({id, context, std::move(action)});
        clock::after(latestMs, context, [this, id] { run(id); });
        // Asked from the event loop, when the handling of what was pressed
        // is over: what it left to draw is posted by now, or drawn already.
        if (!buttonDown_)
            check();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (isModifier(static_cast<QKeyEvent*>(event)->key()))
                break; // nothing to answer until the key it goes with
            [[fallthrough]];
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
            ++pressed_;
            // A click is answered once the button is up: its handler runs then.
            if (event->type() != QEvent::KeyPress)
                buttonDown_ = static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton;
            break;
        case QEvent::Paint:
            // The first drawing after a key or click may come within its
            // handling (a button drawn pressed) before what the handler
            // changes is drawn. Everything the handling leaves to be drawn
            // is posted by the time a check posted now is handled, and drawn
            // by the time a second check posted then is. Only work that
            // waits is worth the checks: a click that leaves none is drawn
            // without them.
            if (watched->isWidgetType() && !buttonDown_ && pressed_ != answered_ && !pending_.empty())
                check();
            break;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }

    bool event(QEvent* event) override
    {
        if (event->type() != Check::type())
            return QObject::event(event);
        const auto* check = static_cast<Check*>(event);
        if (check->serial != pressed_ || buttonDown_) {
            checking_ = false; // pressed again: the next drawing checks anew
        } else if (!check->last) {
            QCoreApplication::postEvent(this, new Check(check->serial, true), Qt::LowEventPriority);
        } else {
            checking_ = false;
            answered_ = check->serial;
            runAll();
        }
        return true;
    }

private:
    void check()
    {
        if (checking_)
            return;
        checking_ = true;
        QCoreApplication::postEvent(this, new Check(pressed_, false), Qt::LowEventPriority);
    }

    struct Pending {
        quint64 id;
        QPointer<QObject> context;
        std::function<void()> action;
    };

    void run(quint64 id)
    {
        for (auto it = pending_.begin(); it != pending_.end(); ++it)
            if (it->id == id) {
                Pending p = std::move(*it);
                pending_.erase(it);
                if (p.context)
                    p.action();
                return;
            }
    }

    void runAll()
    {
        std::vector<Pending> due;
        due.swap(pending_);
        for (Pending& p : due)
            if (p.context)
                p.action();
    }

    quint64 pressed_ = 0, answered_ = 0, next_ = 0;
    bool buttonDown_ = false;
    bool checking_ = false;
    std::vector<Pending> pending_;
};

Watch* watch = nullptr;

} // namespace

void install()
{
    installApplicationFilter(watch, {QEvent::KeyPress, QEvent::MouseButtonPress, QEvent::MouseButtonDblClick,
                                     QEvent::MouseButtonRelease, QEvent::Paint});
}

void afterInput(QObject* context, qint64 latestMs, std::function<void()> action)
{
    install();
    if (!watch || !watch->waiting()) {
        action();
        return;
    }
    watch->add(context, latestMs, std::move(action));
}

void afterFirstDrawing(QWidget* window, qint64 latestMs, std::function<void()> action)
{
    struct Once : QObject {
        std::function<void()> action;
        void run()
        {
            if (const std::function<void()> a = std::exchange(action, nullptr))
                a();
            deleteLater();
        }
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            // Run once the whole window is drawn, not within its drawing.
            if (event->type() == QEvent::Paint && action)
                QMetaObject::invokeMethod(
                    this, [this] { run(); }, Qt::QueuedConnection);
            return QObject::eventFilter(watched, event);
        }
    };
    auto* once = new Once;
    once->setParent(window);
    once->action = std::move(action);
    window->installEventFilter(once);
    clock::after(latestMs, once, [once] { once->run(); });
}

} // namespace ui::drawn
