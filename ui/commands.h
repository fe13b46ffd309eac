#pragma once
// What a window offers beyond its own controls — the sheet, the project, the
// cases — as commands: each one an entry of the window's right-click menu
// and, where it has one, a key. The menu is a popup, never a dialog; it comes
// after a text field's own edit actions, and anywhere else on the window.

#include <QKeySequence>
#include <QString>
#include <functional>
#include <vector>

namespace ui {

class Form;

struct Command {
    QString text;       // the entry's text, 复制计算书
    QKeySequence keys;  // none for an entry without a key
    std::function<void()> run;
    bool startsGroup = false; // a line before the entry
};

// Installs the commands on the window. A key held down until it repeats runs
// its command once.
void attachCommands(Form& form, std::vector<Command> commands);

} // namespace ui
