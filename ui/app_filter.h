#pragma once
// The program's watchers of every event: made once, owned by the application
// object, forgotten when that goes. They stand behind one event filter of the
// application, which Qt asks about each event of every object; each watcher
// is asked only about the kinds of event it names.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace ui {

namespace detail {

class AppFilters : public QObject {
public:
    static AppFilters* instance()
    {
        static AppFilters* one = nullptr;
        if (!one) {
            one = new AppFilters;
            one->setParent(QCoreApplication::instance());
            QObject::connect(one, &QObject::destroyed, [] { one = nullptr; });
            QCoreApplication::instance()->installEventFilter(one);
        }
        return one;
    }

    // The one made last is asked first, as Qt asks filters.
    void add(QObject* watcher, std::initializer_list<QEvent::Type> types)
    {
        watchers_.insert(watchers_.begin(), {watcher, std::vector<QEvent::Type>(types)});
        QObject::connect(watcher, &QObject::destroyed, this, [this, watcher] {
            std::erase_if(watchers_, [watcher](const Watcher& w) { return w.watcher == watcher; });
            index();
        });
        index();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const int type = event->type();
        if (type >= int(wanted_.size()) || !wanted_[type])
            return false; // most events: a paint nobody waits for, a move, a timer
        for (const Watcher& w : watchers_)
            for (const QEvent::Type t : w.types)
                if (t == type) {
                    if (w.watcher->eventFilter(watched, event))
                        return true;
                    break;
                }
        return false;
    }

private:
    struct Watcher {
        QObject* watcher;
        std::vector<QEvent::Type> types;
    };

    void index()
    {
        wanted_.fill(false);
        for (const Watcher& w : watchers_)
            for (const QEvent::Type t : w.types)
                if (t < int(wanted_.size()))
                    wanted_[t] = true;
    }

    std::vector<Watcher> watchers_;
    std::array<bool, 256> wanted_{}; // by event type; Qt's own are below 256
};

} // namespace detail

// Makes `one` the program's watcher of this kind unless there is one already,
// asked about the events of these types only; none without an application
// object. Returns whether it was made.
template <class Filter> bool installApplicationFilter(Filter*& one, std::initializer_list<QEvent::Type> types)
{
    if (one || !QCoreApplication::instance())
        return false;
    one = new Filter;
    one->setParent(QCoreApplication::instance());
    QObject::connect(one, &QObject::destroyed, [&one] { one = nullptr; });
    detail::AppFilters::instance()->add(one, types);
    return true;
}

} // namespace ui
