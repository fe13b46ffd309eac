#pragma once

#include "app/ui/control.h"

#include <functional>

namespace ui { class Form; }

namespace load {
// The load calculation window's table (load_table.cpp).
const ui::Table& window();
// The load calculation window; `back` returns to the menu.
ui::Form* buildWindow(std::function<void()> back);
}
