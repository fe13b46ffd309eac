#pragma once
// The 防雷计算 window as a table of its controls. Standard C++ only.

#include "control.h"

namespace lightning {
// The 防雷计算 window's table (lightning_table.cpp).
const ui::Table& window();
}
