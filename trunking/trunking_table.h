#pragma once
// The 线槽计算 window as a table of its controls, and its cable rows. Standard C++ only.

#include "control.h"
#include "cables.h"

#include <array>
#include <span>
#include <string>

namespace trunking {

// One cable row of the window: its kind, its option and the option's
// caption, the stem of its four field names, its place and the tab indexes
// of option, size, area, count and total. The digit at the end of a row
// field's name is its column (BV1 size, BV2 area of one cable, BV3 count,
// BV4 row total).
struct CableRow {
    Cable kind;
    const char* option;
    const char* caption;
    const char* fields;
    int top, height;
    int optionTop, optionHeight;
    std::array<int, 5> tabs;

    std::string field(int column) const { return fields + std::to_string(column); }
};
// The six rows in screen order (trunking_table.cpp).
std::span<const CableRow> cableRows();

// The 线槽计算 window's table (trunking_table.cpp).
const ui::Table& window();

} // namespace trunking
