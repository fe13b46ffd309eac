#include "form.h"

#include "accessible.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVariant>

// How the engineer knows which control is meant: the caption beside it, as a
// screen reader says it and a note writes it.

namespace ui {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// On a button that is the caption of a field: the field, as a label's buddy is.
const char* const buddyProperty = "elcartaBuddy";
// The same link seen from the field, so that a field finds its caption
// without going over the whole window.
const char* const captionProperty = "elcartaCaption";

} // namespace

QWidget* Form::buddyOf(const QWidget* caption)
{
    if (auto* l = qobject_cast<const QLabel*>(caption))
        return l->buddy();
    return caption->property(buddyProperty).value<QPointer<QWidget>>();
}

void Form::nameBy(QWidget* caption, QWidget* control)
{
    if (!caption || !control)
        return;
    if (auto* l = qobject_cast<QLabel*>(caption))
        l->setBuddy(control); // the "labelled by" relation, and the label's access key
    else
        caption->setProperty(buddyProperty, QVariant::fromValue(QPointer<QWidget>(control)));
    control->setProperty(captionProperty, QVariant::fromValue(QPointer<QWidget>(caption)));
}

QWidget* Form::captionOf(const QWidget* control) const
{
    if (!control)
        return nullptr;
    // A caption since linked to another field no longer names this one.
    QWidget* caption = control->property(captionProperty).value<QPointer<QWidget>>();
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
