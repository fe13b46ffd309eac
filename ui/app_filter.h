#pragma once
// The program's watchers of every event: made once, owned by the application
// object, forgotten when that goes. They stand behind one event filter of the
// application, which Qt asks about each event of every object; each watcher
// is asked only about the kinds of event it names.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace ui {

namespace detail {

// The kinds of event a filter is asked about, looked up for every event: a
// bit each for Qt's own types (below 256), one for all others together.
class EventTypes {
public:
    void add(int type)
    {
        if (type < 256)
            bits_[type / 64] |= std::uint64_t(1) << (type % 64);
        else
            others_ = true;
    }
    bool mayHave(int type) const { return type < 256 ? (bits_[type / 64] >> (type % 64)) & 1 : others_; }
    EventTypes& operator|=(const EventTypes& more)
    {
        for (int i = 0; i < 4; ++i)
            bits_[i] |= more.bits_[i];
        others_ = others_ || more.others_;
        return *this;
    }

private:
    std::uint64_t bits_[4] = {};
    bool others_ = false;
};

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
        EventTypes asked;
        for (const QEvent::Type t : types)
            asked.add(t);
        watchers_.insert(watchers_.begin(), {watcher, asked});
        QObject::connect(watcher, &QObject::destroyed, this, [this, watcher] {
            std::erase_if(watchers_, [watcher](const Watcher& w) { return w.watcher == watcher; });
            index();
        });
        index();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const int type = event->type();
        if (!wanted_.mayHave(type))
            return false; // most events: a paint nobody waits for, a move, a timer
        for (const Watcher& w : watchers_)
            if (w.types.mayHave(type) && w.watcher->eventFilter(watched, event))
                return true;
        return false;
    }

private:
    struct Watcher {
        QObject* watcher;
        EventTypes types;
    };

    void index()
    {
        wanted_ = {};
        for (const Watcher& w : watchers_)
            wanted_ |= w.types;
    }

    std::vector<Watcher> watchers_;
    EventTypes wanted_; // by any watcher
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
