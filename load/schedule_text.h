#pragma once
// The load schedule as text: reading what the engineer typed into a cell,
// rows pasted from a spreadsheet, rows copied out as TSV and as an HTML table,
// and the figures rounded for the window. Pure standard C++, UTF-8 text.

#include "convert.h"
#include "schedule.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace load {

// Without the spaces, tabs, line ends and full-width spaces (U+3000) around.
std::string_view trimmed(std::string_view text);
// Nothing but those.
bool isBlank(std::string_view text);

// A cell as one number: spaces (also U+3000) trimmed, full-width digits, point,
// plus and minus taken as their ASCII forms, then the strict reading. A blank
// cell is not a number.
numeric::Num readCell(std::string_view text);

// How a cell's number must lie, as a problem states it.
enum class Range { Any, NotNegative, AboveZero, ZeroToOne, AboveZeroToOne, WholeFromOne };
// A cell that must hold a number within `range`: the number, or none and a
// problem naming it ("需要系数须在 0 与 1 之间", "长度未填写").
std::optional<double> readFigure(std::string_view text, Cell cell, const char* name, Range range,
                                 std::vector<Problem>& problems);

// 三相 / 单相, 三 / 单, 3 / 1, 3P / 1P (full-width too); blank is three-phase;
// none for anything else.
std::optional<Phases> readPhases(std::string_view text);

// The value rounded half away from zero to `decimals` places (0 to 20) in
// decimal, from its 15-significant-digit text, so 0.285 gives "0.29"; never
// "-0.00". Empty for a value that is not finite.
std::string shown(double value, int decimals);

// "第 3 行：需要系数须在 0 与 1 之间" for the row of index 2.
std::string rowNote(std::size_t row, const Problem& problem);

// What the window's table shows in `column` (schedule_table.h) for the row of
// index `index`: a cell as typed, a blank one its default (when the row is
// not blank), a worked-out figure as engineers write it, and in 校验 the
// circuit's check or why there is none.
std::string shownCell(const ScheduleRow& row, std::size_t index, const RowResult* result, int column);

// Rows from a spreadsheet's clipboard text: tab-separated cells, lines ending
// in LF or CR LF, cells with tabs, line ends or quotes inside double quotes.
// Columns: the window's input columns in its order (name, Pe, Kx, cosφ, 相数,
// the board the row stands for, then the circuit's); those left out are
// blank, further columns are ignored. A first line that reads as a header
// (text in the Pe, Kx, cosφ columns and words such as 名称, 容量, 需要系数,
// 功率因数) is skipped, and so are lines blank in the columns read. The cells
// keep their texts.
std::vector<ScheduleRow> pasteRows(std::string_view text);

// The rows as a spreadsheet takes them; pasteRows gives the same rows back
// (blank rows aside). A header line is put first only when the first row
// would otherwise be taken for one.
std::string copyTsv(const std::vector<ScheduleRow>& rows);

// The rows as an HTML table with the columns 用电设备组, 设备容量Pe(kW),
// 需要系数Kx, 功率因数cosφ, 相数, tanφ, Pjs, Qjs, Sjs, Ijs, then the circuit's
// as the window shows them; results[i] belongs to rows[i], and a row without
// one, or with a problem, has no computed cells.
std::string copyHtml(const std::vector<ScheduleRow>& rows, const std::vector<RowResult>& results);

} // namespace load
