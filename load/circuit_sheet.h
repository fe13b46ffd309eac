#pragma once
// The calculation sheet of a board's circuits (配电回路计算书): the board's
// settings, the circuits as engineers draw them in a table, the busbar's
// short-circuit current down the chain from the supply, then each circuit
// with every equation and the figures it used — Iz0 and where it was read,
// Kt, Kg, the two conditions, R′, ΔU, the impedances summed, Ik3, Id and the
// comparisons — and the sources. Impedances in mΩ, currents of faults in kA.

#include "schedule.h"
#include "sheet.h"

#include <cstddef>
#include <vector>

namespace load {

sheet::Sheet circuitSheet(const std::vector<Board>& boards, std::size_t board);

// The schedule's sheet of the board followed by its circuits' sheet, from a
// page of its own: what the schedule window saves and copies.
sheet::Sheet boardSheets(const std::vector<Board>& boards, std::size_t board);

} // namespace load
