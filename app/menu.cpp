#include "menu.h"

#include "calculators.h"
#include "builder.h"
#include "clock.h"
#include "keys.h"
#include "widgets.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>

using namespace ui;

namespace {

const char* const shownAtProperty = "elcarta_shownAt";
const char* const shownSerialProperty = "elcarta_shownAtKey";

} // namespace

bool menuJustShown(const QWidget* menu)
{
    const QVariant at = menu ? menu->property(shownAtProperty) : QVariant();
    return at.isValid() && clock::now() - at.toLongLong() < 500;
}

ui::Form* buildMenu(std::function<void(const std::string&)> open, std::function<void()> end)
{
    Form* form = build(menuWindow());

    for (const Calculator& c : calculators()) {
        const std::string target = c.window;
        form->onClick(c.menuButton, [open, target] { open(target); });
    }
    form->onClick("END", std::move(end));

    // Alt+E leaves a calculator for this menu, whose own Alt+E ends the
    // program with every figure in it. The menu's exit answers only a press
    // of the key that began after the menu appeared (one still held from the
    // calculator is let go first), and not within half a second of it
    // appearing (a bounce, or a double press meant for the calculator). A
    // click always works.
    QWidget* menu = form->window();
    onEvent(menu, QEvent::Show, [menu] {
        menu->setProperty(shownAtProperty, clock::now());
        menu->setProperty(shownSerialProperty, keys::serial());
        return false;
    });
    onEvent(form->control("END"), QEvent::Shortcut, [menu] {
        const QVariant serial = menu->property(shownSerialProperty);
        const bool heldSinceBefore = serial.isValid() && keys::pressedAt(Qt::Key_E) <= serial.toULongLong();
        return menuJustShown(menu) || heldSinceBefore;
    });
    return form;
}
