#pragma once

#include "sheet.h"
#include "state.h"

#include <string>

namespace load {
// The load calculation sheet (负荷计算书) from one snapshot of its window.
sheet::Sheet makeSheet(const ui::State& state);
// A case's name, made from the inputs of the state.
std::string caseName(const ui::State& state);
}
