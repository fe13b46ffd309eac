#pragma once

#include "trunking_table.h"

#include <functional>

namespace ui { class Form; }

namespace trunking {
// The 线槽计算 window; `back` returns to the menu.
ui::Form* buildWindow(std::function<void()> back);
}
