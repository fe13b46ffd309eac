#pragma once
// The 照度计算 window as a table of its controls. Standard C++ only.

#include "control.h"

namespace lighting {
// The 照度计算 window's table (lighting_table.cpp).
const ui::Table& window();
}
