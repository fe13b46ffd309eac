#include "keys.h"

#include "app_filter.h"
#include "clock.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QObject>
#include <vector>

// QT_LOGGING_RULES="elcarta.keys.debug=true" prints every press and release
// the tracker sees, with its verdict.
Q_LOGGING_CATEGORY(lcKeys, "elcarta.keys", QtWarningMsg)
// QT_LOGGING_RULES="elcarta.focus.debug=true" prints the control that takes
// the focus, by its window's and its own names, as Tab walks the windows.
Q_LOGGING_CATEGORY(lcFocus, "elcarta.focus", QtWarningMsg)

namespace ui::keys {

namespace {

// A key that has been quiet this long is up, whatever the tracker last saw:
// its release may have gone to no window of the program (one hidden in
// between). Above the slowest repeat delay Windows offers (one second), so that
// a held key's first repeat never passes for a new press.
constexpr qint64 quietMs = 1500;
// No keyboard starts repeating sooner than this after its key went down (the
// desktops' shortest delay); a release and a press at the same time sooner are
// two quick presses (or made-up events), not the X server repeating the key.
constexpr quint32 shortestRepeatDelayMs = 100;


// One physical key: its scan code where the platform gives one (a letter's
// Qt key changes with Shift between its press and its release), else its Qt key.
quint64 keyId(const QKeyEvent* e)
{
    return e->nativeScanCode() ? e->nativeScanCode() : (quint64(1) << 32) | quint32(e->key());
}

bool isPress(QEvent::Type t) { return t == QEvent::KeyPress || t == QEvent::ShortcutOverride; }

struct KeyState {
    quint64 id = 0;
    int qtKey = 0;
    bool down = false;
    quint64 serial = 0;  // the deliberate press it is held from
    quint64 pressedAt = 0; // that press's time stamp
    quint64 timestamp = 0; // of its last event, as the platform stamped it
    qint64 at = 0;       // of its last event, on the program's clock
};

// What the tracker saw last, to tell a new event from the same one delivered
// again (to the window, then the focus widget and its parents) and the press
// that follows its ShortcutOverride.
struct Seen {
    bool valid = false;
    const QEvent* event = nullptr;
    QEvent::Type type = QEvent::None;
    quint64 id = 0;
    int qtKey = 0;
    quint64 timestamp = 0;
    bool autoRepeat = false;
    Qt::KeyboardModifiers modifiers;
    bool repeat = false; // the verdict on a press
};

class Tracker : public QObject {
public:
    quint64 serial() const { return serial_; }

    quint64 pressedAt(int qtKey) const
    {
        quint64 from = 0;
        for (const KeyState& k : keys_)
            if (k.down && k.qtKey == qtKey && k.serial > from)
                from = k.serial;
        return from;
    }

    bool judge(const QKeyEvent* e)
    {
        const QEvent::Type type = e->type();
        if (sameAsLast(e))
            return last_.repeat;

        KeyState& k = state(keyId(e));
        const qint64 at = clock::now();
        bool repeat = false;
        const char* why = "deliberate";
        if (isPress(type)) {
            if (e->isAutoRepeat()) {
                repeat = true;
                why = "repeat (marked)";
            } else if (k.down && !quiet(k, e->timestamp(), at)) {
                repeat = true;
                why = "repeat (still down)";
            } else if (last_.valid && last_.type == QEvent::KeyRelease && last_.id == k.id && e->timestamp() != 0
                       && last_.timestamp == e->timestamp()
                       && (k.pressedAt == 0 || quint32(e->timestamp() - k.pressedAt) >= shortestRepeatDelayMs)) {
                repeat = true;
                why = "repeat (release at the same time)";
            }
            const bool releasedJustNow = last_.valid && last_.type == QEvent::KeyRelease && last_.id == k.id;
            if (!repeat) {
                k.serial = ++serial_;
                k.pressedAt = e->timestamp();
            } else if (!k.down && !releasedJustNow) {
                k.serial = 0; // held since before the program saw it go down
            }
            k.down = true;
            k.qtKey = e->key();
        } else {
            k.down = false;
            why = "release";
        }
        k.timestamp = e->timestamp();
        k.at = at;
        last_ = {true, e, type, k.id, e->key(), e->timestamp(), e->isAutoRepeat(), e->modifiers(), repeat};
        qCDebug(lcKeys).nospace().noquote() << (isPress(type) ? "press" : "release") << " key=0x" << Qt::hex << e->key()
                                  << Qt::dec << " scan=" << e->nativeScanCode() << " time=" << e->timestamp()
                                  << " marked=" << e->isAutoRepeat() << " mods=0x" << Qt::hex << e->modifiers().toInt()
                                  << Qt::dec << " serial=" << k.serial << " in " << receiver_ << ": " << why;
        return repeat;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (!isPress(type) && type != QEvent::KeyRelease)
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        receiver_ = watched->objectName();
        const bool repeat = judge(key);
        if (repeat && isPress(type) && isChord(key)) {
            // Accepting the override keeps the shortcut from firing; the key
            // press after it goes no further.
            event->accept();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // A press that works an access key or a shortcut rather than typing.
    static bool isChord(const QKeyEvent* e)
    {
        const Qt::KeyboardModifiers m = e->modifiers();
        if (!(m & (Qt::AltModifier | Qt::ControlModifier)))
            return false;
        // Windows reports AltGr as Ctrl+Alt: a character typed with it is typing.
        const bool altGr = (m & Qt::AltModifier) && (m & Qt::ControlModifier) && !e->text().isEmpty()
                           && e->text().front().isPrint();
        return !altGr;
    }

    bool sameAsLast(const QKeyEvent* e) const
    {
        if (!last_.valid || last_.id != keyId(e) || last_.qtKey != e->key() || last_.timestamp != e->timestamp()
            || last_.autoRepeat != e->isAutoRepeat() || last_.modifiers != e->modifiers())
            return false;
        const QEvent::Type type = e->type();
        if (last_.event == e && last_.type == type)
            return true;
        // The key press that follows its ShortcutOverride is the same press.
        return last_.type == QEvent::ShortcutOverride && type == QEvent::KeyPress;
    }

    static bool quiet(const KeyState& k, quint64 timestamp, qint64 at)
    {
        // The platform's times tell how long the key really was quiet, even
        // when the program was too busy to look; X's wrap round at 32 bits.
        if (timestamp != 0 && k.timestamp != 0)
            return quint32(timestamp - k.timestamp) > quietMs;
        return at - k.at > quietMs;
    }

    KeyState& state(quint64 id)
    {
        for (KeyState& k : keys_)
            if (k.id == id)
                return k;
        keys_.push_back({});
        keys_.back().id = id;
        return keys_.back();
    }

    quint64 serial_ = 0;
    std::vector<KeyState> keys_; // every key seen, a few dozen at most
    Seen last_;
    QString receiver_;
};

Tracker* tracker = nullptr;

} // namespace

void install()
{
    if (!installApplicationFilter(tracker, {QEvent::KeyPress, QEvent::ShortcutOverride, QEvent::KeyRelease}))
        return;
    if (lcFocus().isDebugEnabled())
        if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
            QObject::connect(app, &QApplication::focusChanged, tracker, [](QWidget*, QWidget* now) {
                // A control's own part (a list's text field) counts as the control.
                QWidget* w = now;
                while (w && !w->isWindow() && (w->objectName().isEmpty() || w->objectName().startsWith("qt_")))
                    w = w->parentWidget();
                if (w)
                    qCDebug(lcFocus).noquote() << "focus" << w->window()->objectName() << w->objectName();
            });
}

quint64 serial() { return tracker ? tracker->serial() : 0; }

quint64 pressedAt(int qtKey) { return tracker ? tracker->pressedAt(qtKey) : 0; }

bool isRepeat(const QKeyEvent* press)
{
    if (!press || !isPress(press->type()))
        return false;
    return tracker ? tracker->judge(press) : press->isAutoRepeat();
}

} // namespace ui::keys
