#pragma once
// The main menu as a table of its controls. Standard C++ only.

#include "control.h"

// The main menu's table (menu_table.cpp): four calculator buttons, exit, and
// the credit line.
const ui::Table& menuWindow();
