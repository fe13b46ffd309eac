#pragma once
// The calculation sheet (负荷计算书) of one board of the load schedule: the
// board's conditions, the schedule as a table, every formula with the figures
// it used, the compensation and the transformer. The sheet states what
// load::evaluate found; it prints every substitution with all the digits the
// calculation worked with, so that a checker can work each line out again.

#include "sheet.h"
#include "schedule.h"

#include <cstddef>
#include <vector>

namespace load {

// The sheet of boards[board], with every board it takes in as a row. A board
// index out of range gives a sheet that says so.
sheet::Sheet scheduleSheet(const std::vector<Board>& boards, std::size_t board);

} // namespace load
