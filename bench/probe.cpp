#include "probe.h"

#include "stopwatch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define ELCARTA_TOGGLE_COLLECT() CALLGRIND_TOGGLE_COLLECT
#else
#define ELCARTA_TOGGLE_COLLECT()
#endif

namespace bench {

namespace {

// Started by the first reading, which markMain() takes first thing in main().
const Clock& probeClock()
{
    static const Clock c;
    return c;
}

} // namespace

std::int64_t nowNs() { return probeClock().sinceOrigin(); }

namespace {

// Under callgrind, counts the measurement ELCARTA_CALLGRIND names only: all
// of its kind ("open"), or one ("open:fljs", "click:XCJS/ql").
void counting(const QString& what, bool on)
{
    static const QString wanted = qEnvironmentVariable("ELCARTA_CALLGRIND");
    static bool now = false;
    if (what.isEmpty() || (wanted != what && wanted != what.section(':', 0, 0)) || now == on)
        return;
    now = on;
    ELCARTA_TOGGLE_COLLECT();
}

// Each line goes out at once, so that a probe that dies still leaves what it measured.
template <typename... Args>
void emitLine(const char* format, Args... args)
{
    std::printf(format, args...);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void fail(const QString& why)
{
    emitLine("error %s", qPrintable(why));
    QCoreApplication::exit(1);
}

// Watches every paint of the application and reports the moment the awaited
// window has been painted: the first paint event of the window or of any
// control in it starts a paint pass, and a zero timer posted from there runs
// once that pass is over and the window's pixels are in its backing store.
class PaintWatch : public QObject {
public:
    void await(const QString& window, std::function<void(std::int64_t)> then)
    {
        window_ = window;
        then_ = std::move(then);
        armed_ = true;
        timeout_.start();
    }

    PaintWatch()
    {
        timeout_.setSingleShot(true);
        timeout_.setInterval(20000);
        QObject::connect(&timeout_, &QTimer::timeout, this, [this] {
            if (armed_) {
                armed_ = false;
                fail("no paint of " + window_ + " within 20 s");
            }
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (armed_ && event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window()->objectName() == window_) {
            armed_ = false;
            timeout_.stop();
            auto then = std::move(then_);
            QTimer::singleShot(0, this, [then] { then(nowNs()); });
        }
        return false;
    }

private:
    bool armed_ = false;
    QString window_;
    std::function<void(std::int64_t)> then_;
    QTimer timeout_;
};

// Steps that wait for the event loop, run one after the other.
class Sequence {
public:
    using Step = std::function<void(std::function<void()> next)>;
    void add(Step step) { steps_.push_back(std::move(step)); }
    void next()
    {
        if (at_ >= steps_.size())
            return;
        Step& step = steps_[at_++];
        step([this] { QTimer::singleShot(0, [this] { next(); }); });
    }

private:
    std::vector<Step> steps_;
    std::size_t at_ = 0;
};

struct Counts {
    int edit = 0, text = 0, label = 0, button = 0, option = 0, frame = 0, combo = 0, comboItem = 0, list = 0,
        listItem = 0, other = 0;
    long chars = 0; // characters of every caption, text and item
    QString face;   // the face the window's text is drawn in, after substitution
    long area = 0;  // square pixels at 96 dpi covered by the controls, in thousands
};

// The controls a window holds, by kind, with the length of all their texts
// and the room they take. Qt's own inner widgets (the viewport of a list, the
// text part of a drop-down list) carry no name or a "qt_" one; the program's
// hidden failure note is not one of the window's controls.
Counts count(QWidget* window)
{
    Counts c;
    double area = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith("qt_") || name == "failureNotice" || name == "messageNotice")
            continue;
        area += double(w->width()) * w->height();
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            ++c.combo;
            c.comboItem += box->count();
            c.chars += box->currentText().size();
            for (int i = 0; i < box->count(); ++i)
                c.chars += box->itemText(i).size();
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            ++c.list;
            c.listItem += list->count();
            for (int i = 0; i < list->count(); ++i)
                c.chars += list->item(i)->text().size();
        } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
            ++c.text;
            c.chars += m->toPlainText().size();
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            ++c.edit;
            c.chars += e->text().size();
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            ++(qobject_cast<QRadioButton*>(w) ? c.option : qobject_cast<QPushButton*>(w) ? c.button : c.other);
            c.chars += b->text().size();
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            ++c.frame;
            c.chars += g->title().size();
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            ++c.label;
            c.chars += l->text().size();
        } else
            ++c.other;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    const double scale = dpi > 0 ? dpi / 96.0 : 1.0;
    c.area = std::lround(area / (scale * scale) / 1000);
    c.face = QFontInfo(window->font()).family().replace(' ', '_');
    return c;
}

QString fieldText(QWidget* w)
{
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        return m->toPlainText();
    return "(no such field)";
}

// The most memory the process has held in RAM so far, in kilobytes: the peak
// working set on Windows, the peak resident set on Linux.
long peakMemoryKb()
{
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // kilobytes on Linux
#endif
}

struct Calculator {
    const char* button;
    const char* window;
};
constexpr Calculator calculators[] = {{"fh", "fhjs"}, {"zd", "zdjs"}, {"fl", "fljs"}, {"xc", "XCJS"}};

constexpr int handlerRuns = 300;
// Clicks of each button to its painted window, each after a pause in which
// the program does what it leaves until after the paint.
constexpr int clickRuns = 21;
constexpr int clickPauseMs = 30;

std::int64_t median(std::vector<std::int64_t> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

const std::vector<ClickCase>& clickCases()
{
    static const std::vector<ClickCase> cases = {
        {"fhjs/Command1", "fhjs", "Command1", {{"Pjs", "100"}, {"Qjs", ""}}, "Qjs", "75"},
        {"fhjs/Command4", "fhjs", "Command4", {{"Pjs", "100"}, {"Sjs", ""}}, "Sjs", "125"},
        {"zdjs/Command1", "zdjs", "Command1", {{"mj", "20"}, {"dwgl", "8.9"}, {"gl", ""}}, "gl", "534"},
        {"fljs/js", "fljs", "js", {{"l", "100"}, {"w", "50"}, {"H", "100"}, {"Ae", ""}}, "Ae", "0.066416"},
        // Emptying the rows' counts sets off each row's total.
        {"XCJS/ql",
         "XCJS",
         "ql",
         {{"VV3", "3"}, {"BV3", "3"}, {"SYV3", "3"}, {"UTP3", "3"}, {"LGB3", "3"}, {"RVS3", "3"}},
         "VV4",
         ""},
    };
    return cases;
}

void click(QWidget* w)
{
    if (!w)
        return;
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    const QPointF global = w->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, local, global, Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, local, global, Qt::LeftButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(w, &release);
}

QWidget* topLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

QWidget* child(const QString& window, const QString& name, int index)
{
    QWidget* top = topLevel(window);
    if (!top)
        return nullptr;
    for (QWidget* w : top->findChildren<QWidget*>(name)) {
        const QVariant i = w->property("index");
        if (index < 0 || (i.isValid() && i.toInt() == index))
            return w;
    }
    return nullptr;
}

void markMain()
{
    emitLine("main %lld", static_cast<long long>(nowNs()));
    counting("start", true);
}

int run(Hooks hooks)
{
    emitLine("app %lld", static_cast<long long>(nowNs()));
    PaintWatch watch;
    qApp->installEventFilter(&watch);
    Sequence seq;

    // Opens a calculator from the menu and calls `then` with the click and paint times.
    auto open = [&watch](const Calculator& c, std::function<void(std::int64_t, std::int64_t)> then,
                         const QString& counted = {}) {
        auto* button = qobject_cast<QAbstractButton*>(child("dqjs", c.button));
        if (!button)
            return fail(QString("no menu button ") + c.button);
        auto click = std::make_shared<std::int64_t>();
        watch.await(c.window, [click, then, counted](std::int64_t painted) {
            counting(counted, false);
            then(*click, painted);
        });
        counting(counted, true);
        *click = nowNs();
        button->click();
    };
    auto back = [&watch, &hooks](const char* window, std::function<void()> then) {
        watch.await("dqjs", [then](std::int64_t) { then(); });
        hooks.back(window);
    };

    seq.add([&](auto next) {
        watch.await("dqjs", [next](std::int64_t painted) {
            counting("start", false);
            emitLine("menu %lld", static_cast<long long>(painted));
            next();
        });
        hooks.start();
    });

    for (const Calculator& c : calculators) {
        for (int visit = 1; visit <= 2; ++visit) {
            seq.add([&, c, visit](auto next) {
                open(
                    c,
                    [c, visit, next](std::int64_t click, std::int64_t painted) {
                        emitLine("open %s %d %lld %lld", c.window, visit, static_cast<long long>(click),
                                 static_cast<long long>(painted));
                        next();
                    },
                    visit == 1 ? QString("open:") + c.window : QString());
            });
            if (visit == 1) {
                seq.add([c](auto next) {
                    const Counts n = count(topLevel(c.window));
                    emitLine("widgets %s edit=%d text=%d label=%d button=%d option=%d frame=%d combo=%d "
                             "comboitem=%d list=%d listitem=%d other=%d chars=%ld kpx2=%ld face=%s",
                             c.window, n.edit, n.text, n.label, n.button, n.option, n.frame, n.combo, n.comboItem,
                             n.list, n.listItem, n.other, n.chars, n.area, qPrintable(n.face));
                    next();
                });
            }
            seq.add([&, c](auto next) { back(c.window, next); });
        }
    }

    seq.add([](auto next) {
        emitLine("rss %ld", peakMemoryKb());
        next();
    });

    // Each button's clicks in its own window, to the window painted after each.
    auto clickTimes = std::make_shared<std::vector<std::int64_t>>();
    for (const Calculator& c : calculators) {
        std::vector<const ClickCase*> cases;
        for (const ClickCase& k : clickCases())
            if (QString(k.window) == c.window)
                cases.push_back(&k);
        seq.add([&, c](auto next) { open(c, [next](std::int64_t, std::int64_t) { next(); }); });
        for (const ClickCase* k : cases) {
            for (int i = 0; i < clickRuns; ++i) {
                // The inputs, drawn, and a pause.
                seq.add([&watch, k](auto next) {
                    watch.await(k->window, [next](std::int64_t) { QTimer::singleShot(clickPauseMs, next); });
                    for (const auto& [field, text] : k->inputs)
                        if (auto* e = qobject_cast<QLineEdit*>(child(k->window, field)))
                            e->setText(QString::fromUtf8(text));
                });
                seq.add([&watch, k, i, clickTimes](auto next) {
                    QWidget* button = child(k->window, k->button);
                    if (!button)
                        return fail(QString("no button ") + k->name);
                    // A mouse press and release paint the button at once, as
                    // Qt's buttons do, before the handler runs; the window is
                    // painted after the click once what the click left to
                    // paint has been painted.
                    counting(QString("click:") + k->name, true);
                    const std::int64_t t0 = nowNs();
                    click(button);
                    watch.await(k->window, [k, i, t0, next, clickTimes](std::int64_t painted) {
                        counting(QString("click:") + k->name, false);
                        clickTimes->push_back(painted - t0);
                        if (i == 0) {
                            const QString got = fieldText(child(k->window, k->field));
                            if (got != QString::fromUtf8(k->expected))
                                return fail(QString(k->name) + " left \"" + got + "\" in " + k->field + ", not \"" +
                                            k->expected + "\"");
                        }
                        if (i + 1 == clickRuns) {
                            emitLine("click %s %d %lld %lld", k->name, clickRuns,
                                     static_cast<long long>(median(*clickTimes)),
                                     static_cast<long long>(clickTimes->front()));
                            clickTimes->clear();
                        }
                        next();
                    });
                });
            }
        }
        seq.add([&, c](auto next) { back(c.window, next); });
    }

    // Each handler in its own window, shown as the engineer sees it.
    for (const Calculator& c : calculators) {
        std::vector<const HandlerCase*> cases;
        for (const HandlerCase& h : hooks.handlers)
            if (h.window == c.window)
                cases.push_back(&h);
        if (cases.empty())
            continue;
        seq.add([&, c](auto next) { open(c, [next](std::int64_t, std::int64_t) { next(); }); });
        for (const HandlerCase* h : cases) {
            seq.add([h](auto next) {
                std::vector<std::int64_t> times;
                times.reserve(handlerRuns);
                for (int i = 0; i < handlerRuns; ++i) {
                    if (h->prepare)
                        h->prepare();
                    QCoreApplication::processEvents();
                    const std::int64_t t0 = nowNs();
                    h->run();
                    times.push_back(nowNs() - t0);
                    if (i == 0 && !h->field.isEmpty()) {
                        const QString got = fieldText(child(h->window, h->field));
                        if (got != h->expected)
                            return fail(h->name + " left \"" + got + "\" in " + h->field + ", not \"" +
                                        h->expected + "\"");
                    }
                }
                QCoreApplication::processEvents();
                const std::int64_t first = times.front();
                std::sort(times.begin(), times.end());
                emitLine("handler %s %d %lld %lld %lld %lld", qPrintable(h->name), handlerRuns,
                         static_cast<long long>(times[times.size() / 2]),
                         static_cast<long long>(times[times.size() * 99 / 100]), static_cast<long long>(times.back()),
                         static_cast<long long>(first));
                next();
            });
        }
        seq.add([&, c](auto next) { back(c.window, next); });
    }

    seq.add([](auto) {
        emitLine("clock %lld", static_cast<long long>(probeClock().originNs()));
        emitLine("done");
        QCoreApplication::exit(0);
    });

    seq.next(); // shows the menu before the event loop starts, as main() does
    return QApplication::exec();
}

} // namespace bench
