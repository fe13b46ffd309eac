#include "commands.h"

#include "app_filter.h"
#include "form.h"
#include "widgets.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <memory>

namespace ui {

namespace {

// The right-click menus of every window with commands, behind one watcher of
// the application's context-menu events: a window's controls carry no hook
// of their own, which every other event of theirs would pass.
class Menus : public QObject {
public:
    using Entries = std::function<void(QMenu*)>;

    void add(QWidget* window, Entries entries)
    {
        if (!windows_.contains(window))
            connect(window, &QObject::destroyed, this, [this, window] { windows_.remove(window); });
        windows_.insert(window, std::move(entries));
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ContextMenu || !watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        const auto it = windows_.constFind(w->window());
        if (it == windows_.constEnd())
            return false;
        // A text field keeps its own edit actions, the window's entries
        // follow: a field, a multi-line field (the menu key reaches the
        // field, the mouse its viewport), a drop-down list's text part, and
        // the list itself, which hands a right-click on its arrow and the
        // menu key to that part's menu without passing it as an event.
        QMenu* menu = nullptr;
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            menu = edit->createStandardContextMenu();
        else if (auto* text = multiLine(w))
            menu = text->createStandardContextMenu();
        else if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit())
            menu = box->lineEdit()->createStandardContextMenu();
        else if (w->isWindow()) {
            // Everything else passes the right-click on to the window: its
            // background, labels, buttons, frames and lists.
            menu = new QMenu(w);
            menu->setObjectName(QStringLiteral("commandMenu"));
        } else
            return false;
        if (!w->isWindow())
            menu->addSeparator();
        it.value()(menu);
        // A popup, never a blocking menu loop; it goes when it closes. A
        // popup takes no font from its window: the whole menu, Qt's edit
        // entries and the window's, is drawn in the window's face at the
        // menu's own size.
        QFont face = menu->font();
        face.setFamilies(w->window()->font().families());
        menu->setFont(face);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        event->accept();
        return true;
    }

private:
    static QPlainTextEdit* multiLine(QWidget* w)
    {
        if (auto* text = qobject_cast<QPlainTextEdit*>(w))
            return text;
        auto* text = qobject_cast<QPlainTextEdit*>(w->parentWidget());
        return text && text->viewport() == w ? text : nullptr;
    }

    QHash<const QWidget*, Entries> windows_;
};

Menus* menus = nullptr;

} // namespace

void attachCommands(Form& form, std::vector<Command> list)
{
    QWidget* window = form.window();
    auto commands = std::make_shared<const std::vector<Command>>(std::move(list));

    installApplicationFilter(menus, {QEvent::ContextMenu});
    if (menus)
        menus->add(window, [commands](QMenu* menu) {
            for (const Command& c : *commands) {
                if (c.startsGroup && !menu->isEmpty())
                    menu->addSeparator();
                QAction* a = menu->addAction(c.text, c.run);
                if (!c.keys.isEmpty())
                    a->setShortcut(c.keys);
            }
        });

    auto addKey = [&form](const QKeySequence& keys, std::function<void()> run) {
        QObject::connect(form.addKey({keys}), &QAction::triggered, &form, [run = std::move(run)] { run(); });
    };
    // Shift+F10 opens the menu where the focus is, as the menu key does.
    addKey(QKeySequence(Qt::SHIFT | Qt::Key_F10), [window] {
        QWidget* at = window->focusWidget() ? window->focusWidget() : window;
        const QPoint middle = at->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, middle, at->mapToGlobal(middle));
        QCoreApplication::sendEvent(at, &event);
    });
    for (const Command& c : *commands)
        if (!c.keys.isEmpty())
            addKey(c.keys, c.run);
}

} // namespace ui
