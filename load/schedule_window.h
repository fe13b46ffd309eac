#pragma once
// The load schedule window `fhb` (负荷计算表): one board's rows in a table the
// engineer fills from the keyboard or pastes from a spreadsheet, the board's
// factors, and its totals, compensation and transformer worked out at every
// edit.

#include "schedule.h"
#include "schedule_table.h"

#include <functional>
#include <vector>

namespace ui { class Form; }

namespace load {

struct ScheduleHooks {
    std::vector<Board>* boards = nullptr; // the project's boards, which the window edits
    std::size_t* current = nullptr;       // the board it shows
    std::function<void()> changed;        // after every edit of a board
    std::function<void()> back;
};

ui::Form* buildScheduleWindow(ScheduleHooks hooks);
// Shows the boards afresh after the project changed them (opened, brought back).
void showBoards(ui::Form& form);

} // namespace load
