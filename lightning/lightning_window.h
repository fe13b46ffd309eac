#pragma once

#include "lightning_table.h"

#include <functional>

namespace ui { class Form; }

namespace lightning {
// The 防雷计算 window; `back` returns to the menu.
ui::Form* buildWindow(std::function<void()> back);
}
