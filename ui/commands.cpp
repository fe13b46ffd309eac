#include "commands.h"

#include "form.h"
#include "widgets.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFont>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <memory>

namespace ui {

void attachCommands(Form& form, std::vector<Command> list)
{
    QWidget* window = form.window();
    auto commands = std::make_shared<const std::vector<Command>>(std::move(list));

    auto addEntries = [commands](QMenu* menu) {
        for (const Command& c : *commands) {
            if (c.startsGroup && !menu->isEmpty())
                menu->addSeparator();
            QAction* a = menu->addAction(c.text, c.run);
            if (!c.keys.isEmpty())
                a->setShortcut(c.keys);
        }
    };
    // A popup, never a blocking menu loop; it goes when it closes. A popup
    // takes no font from its window: the whole menu, Qt's edit entries and
    // the window's, is drawn in the window's face at the menu's own size.
    auto popup = [window](QMenu* menu, QEvent* event) {
        QFont face = menu->font();
        face.setFamilies(window->font().families());
        menu->setFont(face);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        event->accept();
        return true;
    };
    // A text field keeps its own edit actions, the window's entries follow.
    auto afterEditActions = [=](QObject* watched, auto standardMenu) {
        onEvent(watched, QEvent::ContextMenu, [=](QEvent* event) {
            QMenu* menu = standardMenu();
            menu->addSeparator();
            addEntries(menu);
            return popup(menu, event);
        });
    };
    for (QLineEdit* edit : window->findChildren<QLineEdit*>())
        afterEditActions(edit, [edit] { return edit->createStandardContextMenu(); });
    for (QPlainTextEdit* edit : window->findChildren<QPlainTextEdit*>()) {
        afterEditActions(edit, [edit] { return edit->createStandardContextMenu(); });             // the menu key
        afterEditActions(edit->viewport(), [edit] { return edit->createStandardContextMenu(); }); // the mouse
    }
    // A drop-down list hands a right-click on its arrow, and the menu key, to
    // its text part's menu without passing that part's hook.
    for (QComboBox* box : window->findChildren<QComboBox*>())
        if (QLineEdit* edit = box->lineEdit())
            afterEditActions(box, [edit] { return edit->createStandardContextMenu(); });
    // Everything else passes the right-click on to the window: its background,
    // labels, buttons, frames and lists.
    onEvent(window, QEvent::ContextMenu, [=](QEvent* event) {
        auto* menu = new QMenu(window);
        menu->setObjectName(QStringLiteral("commandMenu"));
        addEntries(menu);
        return popup(menu, event);
    });

    // Shift+F10 opens the menu where the focus is, as the menu key does.
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), window);
    menuKey->setContext(Qt::WindowShortcut);
    menuKey->setAutoRepeat(false);
    QObject::connect(menuKey, &QShortcut::activated, &form, [window] {
        QWidget* at = window->focusWidget() ? window->focusWidget() : window;
        const QPoint middle = at->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, middle, at->mapToGlobal(middle));
        QCoreApplication::sendEvent(at, &event);
    });

    for (const Command& c : *commands) {
        if (c.keys.isEmpty())
            continue;
        auto* key = new QShortcut(c.keys, window);
        key->setContext(Qt::WindowShortcut);
        key->setAutoRepeat(false);
        QObject::connect(key, &QShortcut::activated, &form, c.run);
    }
}

} // namespace ui
