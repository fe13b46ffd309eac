#pragma once
// The schedule's table of rows as a spreadsheet answers the keys: Enter moves
// down (after Tabs along a row, to the column they began in), Tab and Shift+Tab go from input cell to input cell (the worked-out
// columns are no stops) and out of the table past its first and last,
// Ctrl+Tab and Ctrl+Shift+Tab leave it at once. The window's own keys
// (insert, delete and move rows, copy and paste) reach `keys` first. The
// cable and method cells drop down their lists.

#include <QTableView>
#include <functional>

class QKeyEvent;

namespace load {

class RowsView : public QTableView {
public:
    explicit RowsView(QWidget* parent);
    // Keys the window handles itself; true when it did.
    std::function<bool(QKeyEvent*)> keys;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    // The input cell after (or before) `at` in reading order, or none past the last (first).
    QModelIndex nextInput(const QModelIndex& at, bool forward) const;
    // Enter goes down; after Tabs along a row, to where they began on the next.
    void down();
    int tabbedFrom_ = -1; // the column the Tabs along this row began in
    bool tabbing_ = false;
};

} // namespace load
