#pragma once

#include "load_table.h"

#include <functional>

namespace ui { class Form; }

namespace load {
// The 负荷计算 window; `back` returns to the menu.
ui::Form* buildWindow(std::function<void()> back);
}
