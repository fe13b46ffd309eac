#include "schedule_editor.h"

#include "form.h"
#include "schedule_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUndoStack>
#include <algorithm>
#include <set>

// What the engineer does with the rows and the boards: insert, delete, move,
// copy and paste rows, empty cells, add and delete boards; each an edit that
// can be undone.

namespace load {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

} // namespace

std::vector<int> Editor::selectedRows() const
{
    const int rows = static_cast<int>(const_cast<Editor*>(this)->board().rows.size());
    std::set<int> picked;
    for (const QModelIndex& i : view->selectionModel()->selectedIndexes())
        if (i.row() < rows)
            picked.insert(i.row());
    if (picked.empty() && view->currentIndex().isValid() && view->currentIndex().row() < rows)
        picked.insert(view->currentIndex().row());
    return {picked.begin(), picked.end()};
}

void Editor::select(int from, int to, int column)
{
    if (from < 0)
        return;
    view->setCurrentIndex(model->index(from, column));
    view->selectionModel()->select(QItemSelection(model->index(from, 0), model->index(to, column::Count - 1)),
                                   QItemSelectionModel::ClearAndSelect);
}

int Editor::insertionRow() const
{
    const int rows = static_cast<int>(const_cast<Editor*>(this)->board().rows.size());
    return view->currentIndex().isValid() ? std::min(view->currentIndex().row(), rows) : rows;
}

void Editor::insertRow()
{
    const int at = insertionRow();
    push(rowsInsert(*this, current(), at, {ScheduleRow{}}));
    select(at, at, column::Name);
}

void Editor::deleteRows()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    const int column = std::max(0, view->currentIndex().column());
    push(rowsRemove(*this, current(), rows));
    const int at = std::min(rows.front(), static_cast<int>(board().rows.size()));
    select(at, at, column);
}

void Editor::moveRows(int by)
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    const int first = rows.front(), last = rows.back();
    if (first + by < 0 || last + by >= static_cast<int>(board().rows.size()))
        return;
    const int column = std::max(0, view->currentIndex().column());
    push(rowsMove(*this, current(), first, last, by));
    select(first + by, last + by, column);
}

void Editor::copyRows(bool cut)
{
    std::vector<int> rows = selectedRows();
    if (rows.empty())
        for (int i = 0; i < static_cast<int>(board().rows.size()); ++i)
            rows.push_back(i);
    std::vector<ScheduleRow> picked;
    std::vector<RowResult> results;
    for (const int r : rows) {
        picked.push_back(board().rows[static_cast<std::size_t>(r)]);
        results.push_back(result.rows[static_cast<std::size_t>(r)]);
    }
    auto* data = new QMimeData;
    data->setText(qs(copyTsv(picked)));
    data->setHtml(qs(copyHtml(picked, results)));
    QGuiApplication::clipboard()->setMimeData(data);
    if (cut)
        deleteRows();
    form->showMessage(QStringLiteral("已复制 %1 行").arg(picked.size()));
}

void Editor::paste()
{
    std::vector<ScheduleRow> rows = pasteRows(QGuiApplication::clipboard()->text().toStdString());
    if (rows.empty()) {
        form->showMessage(QStringLiteral("剪贴板中没有可粘贴的行"));
        return;
    }
    const int at = insertionRow();
    const std::size_t count = rows.size();
    push(rowsInsert(*this, current(), at, std::move(rows)));
    select(at, at + static_cast<int>(count) - 1, column::Name);
    form->showMessage(QStringLiteral("已粘贴 %1 行").arg(count));
}

void Editor::clearCells()
{
    std::vector<std::pair<int, int>> cells;
    for (const QModelIndex& i : view->selectionModel()->selectedIndexes())
        if (column::isInput(i.column()) && i.row() < static_cast<int>(board().rows.size()))
            cells.emplace_back(i.row(), i.column());
    if (!cells.empty())
        push(cellsClear(*this, current(), std::move(cells)));
}

void Editor::newBoard()
{
    std::string name;
    for (int n = static_cast<int>(boards().size()) + 1;; ++n) {
        name = "AL" + std::to_string(n);
        if (std::none_of(boards().begin(), boards().end(), [&name](const Board& b) { return b.name == name; }))
            break;
    }
    push(boardAdd(*this, Board::named(name)));
    form->control("mc")->setFocus();
}

void Editor::deleteBoard()
{
    if (boards().size() <= 1 && board().rows.empty())
        return;
    const QString gone = qs(board().name);
    push(boardRemove(*this, current()));
    form->showMessage(QStringLiteral("配电箱“%1”已删除，Ctrl+Z 可撤销").arg(gone));
}

} // namespace load
