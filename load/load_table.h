#pragma once
// The 负荷计算 window as a table of its controls. Standard C++ only.

#include "control.h"

namespace load {
// The 负荷计算 window's table (load_table.cpp).
const ui::Table& window();
}
