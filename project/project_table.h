#pragma once
// The project window as a table of its controls. Standard C++ only.

#include "control.h"

namespace project {
// The project window's table (project_table.cpp).
const ui::Table& window();
}
