#pragma once

#include <functional>
#include <string>

namespace ui { class Form; }

// The main menu: four calculator buttons, exit, and the credit line.
ui::Form* buildMenu(std::function<void(const std::string& window)> open, std::function<void()> end);
