#pragma once
// The load schedule window as a table of its controls, and the columns of its
// table of rows. Standard C++ only.

#include "control.h"

namespace load {

// The schedule window's table (schedule_table.cpp).
const ui::Table& scheduleWindow();

// The columns of the table of rows: the engineer's cells first (the load, then
// the circuit), then what they work out to.
namespace column {
enum : int {
    Name,
    Pe,
    Kx,
    Cos,
    Phases,
    SubBoard,
    Number,
    Cable,
    Method,
    Length,
    Ambient,
    Circuits,
    Breaker,
    Tan,
    Pjs,
    Qjs,
    Sjs,
    Ijs,
    In,
    Designation,
    Iz,
    Drop,
    DropEnd,
    Ik3,
    Id,
    Check,
    Count
};
// The columns the engineer types into: the ones before Tan.
constexpr int inputs = Tan;
constexpr bool isInput(int c) { return c >= 0 && c < inputs; }
} // namespace column

struct Column {
    const char* heading; // exactly as the window shows it: "设备容量Pe(kW)"
    int width;           // pixels at scale 1, at least; never narrower than the heading
};
// Every column, in the window's order.
const Column& columnOf(int column);

} // namespace load
