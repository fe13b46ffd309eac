#include "schedule_undo.h"

#include "schedule_model.h"

#include <algorithm>
#include <type_traits>

namespace load {

namespace {

// Typing on in one field merges into one edit.
enum Merge { FieldMerge = 1, SeriesMerge = 2 };

class Command : public QUndoCommand {
public:
    Command(Boards& b, std::size_t board) : b_(b), board_(board) {}

protected:
    Board& board() { return b_.boards()[board_]; }
    void changed(int from = 0, int to = -1) { b_.changed(board_, from, to); }
    Boards& b_;
    std::size_t board_;
};

class CellEdit : public Command {
public:
    CellEdit(Boards& b, std::size_t board, int row, int column, std::string text)
        : Command(b, board), row_(row), column_(column), after_(std::move(text))
    {
    }
    void redo() override
    {
        std::vector<ScheduleRow>& rows = board().rows;
        sizeBefore_ = rows.size();
        if (static_cast<std::size_t>(row_) >= rows.size())
            rows.resize(static_cast<std::size_t>(row_) + 1);
        std::string& cell = cellText(rows[static_cast<std::size_t>(row_)], column_);
        before_ = cell;
        cell = after_;
        changed(row_, rows.size() == sizeBefore_ ? row_ : -1);
    }
    void undo() override
    {
        std::vector<ScheduleRow>& rows = board().rows;
        cellText(rows[static_cast<std::size_t>(row_)], column_) = before_;
        const bool grew = rows.size() != sizeBefore_;
        rows.resize(sizeBefore_);
        changed(row_, grew ? -1 : row_);
    }

private:
    int row_, column_;
    std::string before_, after_;
    std::size_t sizeBefore_ = 0;
};

// One of the board's own members as typed, a field or a series; typing on
// in the same one is one edit.
template <class T> class MemberEdit : public Command {
public:
    MemberEdit(Boards& b, std::size_t board, T Board::*member, T value)
        : Command(b, board), member_(member), after_(std::move(value))
    {
    }
    int id() const override { return std::is_same_v<T, std::string> ? FieldMerge : SeriesMerge; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* o = static_cast<const MemberEdit*>(other);
        if (o->board_ != board_ || o->member_ != member_)
            return false;
        after_ = o->after_;
        return true;
    }
    void redo() override
    {
        before_ = board().*member_;
        board().*member_ = after_;
        changed();
    }
    void undo() override
    {
        board().*member_ = before_;
        changed();
    }

private:
    T Board::*member_;
    T before_, after_;
};

class RowsInsert : public Command {
public:
    RowsInsert(Boards& b, std::size_t board, int at, std::vector<ScheduleRow> rows)
        : Command(b, board), at_(at), rows_(std::move(rows))
    {
    }
    void redo() override
    {
        std::vector<ScheduleRow>& rows = board().rows;
        at_ = std::min<int>(at_, static_cast<int>(rows.size()));
        rows.insert(rows.begin() + at_, rows_.begin(), rows_.end());
        changed(at_);
    }
    void undo() override
    {
        std::vector<ScheduleRow>& rows = board().rows;
        rows.erase(rows.begin() + at_, rows.begin() + at_ + static_cast<std::ptrdiff_t>(rows_.size()));
        changed(at_);
    }

private:
    int at_;
    std::vector<ScheduleRow> rows_;
};

class RowsRemove : public Command {
public:
    RowsRemove(Boards& b, std::size_t board, std::vector<int> indexes) : Command(b, board), indexes_(std::move(indexes))
    {
    }
    void redo() override
    {
        std::vector<ScheduleRow>& rows = board().rows;
        removed_.clear();
        for (const int i : indexes_)
            removed_.push_back(rows[static_cast<std::size_t>(i)]);
        for (auto it = indexes_.rbegin(); it != indexes_.rend(); ++it)
            rows.erase(rows.begin() + *it);
        changed(indexes_.front());
    }
    void undo() override
    {
        std::vector<ScheduleRow>& rows = board().rows;
        for (std::size_t k = 0; k < indexes_.size(); ++k)
            rows.insert(rows.begin() + indexes_[k], removed_[k]);
        changed(indexes_.front());
    }

private:
    std::vector<int> indexes_;
    std::vector<ScheduleRow> removed_;
};

class RowsMove : public Command {
public:
    RowsMove(Boards& b, std::size_t board, int first, int last, int by)
        : Command(b, board), first_(first), last_(last), by_(by)
    {
    }
    void redo() override { move(first_, last_, by_); }
    void undo() override { move(first_ + by_, last_ + by_, -by_); }

private:
    void move(int first, int last, int by)
    {
        std::vector<ScheduleRow>& rows = board().rows;
        if (by < 0)
            std::rotate(rows.begin() + first - 1, rows.begin() + first, rows.begin() + last + 1);
        else
            std::rotate(rows.begin() + first, rows.begin() + last + 1, rows.begin() + last + 2);
        changed(std::min(first, first + by), std::max(last, last + by));
    }
    int first_, last_, by_;
};

class CellsClear : public Command {
public:
    CellsClear(Boards& b, std::size_t board, std::vector<std::pair<int, int>> cells)
        : Command(b, board), cells_(std::move(cells))
    {
    }
    void redo() override
    {
        std::vector<ScheduleRow>& rows = board().rows;
        before_.clear();
        int from = -1, to = -1;
        for (const auto& [row, column] : cells_) {
            std::string& cell = cellText(rows[static_cast<std::size_t>(row)], column);
            before_.push_back(cell);
            cell.clear();
            from = from < 0 ? row : std::min(from, row);
            to = std::max(to, row);
        }
        changed(std::max(from, 0), to);
    }
    void undo() override
    {
        std::vector<ScheduleRow>& rows = board().rows;
        int from = -1, to = -1;
        for (std::size_t k = 0; k < cells_.size(); ++k) {
            const auto [row, column] = cells_[k];
            cellText(rows[static_cast<std::size_t>(row)], column) = before_[k];
            from = from < 0 ? row : std::min(from, row);
            to = std::max(to, row);
        }
        changed(std::max(from, 0), to);
    }

private:
    std::vector<std::pair<int, int>> cells_;
    std::vector<std::string> before_;
};

class BoardAdd : public Command {
public:
    BoardAdd(Boards& b, Board added) : Command(b, b.boards().size()), added_(std::move(added)) {}
    void redo() override
    {
        b_.boards().push_back(added_);
        changed();
    }
    void undo() override
    {
        b_.boards().pop_back();
        b_.changed(board_ > 0 ? board_ - 1 : 0);
    }

private:
    Board added_;
};

class BoardRemove : public Command {
public:
    BoardRemove(Boards& b, std::size_t board) : Command(b, board) {}
    void redo() override
    {
        std::vector<Board>& boards = b_.boards();
        removed_ = boards[board_];
        boards.erase(boards.begin() + static_cast<std::ptrdiff_t>(board_));
        // A schedule always has a board to show: the only one deleted leaves an empty one.
        replaced_ = boards.empty();
        if (replaced_)
            boards.push_back(Board::named("AL1"));
        b_.changed(board_ > 0 ? board_ - 1 : 0);
    }
    void undo() override
    {
        std::vector<Board>& boards = b_.boards();
        if (replaced_)
            boards.clear();
        boards.insert(boards.begin() + static_cast<std::ptrdiff_t>(board_), removed_);
        changed();
    }

private:
    Board removed_;
    bool replaced_ = false;
};

} // namespace

QUndoCommand* cellEdit(Boards& b, std::size_t board, int row, int column, std::string text)
{
    return new CellEdit(b, board, row, column, std::move(text));
}
QUndoCommand* fieldEdit(Boards& b, std::size_t board, std::string Board::*field, std::string text)
{
    return new MemberEdit<std::string>(b, board, field, std::move(text));
}
QUndoCommand* seriesEdit(Boards& b, std::size_t board, std::vector<double> Board::*series, std::vector<double> values)
{
    return new MemberEdit<std::vector<double>>(b, board, series, std::move(values));
}
QUndoCommand* rowsInsert(Boards& b, std::size_t board, int at, std::vector<ScheduleRow> rows)
{
    return new RowsInsert(b, board, at, std::move(rows));
}
QUndoCommand* rowsRemove(Boards& b, std::size_t board, std::vector<int> rows)
{
    return new RowsRemove(b, board, std::move(rows));
}
QUndoCommand* rowsMove(Boards& b, std::size_t board, int first, int last, int by)
{
    return new RowsMove(b, board, first, last, by);
}
QUndoCommand* cellsClear(Boards& b, std::size_t board, std::vector<std::pair<int, int>> cells)
{
    return new CellsClear(b, board, std::move(cells));
}
QUndoCommand* boardAdd(Boards& b, Board board) { return new BoardAdd(b, std::move(board)); }
QUndoCommand* boardRemove(Boards& b, std::size_t board) { return new BoardRemove(b, board); }

} // namespace load
