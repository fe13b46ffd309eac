#pragma once
// The program's one clock: what every timed behaviour reads (the key tracker,
// the menu's half second, the recovery file's timing, an access key's press
// shown for a moment). It runs on the machine's steady clock; a test stops it
// and moves it on itself, so that nothing it checks waits for real time.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace ui::clock {

// Milliseconds on the program's clock.
qint64 now();

void advance(qint64 ms);

// Runs `action` once, `ms` from now, unless `context` is gone by then.
void after(qint64 ms, QObject* context, std::function<void()> action);

// A single-shot timer on the program's clock, started again by start().
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject* parent = nullptr);
    ~Timer() override;
    void start(qint64 ms);
    void stop();
    bool isActive() const;
    // Milliseconds until it fires; 0 when it is not running.
    qint64 remaining() const;

signals:
    void timeout();

private:
    friend void advance(qint64 ms);
    QTimer real_;
    qint64 due_ = -1; // on the stopped clock
};

// For the tests: from now on the clock moves only by advance(), which runs
// every action and timer that falls due, in the order they fall due.
void stopForTests();
bool stopped();
void advance(qint64 ms);

} // namespace ui::clock
