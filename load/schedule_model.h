#pragma once
// The rows of one board as the schedule window's table shows them: the cells
// as typed (a blank one shows its default, greyed), the figures they work out
// to as engineers write them, and what a cell the calculation cannot take is
// marked with. The last line of the table is always empty: typing into it
// adds a row.

#include "schedule.h"
#include "schedule_table.h"

#include <QAbstractTableModel>
#include <functional>
#include <string>

namespace load {

// The typed text of a row's input column.
std::string& cellText(ScheduleRow& row, int column);
const std::string& cellText(const ScheduleRow& row, int column);
// The cell a problem of that column is about.
Cell cellOf(int column);

class RowsModel : public QAbstractTableModel {
public:
    using Edit = std::function<void(int row, int column, const std::string& text)>;
    RowsModel(QObject* parent, Edit edit);

    // The rows the table shows: a changed count is told as rows added or
    // taken at the end, so that the cell being worked in stays current.
    void show(const Board* board, const BoardResult* result);
    // Only the rows an edit touched, and the worked-out columns, are drawn anew.
    void refreshed(int from, int to);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    const Board* board_ = nullptr;
    const BoardResult* result_ = nullptr;
    int rows_ = 0;
    Edit edit_;
};

} // namespace load
