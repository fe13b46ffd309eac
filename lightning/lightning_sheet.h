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
// The protection class the window's verdict names ("二类", "三类", "不用设防"),
// for a project's summary of cases; 未计算 before a verdict, the verdict's
// own text where it names none (typed by hand).
QString protectionClass(const ui::State& state);
}
