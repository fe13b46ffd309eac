#pragma once

#include "app/ui/control.h"

#include <functional>

namespace ui { class Form; }

namespace lighting {
// The 照度计算 window's table (lighting_table.cpp).
const ui::Table& window();
// The 照度计算 window; `back` returns to the menu.
ui::Form* buildWindow(std::function<void()> back);
}
