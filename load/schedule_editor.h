#pragma once
// The load schedule window's working state: the project's boards, which one
// is shown, what they work out to, the edits that can be undone, and the note
// about a row or a field with the cause it goes with. The window's wiring
// (schedule_window.cpp) calls it; its rows' actions are in schedule_rows.cpp.

#include "schedule_model.h"
#include "schedule_undo.h"
#include "schedule_view.h"
#include "schedule_window.h"

#include <QStringList>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QUndoStack;
namespace ui { class Form; }

namespace load {

// The board's own fields as typed, by the window's names.
struct BoardField {
    const char* field;
    std::string Board::*member;
};
extern const BoardField boardFields[13];
// Its series, with what a wrong entry is called.
struct SeriesField {
    const char* field;
    std::vector<double> Board::*series;
    const char* what;
};
extern const SeriesField seriesFields[2];

// A board as the list of boards names it.
QString boardCaption(const Board& board);

// The window's working state: the project's boards, which one is shown, and
// the edits that can be undone.
class Editor : public Boards {
public:
    ui::Form* form = nullptr;
    ScheduleHooks hooks;
    RowsModel* model = nullptr;
    RowsView* view = nullptr;
    QUndoStack* stack = nullptr;
    BoardResult result;
    bool showing = false; // fields being filled from the board, not typed

    // A failure note and what it is about: it goes when its cause goes.
    struct Noted {
        std::size_t board = 0;
        int row = -1;              // a row's problem
        std::string reason;
        const SeriesField* series = nullptr; // or a series that cannot be read
    };
    std::optional<Noted> noted;

    std::vector<Board>& boards() override { return *hooks.boards; }
    std::size_t current();
    Board& board() { return boards()[current()]; }

    // After every edit, done or undone: the board it changed is shown.
    void changed(std::size_t b, int from, int to) override;
    void push(QUndoCommand* command) { stack->push(command); }

    void recompute();
    void put(const char* field, const std::string& text);
    void showTotals();

    // The board's own fields, its name and the list of boards.
    void showBoard();

    // A note whose cause is gone goes with it: the row fixed or deleted, the
    // board switched or deleted, the edit undone.
    void refreshNote();

    // A row just edited that the calculation cannot take is named in a note.
    void tellAbout(int row);

    // A series as typed: the values it reads as and what is no value.
    std::pair<std::vector<double>, QStringList> readSeries(const char* field) const;
    std::vector<int> selectedRows() const;
    void select(int from, int to, int column);
    int insertionRow() const;
    void insertRow();
    void deleteRows();
    void moveRows(int by);
    void copyRows(bool cut);
    void paste();
    void clearCells();
    void newBoard();
    void deleteBoard();
    void switchTo(std::size_t b);
};

} // namespace load
