#include "clock.h"

#include <QElapsedTimer>
#include <algorithm>
#include <vector>

namespace ui::clock {

namespace {

struct Pending {
    qint64 due;
    quint64 order; // equal times fire in the order they were set
    QPointer<QObject> context;
    bool bound; // to a context, which must still be there
    std::function<void()> action;
};

struct Stopped {
    bool on = false;
    qint64 at = 0;
    quint64 count = 0;
    std::vector<Pending> pending;
    std::vector<Timer*> timers;
};

Stopped& stoppedClock()
{
    static Stopped s;
    return s;
}

qint64 steady()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return clock.elapsed();
}

// A span on the program's clock as a QTimer takes it: whole milliseconds in an int.
int interval(qint64 ms) { return static_cast<int>(std::clamp<qint64>(ms, 0, 1 << 30)); }

} // namespace

qint64 now() { return stoppedClock().on ? stoppedClock().at : steady(); }

void after(qint64 ms, QObject* context, std::function<void()> action)
{
    Stopped& s = stoppedClock();
    if (!s.on) {
        // Nothing here needs the millisecond: a coarse timer is the window
        // system's own, where a precise one on Windows is a multimedia timer
        // with a thread of its own, started with the first of them.
        QTimer::singleShot(interval(ms), Qt::CoarseTimer, context, std::move(action));
        return;
    }
    s.pending.push_back({s.at + std::max<qint64>(0, ms), s.count++, context, context != nullptr, std::move(action)});
}

Timer::Timer(QObject* parent) : QObject(parent)
{
    real_.setSingleShot(true);
    connect(&real_, &QTimer::timeout, this, &Timer::timeout);
    stoppedClock().timers.push_back(this);
}

Timer::~Timer()
{
    std::vector<Timer*>& timers = stoppedClock().timers;
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void Timer::start(qint64 ms)
{
    ms = std::max<qint64>(0, ms);
    if (stoppedClock().on)
        due_ = stoppedClock().at + ms;
    else
        real_.start(interval(ms));
}

void Timer::stop()
{
    due_ = -1;
    real_.stop();
}

bool Timer::isActive() const { return stoppedClock().on ? due_ >= 0 : real_.isActive(); }

qint64 Timer::remaining() const
{
    if (stoppedClock().on)
        return due_ >= 0 ? due_ - stoppedClock().at : 0;
    return real_.isActive() ? std::max(0, real_.remainingTime()) : 0;
}

void stopForTests()
{
    Stopped& s = stoppedClock();
    if (s.on)
        return;
    s.at = steady();
    s.on = true;
}

bool stopped() { return stoppedClock().on; }

void advance(qint64 ms)
{
    Stopped& s = stoppedClock();
    if (!s.on)
        return;
    const qint64 until = s.at + std::max<qint64>(0, ms);
    // One at a time: an action may set another, or stop a timer.
    for (;;) {
        const Pending* next = nullptr;
        for (const Pending& p : s.pending)
            if (p.due <= until && (!next || p.due < next->due || (p.due == next->due && p.order < next->order)))
                next = &p;
        Timer* timer = nullptr;
        for (Timer* t : s.timers)
            if (t->due_ >= 0 && t->due_ <= until && (!timer || t->due_ < timer->due_))
                timer = t;
        if (timer && (!next || timer->due_ < next->due)) {
            s.at = timer->due_;
            timer->due_ = -1;
            emit timer->timeout();
            continue;
        }
        if (!next)
            break;
        s.at = next->due;
        Pending p = *next;
        s.pending.erase(s.pending.begin() + (next - s.pending.data()));
        if (!p.bound || p.context)
            p.action();
    }
    s.at = until;
}

} // namespace ui::clock
