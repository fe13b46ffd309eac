#include "accessible.h"

#include "widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

namespace ui {

namespace {

const char* const windowMark = "elcartaWindow";

// The program's windows are plain widgets, which Qt presents as a "filler";
// a screen reader needs to hear a window with its caption.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Window) {}
};

// A label: its caption as its name; a clickable one is a button that a
// screen reader can press.
class LabelAccessible : public QAccessibleWidget {
public:
    explicit LabelAccessible(ClickLabel* l) : QAccessibleWidget(l, QAccessible::StaticText) {}

    ClickLabel* label() const { return static_cast<ClickLabel*>(widget()); }

    QAccessible::Role role() const override
    {
        return label()->isClickable() ? QAccessible::Button : QAccessible::StaticText;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return spokenCaption(label()->text());
        return QAccessibleWidget::text(t);
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        if ((match & QAccessible::Labelled) && label()->buddy())
            found.append({QAccessible::queryAccessibleInterface(label()->buddy()), QAccessible::Labelled});
        return found;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (label()->isClickable())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction() && label()->isClickable())
            label()->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

// A note appears as an alert, so that a screen reader reads it out at once.
class NoteAccessible : public QAccessibleWidget {
public:
    explicit NoteAccessible(Note* n) : QAccessibleWidget(n, QAccessible::AlertMessage) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// On Linux Qt names an editable drop-down list by its text ("0.05"); a
// screen reader must hear what the list holds, with the text as its value.
class ComboAccessible : public QAccessibleWidget {
public:
    explicit ComboAccessible(QComboBox* c) : QAccessibleWidget(c, QAccessible::ComboBox) {}

    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = combo()->isEditable();
        s.hasPopup = true;
        return s;
    }

    QStringList actionNames() const override { return QStringList{showMenuAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* w = static_cast<QWidget*>(object);
    if (className == QLatin1String("ui::Note"))
        return new NoteAccessible(static_cast<Note*>(w));
    if (className == QLatin1String("ui::ClickLabel"))
        return new LabelAccessible(static_cast<ClickLabel*>(w));
    if (className == QLatin1String("QComboBox"))
        return new ComboAccessible(static_cast<QComboBox*>(w));
    if (className == QLatin1String("QWidget") && w->isWindow() && w->property(windowMark).toBool())
        return new WindowAccessible(w);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

void markWindow(QWidget* window) { window->setProperty(windowMark, true); }

QString spokenCaption(const QString& caption)
{
    static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return QString(caption).replace(breaks, QStringLiteral(" ")).trimmed();
}

void announce(QWidget* note)
{
    // Showing the note already tells a Linux screen reader that an alert
    // appeared; Windows screen readers listen for the alert event itself.
    QAccessibleEvent alert(note, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace ui
