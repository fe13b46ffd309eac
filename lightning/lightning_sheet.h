#pragma once

#include "sheet.h"
#include "state.h"

#include <string>

namespace lightning {
// The lightning protection sheet (防雷计算书) from one snapshot of its window,
// with the building checked again against the 2010 edition of the code.
sheet::Sheet makeSheet(const ui::State& state);
// A case's name, made from the inputs of the state.
std::string caseName(const ui::State& state);
}
