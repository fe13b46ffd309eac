#pragma once

#include <functional>

namespace ui { class Form; }

namespace load {
// The load calculation window; `back` returns to the menu.
ui::Form* buildWindow(std::function<void()> back);
}
