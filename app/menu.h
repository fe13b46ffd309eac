#pragma once

#include "menu_table.h"

#include <functional>
#include <string>

class QWidget;
namespace ui { class Form; }

// The main menu window.
ui::Form* buildMenu(std::function<void(const std::string& window)> open, std::function<void()> end);

// Whether the menu appeared less than half a second ago. A close request for it
// then (Alt+F4 or the title bar's button pressed twice, the first time for the
// calculator it replaced) is no request to end the program.
bool menuJustShown(const QWidget* menu);
