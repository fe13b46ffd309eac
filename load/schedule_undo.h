#pragma once
// Every edit of the schedule as a command of the window's undo stack, each
// keeping only what it changed: a cell, a board's field, rows inserted,
// removed or moved, a board added or deleted. Undone or redone, it shows the
// board it changed.

#include "schedule.h"

#include <QUndoCommand>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace load {

// What the commands need of the window.
class Boards {
public:
    virtual ~Boards() = default;
    virtual std::vector<Board>& boards() = 0;
    // The board has changed: the window shows it, its rows from `from` to
    // `to` anew (all of them when `to` is below 0).
    virtual void changed(std::size_t board, int from = 0, int to = -1) = 0;
};

// One typed cell of a row; typing into the empty last line adds the row.
QUndoCommand* cellEdit(Boards& b, std::size_t board, int row, int column, std::string text);
// One of the board's own fields as typed; typing on in the same field is one edit.
QUndoCommand* fieldEdit(Boards& b, std::size_t board, std::string Board::*field, std::string text);
// A series of the board (transformer ratings, breakers); the same.
QUndoCommand* seriesEdit(Boards& b, std::size_t board, std::vector<double> Board::*series, std::vector<double> values);
QUndoCommand* rowsInsert(Boards& b, std::size_t board, int at, std::vector<ScheduleRow> rows);
// `rows` ascending.
QUndoCommand* rowsRemove(Boards& b, std::size_t board, std::vector<int> rows);
// Rows first to last, one place up (by −1) or down (by 1).
QUndoCommand* rowsMove(Boards& b, std::size_t board, int first, int last, int by);
// Cells emptied: (row, column) pairs.
QUndoCommand* cellsClear(Boards& b, std::size_t board, std::vector<std::pair<int, int>> cells);
QUndoCommand* boardAdd(Boards& b, Board board);
QUndoCommand* boardRemove(Boards& b, std::size_t board);

} // namespace load
