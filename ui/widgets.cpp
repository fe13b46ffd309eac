#include "widgets.h"

#include "clock.h"
#include "keys.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <qdrawutil.h>

namespace ui {

namespace {

bool isPressKey(const QKeyEvent* key)
{
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    return plain && (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
}

} // namespace

void ClickLabel::setClickable(bool clickable)
{
    clickable_ = clickable;
    setFocusPolicy(clickable ? Qt::StrongFocus : Qt::NoFocus);
}

void ClickLabel::click() { emit clicked(); }

void ClickLabel::setLinePitch(int pixels)
{
    pitch_ = pixels;
    update();
}

bool ClickLabel::event(QEvent* event)
{
    // Space and Enter belong to a focused clickable label, not to the window's
    // shortcuts (such as a default button).
    if (clickable_ && event->type() == QEvent::ShortcutOverride && isPressKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLabel::event(event);
}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = clickable_ && event->button() == Qt::LeftButton;
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

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    if (clickable_ && isPressKey(event)) {
        if (!keys::isRepeat(event)) // holding the key down clicks once
            emit clicked();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickLabel::paintEvent(QPaintEvent* event)
{
    if (pitch_ > 0) {
        // Each line's ink centred in its pitch, as a Chinese character fills its em.
        QPainter p(this);
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        const QRect ink = fontMetrics().tightBoundingRect(QStringLiteral("国"));
        const QRect r = contentsRect();
        int baseline = r.top() + (pitch_ - ink.height()) / 2 - ink.top();
        for (QString line : text().split('\n')) {
            line.remove('\r');
            p.drawText(r.left(), baseline, line);
            baseline += pitch_;
        }
    } else {
        QLabel::paintEvent(event);
    }
    if (!hasFocus())
        return;
    // A dotted frame inside the label's edge, as a focused button shows one.
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

Note::Note(Tone tone, QWidget* parent) : ClickLabel(parent), tone_(tone == Tone::Failure ? Tone::Message : Tone::Failure)
{
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setTone(tone);
    // A failure note about a field lets every click through to what lies beneath.
    if (tone == Tone::Failure)
        setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void Note::setTone(Tone tone)
{
    if (tone == tone_)
        return;
    tone_ = tone;
    if (tone == Tone::Failure)
        setStyleSheet("QLabel { background: #fff4d6; color: #a00000; border: 1px solid #d00000; padding: 2px; }");
    else
        setStyleSheet("QLabel { background: #eef5ff; color: #12345a; border: 1px solid #5b7fae; padding: 2px; }");
}

int Frame::borderTop() const { return fontMetrics().height() / 2; }

void Frame::paintEvent(QPaintEvent*)
{
    // Drawn here rather than by the style, which would start the line below
    // the whole title band and run it through the first row of options.
    QPainter p(this);
    qDrawShadeRect(&p, rect().adjusted(0, borderTop(), 0, 0), palette(), true, 1, 0);

    // The title interrupts the line at the frame's upper left.
    const QFontMetrics metrics = fontMetrics();
    const QString caption = title();
    if (caption.isEmpty())
        return;
    const QRect band(6, 0, metrics.horizontalAdvance(caption) + 6, metrics.height());
    p.fillRect(band, palette().window());
    style()->drawItemText(&p, band, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), caption,
                          QPalette::WindowText);
}

void installKeyGuard() { keys::install(); }

void pressOnAccessKey(QAbstractButton* button)
{
    // An ambiguous key (two captions with one letter) only moves the focus, as Qt does.
    new EventHook(button, QEvent::Shortcut, [button](QEvent* e) {
        if (static_cast<QShortcutEvent*>(e)->isAmbiguous())
            return false;
        const char* const pressed = "elcartaPressedByKey";
        if (!button->isEnabled() || button->property(pressed).toBool())
            return true;
        if (button->isCheckable() && (button->focusPolicy() & Qt::ClickFocus))
            button->setFocus(Qt::ShortcutFocusReason);
        button->setProperty(pressed, true);
        button->setDown(true);
        button->repaint();
        clock::after(100, button, [button, pressed] {
            button->setProperty(pressed, false);
            button->setDown(false);
            button->click();
        });
        return true;
    });
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

// The windows are laid out for SimSun: half-width Latin letters, lines one em
// apart. In a face with wider letters or taller lines (Noto Serif CJK) each
// caption still stands whole in its place: a line up to 30 % too wide is
// drawn condensed just enough, and the lines of a table of lines
// closer together, down to one em. A caption laid out to wrap stays as it is.
void fitCaption(QWidget* w)
{
    // Measured in the face as the window gave it, not as an earlier fitting
    // condensed it; a caption that fits keeps that very font, so that it
    // shares the window's font engine.
    const char* const given = "elcartaGivenFont";
    const QFont original = w->property(given).isValid() ? w->property(given).value<QFont>() : w->font();
    QFont face = original;
    const QFontMetrics m(face);
    int width = 0, room = 0;
    if (auto* label = qobject_cast<ClickLabel*>(w)) {
        const QStringList lines = label->text().remove('\r').split('\n');
        for (const QString& line : lines)
            width = std::max(width, m.horizontalAdvance(line));
        room = label->contentsRect().width();
        const int pitch = label->height() / static_cast<int>(lines.size());
        const bool closer = lines.size() > 1 && pitch < m.lineSpacing() && pitch >= QFontInfo(face).pixelSize();
        if (closer || label->linePitch() != m.lineSpacing())
            label->setLinePitch(closer ? pitch : 0);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton caption;
        caption.initFrom(button);
        caption.text = button->text();
        width = m.size(Qt::TextShowMnemonic, caption.text).width();
        const QStyle::SubElement contents =
            qobject_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents;
        room = button->style()->subElementRect(contents, &caption, button).width();
    }
    if (width > room && room * 10 >= width * 7) {
        face.setStretch(room * 100 / width);
        w->setProperty(given, original);
    }
    if (face != w->font())
        w->setFont(face);
}

} // namespace ui
