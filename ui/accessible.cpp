#include "accessible.h"

#include "widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QtGlobal>
#include <map>

namespace ui {

namespace {

const char* const windowMark = "elcartaWindow";

// Where a screen reader's bridge expects the screen's own pixels and is handed
// the program's: Qt's interfaces give places in device-independent pixels.
// The Windows bridge turns them into the screen's pixels itself, and macOS
// counts in points as Qt does; Qt's AT-SPI bridge passes rect() on unchanged
// (GetExtents, GetPosition, GetSize) and hands the tool's own point to
// childAt(). At QT_SCALE_FACTOR=1.5 the calculators' 939×804 pixels were told
// as 626×536, so a magnifier or mouse review pointed two thirds of the way to
// each control.
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
QRect onScreen(const QWidget*, const QRect& r) { return r; }
QPoint fromScreen(const QWidget*, const QPoint& p) { return p; }
#else
// As Qt maps a place to the screen's pixels: scaled about the screen's corner,
// which both counts share.
QRect onScreen(const QWidget* w, const QRect& r)
{
    const QScreen* screen = w->screen();
    if (!screen || r.isNull())
        return r;
    const qreal ratio = screen->devicePixelRatio();
    const QPoint corner = screen->geometry().topLeft();
    return QRect((r.topLeft() - corner) * ratio + corner, r.size() * ratio);
}
QPoint fromScreen(const QWidget* w, const QPoint& p)
{
    const QScreen* screen = w->screen();
    if (!screen)
        return p;
    const QPoint corner = screen->geometry().topLeft();
    return (p - corner) / screen->devicePixelRatio() + corner;
}
#endif

// The program's own interfaces report where they are in the screen's pixels.
// The fields, buttons, options and frames keep Qt's interfaces, whose classes
// Qt keeps to itself: on Linux at a scale other than 1 their places stay in
// Qt's pixels (at 1.5 a field at 150,90 on the screen is told at 100,60), and
// a tool's point inside a frame finds another option or none. That is Qt's
// AT-SPI bridge's fault, seen on the bus as a field's GetExtents beside the
// label's next to it; at scale 1 every place is exact.
class PlacedAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    QRect rect() const override { return onScreen(widget(), QAccessibleWidget::rect()); }

    // The tool asks with a point on the screen; the children are found by
    // where their widgets are, whichever interface tells their places.
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = fromScreen(widget(), QPoint(x, y));
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* c = child(i);
            if (!c || c->state().invisible)
                continue;
            const auto* w = qobject_cast<const QWidget*>(c->object());
            if (w ? QRect(w->mapToGlobal(QPoint(0, 0)), w->size()).contains(at) : c->rect().contains(x, y))
                return c;
        }
        return nullptr;
    }
};

// The program's windows are plain widgets, which Qt presents as a "filler";
// a screen reader needs to hear a window with its caption. Qt names a
// minimised window by its icon text, which none has, and tells it as
// showing: a minimised calculator keeps its caption, and is not shown.
class WindowAccessible : public PlacedAccessible {
public:
    explicit WindowAccessible(QWidget* w) : PlacedAccessible(w, QAccessible::Window) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return widget()->windowTitle();
        return PlacedAccessible::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = PlacedAccessible::state();
        if (widget()->isMinimized())
            s.invisible = true; // Qt's states know no "iconified"
        return s;
    }
};

// A label: its caption as its name; a clickable one is a button that a
// screen reader can press, a plain caption offers no action at all.
class LabelAccessible : public PlacedAccessible {
public:
    explicit LabelAccessible(ClickLabel* l) : PlacedAccessible(l, QAccessible::StaticText) {}

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
        if (!label()->isClickable())
            return {};
        QStringList names = QAccessibleWidget::actionNames();
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
class NoteAccessible : public PlacedAccessible {
public:
    explicit NoteAccessible(Note* n) : PlacedAccessible(n, QAccessible::AlertMessage) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// On Linux Qt names an editable drop-down list by its text ("0.05"); a
// screen reader must hear what the list holds, with the text as its value.
class ComboAccessible : public PlacedAccessible {
public:
    explicit ComboAccessible(QComboBox* c) : PlacedAccessible(c, QAccessible::ComboBox) {}

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

// One item of a list, as a screen reader walks the list.
class ItemAccessible : public QAccessibleInterface {
public:
    ItemAccessible(QListWidget* list, int row) : list_(list), row_(row) {}

    bool isValid() const override { return list_ && row_ < list_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(list_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override
    {
        return isValid() && t == QAccessible::Name ? list_->item(row_)->text() : QString();
    }

    QRect rect() const override { return isValid() ? onScreen(list_, place()) : QRect(); }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.selectable = s.focusable = true;
        s.selected = list_->item(row_)->isSelected();
        s.focused = list_->hasFocus() && list_->currentRow() == row_;
        const QRect shown(list_->viewport()->mapToGlobal(QPoint(0, 0)), list_->viewport()->size());
        s.invisible = !list_->isVisible() || !shown.intersects(place());
        return s;
    }

private:
    // Where the item is, in Qt's pixels.
    QRect place() const
    {
        const QRect r = list_->visualItemRect(list_->item(row_));
        return QRect(list_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QPointer<QListWidget> list_;
    int row_;
};

// A list of catalogue items. Qt's own list leaves out who labels it; a
// screen reader must hear the caption above it ("可选线槽面积", "钢管管径").
class ListAccessible : public PlacedAccessible {
public:
    explicit ListAccessible(QListWidget* l) : PlacedAccessible(l, QAccessible::List) {}
    ~ListAccessible() override
    {
        for (const auto& [row, id] : items_)
            QAccessible::deleteAccessibleInterface(id);
    }

    QListWidget* list() const { return static_cast<QListWidget*>(widget()); }

    int childCount() const override { return list()->count(); }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= list()->count())
            return nullptr;
        auto found = items_.find(index);
        if (found == items_.end())
            found = items_.emplace(index, QAccessible::registerAccessibleInterface(new ItemAccessible(list(), index))).first;
        return QAccessible::accessibleInterface(found->second);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (const auto& [row, id] : items_)
            if (QAccessible::accessibleInterface(id) == child)
                return row;
        return -1;
    }

    QAccessibleInterface* focusChild() const override
    {
        return list()->hasFocus() && list()->currentRow() >= 0 ? child(list()->currentRow()) : nullptr;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = list()->viewport()->mapFromGlobal(fromScreen(list(), QPoint(x, y)));
        const int row = list()->row(list()->itemAt(at));
        return row >= 0 ? child(row) : nullptr;
    }

private:
    mutable std::map<int, QAccessible::Id> items_;
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
    if (className == QLatin1String("QListWidget"))
        return new ListAccessible(static_cast<QListWidget*>(w));
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

void markWindow(QWidget* window)
{
    window->setProperty(windowMark, true);
    // Minimising takes the window off the screen but leaves the widget
    // shown: screen readers are told that it went, and that it came back.
    onEvent(window, QEvent::WindowStateChange, [window](QEvent* event) {
        const bool was = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        if (was != window->isMinimized()) {
            QAccessibleEvent change(window, was ? QAccessible::ObjectShow : QAccessible::ObjectHide);
            QAccessible::updateAccessibility(&change);
        }
        return false;
    });
}

QString spokenCaption(const QString& caption)
{
    // Most captions are one line: no pattern to run over them.
    if (!caption.contains('\n') && !caption.contains('\r'))
        return caption.trimmed();
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
