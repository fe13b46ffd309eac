#pragma once

#include "app/ui/control.h"

#include <functional>

namespace ui { class Form; }

namespace lightning {
// The 防雷计算 window's table (lightning_table.cpp).
const ui::Table& window();
// The 防雷计算 window; `back` returns to the menu.
ui::Form* buildWindow(std::function<void()> back);
}
