#pragma once

#include "lighting_table.h"

#include <functional>

namespace ui { class Form; }

namespace lighting {
// The 照度计算 window; `back` returns to the menu.
ui::Form* buildWindow(std::function<void()> back);
}
