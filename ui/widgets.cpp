#include "widgets.h"

#include "app_filter.h"
#include "clock.h"
#include "keys.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>
#include <optional>
#include <qdrawutil.h>
#include <utility>
#include <vector>

namespace ui {

bool Narrowing::set(QFont given, int share)
{
    if (share == percent && (share >= 100 || given == face))
        return false;
    // The face as it is, every property its own: a painter given it takes
    // none from the control's (narrowed) font.
    given.setResolveMask(QFont::AllPropertiesResolved);
    face = given;
    percent = share;
    return true;
}

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
    // A label that takes the focus keeps a text document for selecting and
    // following links, which this one offers none of: it neither lays its
    // caption out there at each click nor draws it from there, and makes
    // none when it is first shown or first takes the focus (see event() and
    // focusInEvent()). (Setting the flags sets the focus policy too, so the
    // policy comes after.)
    if (clickable)
        setTextInteractionFlags(Qt::NoTextInteraction);
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
    // All a label does on being polished is make that document, for a
    // label that takes the focus.
    if (clickable_ && event->type() == QEvent::Polish)
        return QFrame::event(event);
    return QLabel::event(event);
}

void ClickLabel::focusInEvent(QFocusEvent* event)
{
    // A label would make its document here too, to pass the focus on to it;
    // with no text interaction the document takes no event.
    if (clickable_)
        QFrame::focusInEvent(event);
    else
        QLabel::focusInEvent(event);
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

int ClickLabel::linePitch() const
{
    return pitch_ > 0 ? pitch_ : QFontMetrics(narrowing_.on() ? narrowing_.face : font()).lineSpacing();
}

void ClickLabel::narrow(const QFont& face, int percent)
{
    if (narrowing_.set(face, percent))
        update();
}

void ClickLabel::paintEvent(QPaintEvent* event)
{
    const double across = narrowing_.percent / 100.0;
    if (pitch_ > 0) {
        // Each line's ink centred in its pitch, as a Chinese character fills its em.
        QPainter p(this);
        const QFont face = narrowing_.on() ? narrowing_.face : font();
        p.setFont(face);
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        const QRect ink = QFontMetrics(face).tightBoundingRect(QStringLiteral("国"));
        const QRect r = contentsRect();
        int baseline = r.top() + (pitch_ - ink.height()) / 2 - ink.top();
        for (QString line : text().split('\n')) {
            line.remove('\r');
            p.save();
            p.translate(r.left(), baseline);
            p.scale(across, 1);
            p.drawText(0, 0, line);
            p.restore();
            baseline += pitch_;
        }
    } else if (narrowing_.on() || clickable_) {
        // As a label draws its caption without a document, in a painter
        // narrowed to fit it where it must be.
        QPainter p(this);
        drawFrame(&p);
        if (narrowing_.on())
            p.setFont(narrowing_.face);
        const QRect r = contentsRect();
        int flags = QStyle::visualAlignment(layoutDirection(), alignment()) |
                    (layoutDirection() == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
        if (wordWrap())
            flags |= Qt::TextWordWrap;
        if (buddy() && text().contains('&')) {
            flags |= Qt::TextShowMnemonic;
            QStyleOption option;
            option.initFrom(this);
            if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
                flags |= Qt::TextHideMnemonic;
        }
        p.translate(r.topLeft());
        p.scale(across, 1);
        style()->drawItemText(&p, QRect(0, 0, static_cast<int>(std::ceil(r.width() / across)), r.height()), flags,
                              palette(), isEnabled(), text(), foregroundRole());
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

void OptionButton::narrow(const QFont& face, int percent)
{
    if (narrowing_.set(face, percent))
        update();
}

void OptionButton::paintEvent(QPaintEvent* event)
{
    if (!narrowing_.on()) {
        QRadioButton::paintEvent(event);
        return;
    }
    // As the style draws an option button: its circle, its caption (here
    // narrowed) and, with the focus, a frame round the caption.
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.fontMetrics = QFontMetrics(narrowing_.face);
    QStyle* s = style();
    QStyleOptionButton part = option;
    part.rect = s->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
    s->drawPrimitive(QStyle::PE_IndicatorRadioButton, &part, &p, this);

    const double across = narrowing_.percent / 100.0;
    const QRect contents = s->subElementRect(QStyle::SE_RadioButtonContents, &option, this);
    p.save();
    p.setFont(narrowing_.face);
    p.translate(contents.topLeft());
    p.scale(across, 1);
    part.rect = QRect(0, 0, static_cast<int>(std::ceil(contents.width() / across)), contents.height());
    s->drawControl(QStyle::CE_RadioButtonLabel, &part, &p, this);
    p.restore();

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        // Round the caption as it is drawn: its left edge stays, its width narrows.
        const QRect caption = s->subElementRect(QStyle::SE_RadioButtonFocusRect, &option, this);
        const int left = caption.left() - contents.left();
        focus.rect = QRect(contents.left() + static_cast<int>(left * across), caption.top(),
                           static_cast<int>(std::ceil(caption.width() * across)), caption.height());
        s->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
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
    onEvent(button, QEvent::Shortcut, [button](QEvent* e) {
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

namespace {

class Hooks : public QObject {
public:
    explicit Hooks(QObject* watched) : QObject(watched), watched_(watched)
    {
        all().insert(watched, this);
        watched->installEventFilter(this);
    }
    ~Hooks() override { all().remove(watched_); }

    static Hooks* of(QObject* watched)
    {
        Hooks* h = all().value(watched);
        return h ? h : new Hooks(watched);
    }

    void add(int type, std::function<bool(QEvent*)> action)
    {
        // One added while the hooks are being asked waits until they have been.
        (asking_ ? added_ : hooks_).push_back({type, std::move(action)});
        hooked_.add(type);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const int type = event->type();
        if (!hooked_.mayHave(type))
            return false; // most events: a paint, a move, a timer
        bool consumed = false;
        asking_ = true;
        for (std::size_t i = hooks_.size(); i-- > 0 && !consumed;)
            if (hooks_[i].type == type)
                consumed = hooks_[i].action(event);
        asking_ = false;
        if (!added_.empty()) {
            for (Hook& h : added_)
                hooks_.push_back(std::move(h));
            added_.clear();
        }
        return consumed || QObject::eventFilter(watched, event);
    }

private:
    struct Hook {
        int type;
        std::function<bool(QEvent*)> action;
    };
    static QHash<const QObject*, Hooks*>& all()
    {
        static QHash<const QObject*, Hooks*> hooks;
        return hooks;
    }

    const QObject* watched_;
    std::vector<Hook> hooks_, added_;
    detail::EventTypes hooked_;
    bool asking_ = false;
};

} // namespace

void onEvent(QObject* watched, int eventType, std::function<bool()> action)
{
    onEvent(watched, eventType, [action = std::move(action)](QEvent*) { return action(); });
}

void onEvent(QObject* watched, int eventType, std::function<bool(QEvent*)> action)
{
    Hooks::of(watched)->add(eventType, std::move(action));
}

// The windows are laid out for SimSun: half-width Latin letters, lines one em
// apart. In a face with wider letters or taller lines (Noto Serif CJK) each
// caption still stands whole in its place: a line up to 30 % too wide is
// drawn condensed just enough, and the lines of a table of lines
// closer together, down to one em. A caption laid out to wrap stays as it is.
namespace {

// Whether `text` surely stands whole in `room` pixels, by the widths of its
// characters one by one, without laying the text out as drawing it does: a
// layout narrows or widens a caption (kerning, ligatures) by far less than
// the margin kept here. Each character of a face is measured once, for every
// window; a character outside the basic plane is left to the exact measure.
bool surelyFits(const QFont& face, const QString& text, int room)
{
    // By face: a window has a few, told apart without spelling each out.
    static std::vector<std::pair<QFont, QHash<char16_t, qreal>>> widths;
    auto entry = std::find_if(widths.begin(), widths.end(), [&face](const auto& f) { return f.first == face; });
    if (entry == widths.end())
        entry = widths.insert(widths.end(), {face, {}});
    QHash<char16_t, qreal>& known = entry->second;
    std::optional<QFontMetricsF> metrics;
    qreal width = 0;
    for (const QChar c : text) {
        if (c.isSurrogate())
            return false;
        auto it = known.constFind(c.unicode());
        if (it == known.constEnd()) {
            if (!metrics)
                metrics.emplace(face);
            it = known.insert(c.unicode(), metrics->horizontalAdvance(c));
        }
        width += *it;
    }
    return width * 1.05 + 2 <= room;
}

// A button's caption as it is drawn: each access key's & left out, && as &.
QString withoutAccessKey(const QString& caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && ++i == caption.size())
            break;
        shown += caption[i];
    }
    return shown;
}

} // namespace

void fitCaption(QWidget* w)
{
    // Measured in the face as the window gave it, not as an earlier fitting
    // condensed it; a caption that fits keeps that very font, so that it
    // shares the window's font engine.
    const char* const given = "elcartaGivenFont";
    // Only a narrowed caption carries it: looked for among the properties set
    // on the control before Qt is asked for it by name.
    const QFont original = w->dynamicPropertyNames().contains(given) ? w->property(given).value<QFont>() : w->font();
    QFont face = original;
    const QFontMetrics m(face);
    int width = 0, room = 0;
    if (auto* label = qobject_cast<ClickLabel*>(w)) {
        const QStringList lines = label->text().remove('\r').split('\n');
        room = label->contentsRect().width();
        // Measured exactly only where it may not stand whole.
        for (const QString& line : lines)
            if (!surelyFits(face, line, room))
                width = std::max(width, m.horizontalAdvance(line));
        const int pitch = label->height() / static_cast<int>(lines.size());
        const bool closer = lines.size() > 1 && pitch < m.lineSpacing() && pitch >= QFontInfo(face).pixelSize();
        if (closer || label->linePitch() != m.lineSpacing())
            label->setLinePitch(closer ? pitch : 0);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton caption;
        caption.initFrom(button);
        caption.text = button->text();
        const QStyle::SubElement contents =
            qobject_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents;
        room = button->style()->subElementRect(contents, &caption, button).width();
        if (!surelyFits(face, withoutAccessKey(caption.text), room))
            width = m.size(Qt::TextShowMnemonic, caption.text).width();
    }
    int percent = 100;
    if (width > room && room * 10 >= width * 7) {
        percent = room * 100 / width;
        face.setStretch(percent);
        w->setProperty(given, original);
    }
    // Labels and options draw a narrowed caption themselves, in the face given.
    if (auto* label = qobject_cast<ClickLabel*>(w))
        label->narrow(original, percent);
    else if (auto* option = dynamic_cast<OptionButton*>(w))
        option->narrow(original, percent);
    if (face != w->font())
        w->setFont(face);
}

} // namespace ui
