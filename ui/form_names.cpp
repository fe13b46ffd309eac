#include "form.h"

#include "accessible.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

// How the engineer knows which control is meant: the caption beside it, as a
// screen reader says it and a note writes it.

namespace ui {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

namespace {

// Where the link from `w` leads, if it was made from this very control.
template <class Links> QWidget* linked(const Links& links, const QWidget* w)
{
    const auto it = links.find(w);
    return it != links.end() && it->second.from == w ? it->second.to.data() : nullptr;
}

} // namespace

QWidget* Form::buddyOf(const QWidget* caption) const
{
    if (auto* l = qobject_cast<const QLabel*>(caption))
        return l->buddy();
    return linked(buddies_, caption);
}

void Form::nameBy(QWidget* caption, QWidget* control)
{
    if (!caption || !control)
        return;
    if (auto* l = qobject_cast<QLabel*>(caption))
        l->setBuddy(control); // the "labelled by" relation, and the label's access key
    else
        buddies_[caption] = {caption, control};
    captions_[control] = {control, caption};
}

QWidget* Form::captionOf(const QWidget* control) const
{
    if (!control)
        return nullptr;
    // A caption since linked to another field no longer names this one.
    QWidget* caption = linked(captions_, control);
    return caption && buddyOf(caption) == control ? caption : nullptr;
}

QString Form::describe(std::string_view name) const
{
    const QWidget* w = control(name);
    return w ? describe(w) : qs(name);
}

QString Form::describe(const QWidget* w) const
{
    if (const QWidget* caption = captionOf(w)) {
        const auto* l = qobject_cast<const QLabel*>(caption);
        const QString shown = l ? l->text() : static_cast<const QAbstractButton*>(caption)->text();
        if (const QString spoken = spokenCaption(shown).remove('&'); !spoken.isEmpty())
            return spoken;
    }
    if (const Control* c = table_->find(w->objectName().toStdString()); c && !c->spoken.empty())
        return qs(c->spoken);
    return w->toolTip().isEmpty() ? w->objectName() : w->toolTip();
}

void Form::refreshName(QWidget* w)
{
    const QString name = describe(w);
    w->setAccessibleName(name);
    if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit())
        box->lineEdit()->setAccessibleName(name);
}

} // namespace ui
