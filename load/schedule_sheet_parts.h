#pragma once
// The parts of a board's 负荷计算书 that follow its table and formulas: the
// compensation and the transformer, with what they share with the rest.

#include "schedule.h"
#include "sheet.h"

#include <QStringList>
#include <initializer_list>
#include <vector>

namespace load::sheetparts {

// tanφ = √(1 − cos²φ) / cosφ, in the schedule's order of operations.
numeric::Num tanOf(double cos);
// The reasons of the problems about these cells, cell by cell, as one text.
QString reasonsOf(const std::vector<Problem>& problems, std::initializer_list<Cell> cells);

// 四、无功补偿
void compensation(sheet::Sheet& sheet, const BoardResult& result);
// 五、变压器选择
void transformer(sheet::Sheet& sheet, const Board& board, const BoardResult& result);

} // namespace load::sheetparts
