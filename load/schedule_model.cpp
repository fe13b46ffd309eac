#include "schedule_model.h"

#include "schedule_text.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

namespace load {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The member of a row behind each input column, in the columns' order.
constexpr std::string ScheduleRow::*members[column::inputs] = {
    &ScheduleRow::name,   &ScheduleRow::pe,     &ScheduleRow::kx,      &ScheduleRow::cos,     &ScheduleRow::phases,
    &ScheduleRow::board,  &ScheduleRow::number, &ScheduleRow::cable,   &ScheduleRow::method,  &ScheduleRow::length,
    &ScheduleRow::ambient, &ScheduleRow::circuits, &ScheduleRow::breaker,
};

constexpr Cell cells[column::inputs] = {Cell::Name,   Cell::Pe,     Cell::Kx,     Cell::Cos,    Cell::Phases,
                                        Cell::Board,  Cell::Number, Cell::Cable,  Cell::Method, Cell::Length,
                                        Cell::Ambient, Cell::Circuits, Cell::Breaker};

const Problem* problemIn(const RowResult& r, int column)
{
    for (const Problem& p : r.problems)
        if (p.cell == cellOf(column) || (p.cell == Cell::Rows && column == column::Name))
            return &p;
    for (const Problem& p : r.circuitProblems)
        if (p.cell == cellOf(column))
            return &p;
    return nullptr;
}

} // namespace

std::string& cellText(ScheduleRow& row, int column) { return row.*members[column]; }
const std::string& cellText(const ScheduleRow& row, int column) { return row.*members[column]; }
Cell cellOf(int column) { return column::isInput(column) ? cells[column] : Cell::Rows; }

RowsModel::RowsModel(QObject* parent, Edit edit) : QAbstractTableModel(parent), edit_(std::move(edit)) {}

void RowsModel::show(const Board* board, const BoardResult* result)
{
    const int before = rows_;
    const int after = board ? static_cast<int>(board->rows.size()) + 1 : 0;
    board_ = board;
    result_ = result;
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        rows_ = after;
        endInsertRows();
    } else if (after < before) {
        beginRemoveRows({}, after, before - 1);
        rows_ = after;
        endRemoveRows();
    }
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, column::Count - 1));
    emit headerDataChanged(Qt::Vertical, 0, std::max(0, rows_ - 1));
}

void RowsModel::refreshed(int from, int to)
{
    if (rows_ > 0)
        emit dataChanged(index(std::max(0, from), 0), index(std::min(to, rows_ - 1), column::Count - 1));
}

int RowsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int RowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : column::Count; }

QVariant RowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < column::Count ? QString::fromUtf8(columnOf(section).heading) : QVariant();
    return section + 1 < rows_ ? QVariant(section + 1) : QVariant(QStringLiteral("新行"));
}

Qt::ItemFlags RowsModel::flags(const QModelIndex& i) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (column::isInput(i.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant RowsModel::data(const QModelIndex& i, int role) const
{
    if (!board_ || !i.isValid())
        return {};
    const std::size_t row = static_cast<std::size_t>(i.row());
    if (row >= board_->rows.size())
        return {};
    const ScheduleRow& r = board_->rows[row];
    const RowResult* res = result_ && row < result_->rows.size() ? &result_->rows[row] : nullptr;
    const int c = i.column();
    if (role == Qt::EditRole)
        return column::isInput(c) ? qs(cellText(r, c)) : QVariant();
    if (role == Qt::DisplayRole)
        return qs(shownCell(r, row, res, c));
    if (role == Qt::TextAlignmentRole && c != column::Name && c != column::SubBoard && c != column::Designation &&
        c != column::Check)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    // A blank cell shows its default greyed; a check that fails in red.
    if (role == Qt::ForegroundRole) {
        if (column::isInput(c) && isBlank(cellText(r, c)) && res && !res->blank)
            return QBrush(QColor(0x80, 0x80, 0x80));
        if (c == column::Check && res && !(res->circuit && res->circuit->passes()))
            return QBrush(QColor(0xb0, 0, 0));
        return {};
    }
    // A cell the calculation cannot take is marked, and says why.
    if ((role == Qt::BackgroundRole || role == Qt::ToolTipRole) && res) {
        if (const Problem* p = problemIn(*res, c)) {
            if (role == Qt::ToolTipRole)
                return qs(p->reason);
            return QBrush(QColor(0xff, 0xdc, 0xdc));
        }
        if (role == Qt::ToolTipRole && c == column::Check) {
            const QString check = qs(shownCell(r, row, res, c));
            return check.isEmpty() ? QVariant() : QVariant(check);
        }
    }
    return {};
}

bool RowsModel::setData(const QModelIndex& i, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !i.isValid() || !column::isInput(i.column()))
        return false;
    edit_(i.row(), i.column(), value.toString().toStdString());
    return true;
}

} // namespace load
