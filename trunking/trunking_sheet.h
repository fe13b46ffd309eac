#pragma once

#include "sheet.h"
#include "state.h"

#include <string>
#include <vector>

namespace trunking {
// The trunking sheet (线槽计算书) from one snapshot of its window: every group
// added into the running total, and the smallest trunking and pipe of each
// catalogue group that takes the cables, each catalogue at its own rule.
sheet::Sheet makeSheet(const ui::State& state);
// A case's name, made from the inputs of the state.
std::string caseName(const ui::State& state);
// The window shows exactly one catalogue, with the button caption that goes
// with it: what else a state says is refused (a reason, or empty).
std::string check(const ui::State& state);
// The 24 fields of the cable rows, which the sheet lays out as a table.
std::vector<std::string> rowFields();
}
