#include "form.h"

#include "accessible.h"
#include "notes.h"
#include "widgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVariant>
#include <algorithm>
#include <climits>
#include <vector>

namespace ui {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool strictNames =
#ifdef NDEBUG
    false;
#else
    true;
#endif

} // namespace

void setStrictNames(bool strict) { strictNames = strict; }

Form::Form(QWidget* window, const Table& table, QWidget* canvas)
    : QObject(window), window_(window), canvas_(canvas ? canvas : window), table_(&table)
{
    // The red frame is drawn on the window around the field, so that the
    // field itself is never touched and looks exactly as before.
    onEvent(canvas_, QEvent::Paint, [this] {
        paintMark();
        return false;
    });
}

Note* Form::note(bool failure) const
{
    Note*& note = failure ? failureNote_ : messageNote_;
    if (note)
        return note;
    QFont face = window_->font();
    face.setPointSizeF(10.5);
    note = new Note(failure ? Note::Tone::Failure : Note::Tone::Message, canvas_);
    note->setObjectName(failure ? "failureNotice" : "messageNotice");
    note->setFont(face);
    if (!failure)
        connect(note, &ClickLabel::clicked, this, [this] {
            // The handler may show another message, which replaces this one.
            if (const std::function<void()> click = messageClick_)
                click();
        });
    return note;
}

namespace {

// A dynamic property of a widget, or none: asking the widget for it straight
// away would first go over every property its classes declare.
QVariant dynamicProperty(const QObject* o, const char* name)
{
    return o->dynamicPropertyNames().contains(name) ? o->property(name) : QVariant();
}

} // namespace

QWidget* Form::control(std::string_view name, int index) const
{
    if (QWidget* w = known(name, index))
        return w;
    // Not found as the window stood when last gone over: gone over again.
    named_.clear();
    for (QWidget* w : window_->findChildren<QWidget*>()) {
        const QString found = w->objectName();
        if (found.isEmpty())
            continue;
        Named& n = named_[found.toStdString()];
        n.name = found;
        const QVariant i = dynamicProperty(w, "index");
        n.controls.emplace_back(w, i.isValid() ? i.toInt() : -1);
    }
    if (QWidget* w = known(name, index))
        return w;
    unknown(name);
    return nullptr;
}

void Form::adopt(QWidget* control, int index)
{
    const QString name = control->objectName();
    Named& n = named_[name.toStdString()];
    n.name = name;
    n.controls.emplace_back(control, index);
}

QWidget* Form::known(std::string_view name, int index) const
{
    const auto it = named_.find(name);
    if (it == named_.end())
        return nullptr;
    // What was found stands while the control asked for is still there, in
    // the window, under its name; a control gone or renamed since has its
    // pointer cleared or its name changed, and the window is gone over again.
    for (const auto& [w, i] : it->second.controls) {
        if (index >= 0 && i != index)
            continue;
        if (!w || w->objectName() != it->second.name || !window_->isAncestorOf(w))
            return nullptr;
        return w;
    }
    return nullptr;
}

void Form::unknown(std::string_view name) const
{
    // A name no control has is a slip in a table or a handler: it must not pass unseen.
    if (strictNames)
        qFatal("%s has no control named %.*s", qPrintable(window_->objectName()), static_cast<int>(name.size()),
               name.data());
}

QString Form::text(std::string_view name) const
{
    QWidget* w = control(name);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        return m->toPlainText().replace('\n', "\r\n");
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    return {};
}

void Form::setText(std::string_view name, const QString& text)
{
    QWidget* w = control(name);
    // A text written as it stands is no change: nothing to repaint.
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != text)
            e->setText(text);
        if (e->cursorPosition() != 0)
            e->setCursorPosition(0); // a written result is read from its first digit
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        const QString lines = QString(text).replace("\r\n", "\n");
        if (m->toPlainText() != lines)
            m->setPlainText(lines);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (const int item = c->findText(text); item >= 0)
            c->setCurrentIndex(item); // the list opens on the item shown
        c->setEditText(text);
    } else if (qobject_cast<QLabel*>(w))
        setCaption(name, text);
}

bool Form::isChecked(std::string_view name) const
{
    auto* b = qobject_cast<QAbstractButton*>(control(name));
    return b && b->isChecked();
}

void Form::setCaption(std::string_view name, const QString& caption)
{
    QWidget* w = control(name);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->text() != caption) {
            b->setText(caption); // a button is named by its text, so its name follows
            fitCaption(b);
            if (QWidget* named = buddyOf(b))
                refreshName(named);
            emit changed();
        }
    }
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(caption);
    else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(caption);
        fitCaption(l);
        if (l->buddy())
            refreshName(l->buddy());
    }
}

void Form::setShown(std::string_view name, bool shown)
{
    if (QWidget* w = control(name); w && w->isVisibleTo(window_) != shown) {
        w->setVisible(shown);
        emit changed();
    }
}

void Form::handle(const std::string& control, const std::function<void()>& handler)
{
    if (restoring_)
        return;
    triggers_.push_back(control);
    handler();
    triggers_.pop_back();
}

void Form::onClick(std::string_view name, std::function<void()> handler)
{
    // Every element of an array, as the window's controls were last gone over.
    if (!control(name))
        return;
    bool labels = false;
    auto run = [this, trigger = std::string(name), handler] { handle(trigger, handler); };
    std::vector<QWidget*> found;
    for (const auto& [w, i] : named_.find(name)->second.controls)
        if (w)
            found.push_back(w);
    for (QWidget* w : found) {
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            connect(b, &QAbstractButton::clicked, this, run);
        else if (auto* l = qobject_cast<ClickLabel*>(w)) {
            l->setClickable(true);
            connect(l, &ClickLabel::clicked, this, run);
            labels = true;
        }
    }
    if (labels)
        linkFocusChain();
}

void Form::onChange(std::string_view name, std::function<void()> handler)
{
    QWidget* w = control(name);
    const std::string control(name);
    auto run = [this, control, handler] { handle(control, handler); };
    if (auto* e = qobject_cast<QLineEdit*>(w))
        connect(e, &QLineEdit::textChanged, this, run);
    else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        connect(m, &QPlainTextEdit::textChanged, this, run);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        connect(c, &QComboBox::editTextChanged, this, run);
}

void Form::onDoubleClick(std::string_view name, std::function<void()> handler)
{
    QWidget* w = control(name);
    if (auto* c = qobject_cast<QComboBox*>(w))
        w = c->lineEdit();
    const std::string control(name);
    if (w)
        onEvent(w, QEvent::MouseButtonDblClick, [this, control, handler] {
            handle(control, handler);
            return true;
        });
}

void Form::watchChanges()
{
    for (const Control& c : table_->controls) {
        QWidget* w = control(c.name, c.index);
        const std::string name = c.name;
        // A text changed by anything but a step's write (which puts the
        // record back right after) is no longer what the record says.
        auto edited = [this, name] {
            records_.erase(name);
            emit changed();
        };
        if (auto* e = qobject_cast<QLineEdit*>(w))
            connect(e, &QLineEdit::textChanged, this, edited);
        else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
            connect(m, &QPlainTextEdit::textChanged, this, edited);
        else if (auto* box = qobject_cast<QComboBox*>(w))
            connect(box, &QComboBox::editTextChanged, this, edited);
        else if (auto* o = qobject_cast<QRadioButton*>(w))
            connect(o, &QRadioButton::toggled, this, &Form::changed);
        else if (auto* l = qobject_cast<QListWidget*>(w))
            connect(l, &QListWidget::currentRowChanged, this, &Form::changed);
    }
}

RecordPtr Form::record(std::string_view field) const
{
    const auto it = records_.find(field);
    return it == records_.end() ? nullptr : it->second;
}

void Form::write(std::string_view field, const QString& text, RecordPtr record)
{
    setText(field, text);
    if (record && !text.isEmpty())
        records_[std::string(field)] = std::move(record);
    else
        records_.erase(std::string(field));
}

void Form::stepFailed(Failed failure)
{
    const std::string by = failure.by;
    failures_[by] = std::move(failure);
}

void Form::stepSucceeded(const std::string& by)
{
    if (const auto it = failures_.find(by); it != failures_.end())
        failures_.erase(it);
}

State Form::snapshot() const
{
    State s;
    for (const Control& c : table_->controls) {
        QWidget* w = control(c.name, c.index);
        switch (c.kind) {
        case Kind::Field:
        case Kind::MultiField:
        case Kind::Combo: s.texts[c.name] = text(c.name).toStdString(); break;
        case Kind::Option:
            if (isChecked(c.name))
                s.checked.insert(c.name);
            break;
        case Kind::List:
            s.shown[c.name] = w && w->isVisibleTo(window_);
            if (auto* l = qobject_cast<QListWidget*>(w))
                s.current[c.name] = l->currentRow();
            break;
        case Kind::Button:
            if (const std::string shown = text(c.name).toStdString(); shown != c.caption)
                s.captions[c.name] = shown;
            break;
        default: break;
        }
    }
    for (const auto& [field, record] : records_)
        s.records[field] = record;
    for (const auto& [by, failure] : failures_)
        s.failures[by] = failure;
    s.steps = steps_;
    return s;
}

void Form::restore(const State& s)
{
    restoring_ = true;
    clearFailure();
    clearMessage();
    for (const Control& c : table_->controls) {
        QWidget* w = control(c.name, c.index);
        switch (c.kind) {
        case Kind::Field:
        case Kind::MultiField:
        case Kind::Combo: {
            const auto it = s.texts.find(c.name);
            setText(c.name, qs(it == s.texts.end() ? c.caption : it->second));
            break;
        }
        case Kind::Option: {
            bool anyInGroup = false;
            for (const Control* member : table_->group(c.name))
                anyInGroup = anyInGroup || s.isChecked(member->name);
            const bool on = anyInGroup ? s.isChecked(c.name) : c.selected;
            if (on)
                if (auto* o = qobject_cast<QAbstractButton*>(w))
                    o->setChecked(true);
            break;
        }
        case Kind::List: {
            const auto shown = s.shown.find(c.name);
            setShown(c.name, shown == s.shown.end() ? !c.hidden : shown->second);
            const auto current = s.current.find(c.name);
            if (auto* l = qobject_cast<QListWidget*>(w))
                l->setCurrentRow(current == s.current.end() ? -1 : current->second);
            break;
        }
        case Kind::Button: {
            const auto it = s.captions.find(c.name);
            setCaption(c.name, qs(it == s.captions.end() ? c.caption : it->second));
            break;
        }
        default: break;
        }
    }
    records_.clear();
    for (const auto& [field, record] : s.records)
        if (record)
            records_[field] = record;
    failures_.clear();
    for (const auto& [by, failure] : s.failures)
        failures_[by] = failure;
    steps_ = s.steps;
    restoring_ = false;
    emit changed();
}

QAction* Form::addKey(const QList<QKeySequence>& keys)
{
    auto* key = new QAction(this);
    // The keys are taken once they are set, and taken again at each later change.
    key->setShortcutContext(Qt::WindowShortcut);
    key->setAutoRepeat(false);
    key->setShortcuts(keys);
    window_->addAction(key);
    return key;
}

void Form::setDefaultButton(std::string_view name)
{
    auto* button = qobject_cast<QPushButton*>(control(name));
    if (!button)
        return;
    button->setDefault(true);
    QWidget* window = window_;
    QAction* enter = addKey({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(enter, &QAction::triggered, button, [window, button] {
        auto* focused = qobject_cast<QPushButton*>(window->focusWidget());
        (focused ? focused : button)->click();
    });
    // A multi-line field would keep Enter for a line break; here it passes
    // Enter on to the window like every other field (Ctrl+Enter still breaks).
    for (QPlainTextEdit* field : window_->findChildren<QPlainTextEdit*>()) {
        onEvent(field, QEvent::ShortcutOverride, [](QEvent* event) {
            const auto* key = static_cast<QKeyEvent*>(event);
            return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier;
        });
    }
}

void Form::setTabIndex(QWidget* control, double tab)
{
    for (auto& [w, t] : tabIndexes_)
        if (w == control) {
            t = tab;
            return;
        }
    tabIndexes_.emplace_back(control, tab);
}

std::optional<double> Form::tabIndex(const QWidget* control) const
{
    for (const auto& [w, t] : tabIndexes_)
        if (w == control)
            return t;
    return std::nullopt;
}

void Form::linkFocusChain()
{
    // Controls gone since are forgotten; the chain is linked again as
    // labels become clickable, from the indexes alone.
    std::erase_if(tabIndexes_, [](const auto& entry) { return entry.first.isNull(); });
    std::vector<std::pair<double, QWidget*>> chain;
    for (const auto& [w, tab] : tabIndexes_)
        if ((w->focusPolicy() & Qt::ClickFocus) && window_->isAncestorOf(w))
            chain.emplace_back(tab, w);
    std::stable_sort(chain.begin(), chain.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1].second, chain[i].second);
}

} // namespace ui
