#pragma once
// The load schedule window as a table of its controls, and the columns of its
// table of rows. Standard C++ only.

#include "control.h"

namespace load {

// The schedule window's table (schedule_table.cpp).
const ui::Table& scheduleWindow();

// The columns of the table, for the window and its tests.
namespace column {
enum : int { Name, Pe, Kx, Cos, Phases, SubBoard, Tan, Pjs, Qjs, Sjs, Ijs, Count };
}

} // namespace load
