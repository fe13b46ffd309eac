#include "schedule_window.h"

#include "convert.h"
#include "builder.h"
#include "form.h"
#include "widgets.h"
#include "schedule_text.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QBrush>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableView>
#include <algorithm>
#include <memory>
#include <set>

using namespace ui;

namespace load {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

const char* const headers[column::Count] = {"用电设备组", "设备容量Pe(kW)", "需要系数Kx", "功率因数cosφ", "相数",
                                      "子配电箱",   "tanφ",           "Pjs(kW)",    "Qjs(kvar)",    "Sjs(kVA)",
                                      "Ijs(A)"};

std::string& cell(ScheduleRow& r, int column)
{
    switch (column) {
    case column::Name: return r.name;
    case column::Pe: return r.pe;
    case column::Kx: return r.kx;
    case column::Cos: return r.cos;
    case column::Phases: return r.phases;
    default: return r.board;
    }
}

Cell cellOf(int column)
{
    switch (column) {
    case column::Name: return Cell::Name;
    case column::Pe: return Cell::Pe;
    case column::Kx: return Cell::Kx;
    case column::Cos: return Cell::Cos;
    case column::Phases: return Cell::Phases;
    default: return Cell::Board;
    }
}

// The board's rows and what they work out to, for the table. The last line
// of the table is always empty: typing into it adds a row.
class RowsModel : public QAbstractTableModel {
public:
    using Edit = std::function<void(int row, int column, const std::string& text)>;
    RowsModel(QObject* parent, Edit edit) : QAbstractTableModel(parent), edit_(std::move(edit)) {}

    // The rows the table shows: a changed count is told as rows added or
    // taken at the end, so that the cell being worked in stays current.
    void show(const Board* board, const BoardResult* result)
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
    // Only the rows an edit touched, and the worked-out columns, are drawn anew.
    void refreshed(int from, int to)
    {
        if (rowCount({}) > 0)
            emit dataChanged(index(std::max(0, from), 0), index(std::min(to, rowCount({}) - 1), column::Count - 1));
    }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : column::Count; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Horizontal)
            return section >= 0 && section < column::Count ? QString::fromUtf8(headers[section]) : QVariant();
        return section + 1 < rowCount({}) ? QVariant(section + 1) : QVariant(QStringLiteral("新行"));
    }

    Qt::ItemFlags flags(const QModelIndex& i) const override
    {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (i.column() <= column::SubBoard)
            f |= Qt::ItemIsEditable;
        return f;
    }

    QVariant data(const QModelIndex& i, int role) const override
    {
        if (!board_ || !i.isValid())
            return {};
        const std::size_t row = static_cast<std::size_t>(i.row());
        if (row >= board_->rows.size())
            return {};
        const ScheduleRow& r = board_->rows[row];
        const RowResult* res = result_ && row < result_->rows.size() ? &result_->rows[row] : nullptr;
        const bool counted = res && !res->blank && res->problems.empty();
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            if (i.column() <= column::SubBoard)
                return qs(cell(const_cast<ScheduleRow&>(r), i.column()));
            if (!counted || role == Qt::EditRole)
                return {};
            switch (i.column()) {
            case column::Tan: return res->tan ? qs(shown(*res->tan, 3)) : QString();
            case column::Pjs: return qs(shown(res->load.p, 2));
            case column::Qjs: return qs(shown(res->load.q, 2));
            case column::Sjs: return qs(shown(res->load.s, 2));
            case column::Ijs: return qs(shown(res->load.i, 1));
            default: return {};
            }
        }
        if (role == Qt::TextAlignmentRole && i.column() != column::Name && i.column() != column::SubBoard)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        // A cell the calculation cannot take is marked, and says why.
        if ((role == Qt::BackgroundRole || role == Qt::ToolTipRole) && res)
            for (const Problem& p : res->problems)
                if (p.cell == cellOf(i.column()) || (p.cell == Cell::Rows && i.column() == column::Name)) {
                    if (role == Qt::ToolTipRole)
                        return qs(p.reason);
                    return QBrush(QColor(0xff, 0xdc, 0xdc));
                }
        return {};
    }

    bool setData(const QModelIndex& i, const QVariant& value, int role) override
    {
        if (role != Qt::EditRole || !i.isValid() || i.column() > column::SubBoard)
            return false;
        edit_(i.row(), i.column(), value.toString().toStdString());
        return true;
    }

private:
    const Board* board_ = nullptr;
    const BoardResult* result_ = nullptr;
    int rows_ = 0;
    Edit edit_;
};

// The table as a spreadsheet answers the keys: Enter moves down, Tab across;
// Insert inserts a row, Ctrl+Delete deletes the selected ones, Alt+↑/↓ move
// them, Delete empties the selected cells; Ctrl+C, Ctrl+X and Ctrl+V copy,
// cut and paste rows, Ctrl+Z and Ctrl+Y undo and redo.
class RowsView : public QTableView {
public:
    using QTableView::QTableView;
    std::function<bool(QKeyEvent*)> keys;

protected:
    bool event(QEvent* e) override
    {
        // The table's keys are its own, not the window's shortcuts.
        if (e->type() == QEvent::ShortcutOverride) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->matches(QKeySequence::Copy) || k->matches(QKeySequence::Paste) || k->matches(QKeySequence::Cut) ||
                k->matches(QKeySequence::Undo) || k->matches(QKeySequence::Redo) || k->key() == Qt::Key_Delete ||
                k->key() == Qt::Key_Insert) {
                e->accept();
                return true;
            }
        }
        return QTableView::event(e);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (keys && keys(e))
            return;
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && state() != EditingState) {
            const QModelIndex at = currentIndex();
            if (at.isValid() && at.row() + 1 < model()->rowCount())
                setCurrentIndex(model()->index(at.row() + 1, at.column()));
            return;
        }
        QTableView::keyPressEvent(e);
    }
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        // Enter in a cell being typed into commits it and goes to the cell below.
        if (hint == QAbstractItemDelegate::SubmitModelCache) {
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
            const QModelIndex at = currentIndex();
            if (at.isValid() && at.row() + 1 < model()->rowCount())
                setCurrentIndex(model()->index(at.row() + 1, at.column()));
            return;
        }
        QTableView::closeEditor(editor, hint);
    }
};

std::string seriesText(const std::vector<double>& series)
{
    std::string text;
    for (const double v : series)
        text += (text.empty() ? "" : ", ") + numeric::formatNumber(v);
    return text;
}

// The window's working state: the project's boards, which one is shown,
// and the edits that can be undone.
struct Editor {
    Form* form = nullptr;
    ScheduleHooks hooks;
    RowsModel* model = nullptr;
    RowsView* view = nullptr;
    BoardResult result;
    std::vector<std::vector<Board>> undo, redo;
    bool showing = false; // fields being filled from the board, not typed

    std::vector<Board>& boards() { return *hooks.boards; }
    Board& board()
    {
        if (boards().empty())
            boards().push_back(Board::named("AL1"));
        *hooks.current = std::min(*hooks.current, boards().size() - 1);
        return boards()[*hooks.current];
    }

    // Every change of a board goes through here: kept for undo first.
    void change(const std::function<void(Board&)>& edit, int fromRow = 0, int toRow = -1)
    {
        undo.push_back(boards());
        redo.clear();
        const std::size_t rowsBefore = board().rows.size();
        edit(board());
        recompute();
        if (board().rows.size() != rowsBefore || toRow < 0)
            model->show(&board(), &result);
        else
            model->refreshed(fromRow, toRow);
        hooks.changed();
    }

    void recompute()
    {
        result = evaluate(boards(), *hooks.current);
        showTotals();
    }

    void showTotals()
    {
        auto put = [this](const char* field, const std::string& text) {
            auto* e = qobject_cast<QLineEdit*>(form->control(field));
            if (e->text() != qs(text)) {
                e->setText(qs(text));
                e->setCursorPosition(0); // a total too long for its field is read from its first digit
            }
        };
        const auto opt = [](const std::optional<double>& v, int d) { return v ? shown(*v, d) : std::string(); };
        const Totals* t = result.totals ? &*result.totals : nullptr;
        put("zpe", t ? shown(t->installed, 2) : "");
        put("zp", t ? shown(t->sumP, 2) : "");
        put("zq", t ? shown(t->sumQ, 2) : "");
        put("pjs", t ? shown(t->load.p, 2) : "");
        put("qjs", t ? shown(t->load.q, 2) : "");
        put("sjs", t ? shown(t->load.s, 2) : "");
        put("cos1", t ? opt(t->load.cos, 3) : "");
        put("ijs", t ? shown(t->load.i, 1) : "");
        const Compensation* c = result.compensation ? &*result.compensation : nullptr;
        put("qcx", c ? shown(c->required, 2) : "");
        put("qb", c ? shown(c->load.q, 2) : "");
        put("sb", c ? shown(c->load.s, 2) : "");
        put("cos2", c ? opt(c->load.cos, 3) : "");
        put("ib", c ? shown(c->load.i, 1) : "");
        const TransformerChoice* tr = result.transformer ? &*result.transformer : nullptr;
        put("sn", tr ? opt(tr->rating, 0) : "");
        put("beta", tr ? opt(tr->beta, 2) : "");

        // What the totals leave out, and why, row by row.
        QStringList lines;
        for (const Problem& p : result.problems)
            lines << qs(p.reason);
        for (const std::size_t row : result.excluded)
            for (const Problem& p : result.rows[row].problems)
                lines << qs(rowNote(row, p));
        if (!result.excluded.empty()) {
            QStringList rows;
            for (const std::size_t row : result.excluded)
                rows << QString::number(row + 1);
            lines << QStringLiteral("合计未计入第 %1 行。").arg(rows.join("、"));
        }
        if (tr && !tr->rating && !tr->note.empty())
            lines << qs(tr->note);
        if (c && c->leading)
            lines << QStringLiteral("实装补偿容量大于计算无功功率，补偿后呈容性。");
        auto* notes = qobject_cast<QPlainTextEdit*>(form->control("sm"));
        const QString text = lines.join("\n");
        if (notes->toPlainText() != text)
            notes->setPlainText(text);
    }

    // The board's own fields, its name and the list of boards.
    void showBoard()
    {
        showing = true;
        Board& b = board();
        const std::pair<const char*, std::string*> fields[] = {{"mc", &b.name},          {"kp", &b.kp},
                                                               {"kq", &b.kq},            {"mb", &b.cosTarget},
                                                               {"qc", &b.installedQc},   {"fhl", &b.betaMax},
                                                               {"ts", &b.transformers}};
        for (const auto& [field, value] : fields) {
            auto* e = qobject_cast<QLineEdit*>(form->control(field));
            if (e->text() != qs(*value))
                e->setText(qs(*value));
        }
        auto* series = qobject_cast<QLineEdit*>(form->control("xl"));
        if (!series->hasFocus()) {
            series->setText(qs(seriesText(b.series)));
            series->setCursorPosition(0);
        }
        auto* list = qobject_cast<QComboBox*>(form->control("pdx"));
        {
            QSignalBlocker quiet(list);
            list->clear();
            for (const Board& each : boards())
                list->addItem(qs(each.name.empty() ? std::string("（未命名）") : each.name));
            list->setCurrentIndex(static_cast<int>(*hooks.current));
        }
        recompute();
        model->show(&board(), &result);
        showing = false;
    }

    std::vector<int> selectedRows() const
    {
        std::set<int> rows;
        for (const QModelIndex& i : view->selectionModel()->selectedIndexes())
            if (i.row() < static_cast<int>(const_cast<Editor*>(this)->board().rows.size()))
                rows.insert(i.row());
        if (rows.empty() && view->currentIndex().isValid() &&
            view->currentIndex().row() < static_cast<int>(const_cast<Editor*>(this)->board().rows.size()))
            rows.insert(view->currentIndex().row());
        return {rows.begin(), rows.end()};
    }

    void select(int from, int to, int column)
    {
        if (from < 0)
            return;
        view->setCurrentIndex(model->index(from, column));
        view->selectionModel()->select(QItemSelection(model->index(from, 0), model->index(to, column::Count - 1)),
                                       QItemSelectionModel::ClearAndSelect);
    }

    void insertRow()
    {
        const int at = view->currentIndex().isValid() ? view->currentIndex().row() : static_cast<int>(board().rows.size());
        change([at](Board& b) { b.rows.insert(b.rows.begin() + std::min<std::size_t>(at, b.rows.size()), ScheduleRow{}); });
        select(at, at, column::Name);
    }

    void deleteRows()
    {
        const std::vector<int> rows = selectedRows();
        if (rows.empty())
            return;
        change([&rows](Board& b) {
            for (auto it = rows.rbegin(); it != rows.rend(); ++it)
                b.rows.erase(b.rows.begin() + *it);
        });
        select(std::min(rows.front(), static_cast<int>(board().rows.size())), std::min(rows.front(), static_cast<int>(board().rows.size())),
               view->currentIndex().column() < 0 ? 0 : view->currentIndex().column());
    }

    void moveRows(int by)
    {
        const std::vector<int> rows = selectedRows();
        if (rows.empty())
            return;
        const int first = rows.front(), last = rows.back();
        if (first + by < 0 || last + by >= static_cast<int>(board().rows.size()))
            return;
        const int column = std::max(0, view->currentIndex().column());
        change([first, last, by](Board& b) {
            if (by < 0)
                std::rotate(b.rows.begin() + first - 1, b.rows.begin() + first, b.rows.begin() + last + 1);
            else
                std::rotate(b.rows.begin() + first, b.rows.begin() + last + 1, b.rows.begin() + last + 2);
        });
        select(first + by, last + by, column);
    }

    void copyRows(bool cut)
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

    void paste()
    {
        const std::vector<ScheduleRow> rows = pasteRows(QGuiApplication::clipboard()->text().toStdString());
        if (rows.empty()) {
            form->showMessage(QStringLiteral("剪贴板中没有可粘贴的行"));
            return;
        }
        const int at = view->currentIndex().isValid() ? view->currentIndex().row() : static_cast<int>(board().rows.size());
        change([&rows, at](Board& b) {
            const auto where = b.rows.begin() + std::min<std::size_t>(at, b.rows.size());
            b.rows.insert(where, rows.begin(), rows.end());
        });
        select(at, at + static_cast<int>(rows.size()) - 1, column::Name);
        form->showMessage(QStringLiteral("已粘贴 %1 行").arg(rows.size()));
    }

    void clearCells()
    {
        const QModelIndexList cells = view->selectionModel()->selectedIndexes();
        if (cells.isEmpty())
            return;
        change([&cells](Board& b) {
            for (const QModelIndex& i : cells)
                if (i.column() <= column::SubBoard && i.row() < static_cast<int>(b.rows.size()))
                    cell(b.rows[static_cast<std::size_t>(i.row())], i.column()).clear();
        });
    }

    void step(std::vector<std::vector<Board>>& from, std::vector<std::vector<Board>>& to)
    {
        if (from.empty())
            return;
        to.push_back(boards());
        boards() = std::move(from.back());
        from.pop_back();
        if (*hooks.current >= boards().size())
            *hooks.current = boards().empty() ? 0 : boards().size() - 1;
        showBoard();
        hooks.changed();
    }

    // A row just edited that the calculation cannot take is named in a note.
    void tellAbout(int row)
    {
        const std::size_t r = static_cast<std::size_t>(row);
        if (r < result.rows.size() && !result.rows[r].problems.empty())
            form->showFailure("bg", qs(rowNote(r, result.rows[r].problems.front())));
        else
            form->clearFailure();
    }
};

struct EditorOwner : QObject {
    static constexpr const char* name = "scheduleEditor";
    explicit EditorOwner(QObject* parent) : QObject(parent), editor(std::make_unique<Editor>()) { setObjectName(name); }
    std::unique_ptr<Editor> editor;
};

} // namespace

ui::Form* buildScheduleWindow(ScheduleHooks hooks)
{
    Form* form = build(scheduleWindow());
    // The editor lives as long as the window, in an object the window owns.
    auto* owner = new EditorOwner(form);
    auto& editor = owner->editor;
    editor->form = form;
    editor->hooks = std::move(hooks);

    // The builder's table widget, given the board's rows.
    auto* old = qobject_cast<QTableView*>(form->control("bg"));
    auto* view = new RowsView(old->parentWidget());
    view->setObjectName(old->objectName());
    view->setGeometry(old->geometry());
    view->setToolTip(old->toolTip());
    view->setAccessibleName(old->accessibleName());
    view->setAccessibleDescription(old->accessibleDescription());
    form->nameBy(form->captionOf(old), view); // its caption names the new table as it named the old
    view->setProperty("tabIndex", old->property("tabIndex"));
    view->setTabKeyNavigation(true);
    delete old;
    editor->view = view;
    Editor* e = editor.get();
    editor->model = new RowsModel(view, [e](int row, int column, const std::string& text) {
        const bool adding = row >= static_cast<int>(e->board().rows.size());
        if (adding && isBlank(text))
            return;
        e->change(
            [row, column, text](Board& b) {
                if (row >= static_cast<int>(b.rows.size()))
                    b.rows.resize(static_cast<std::size_t>(row) + 1);
                cell(b.rows[static_cast<std::size_t>(row)], column) = text;
            },
            row, row);
        e->tellAbout(row);
    });
    view->setModel(editor->model);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                          QAbstractItemView::EditKeyPressed);
    // Each column as wide as its figures, and never narrower than its
    // heading in whatever face draws it; the names take what is left.
    const int widths[column::Count] = {0, 105, 85, 100, 45, 80, 55, 75, 80, 75, 65};
    QFont headingFace = view->horizontalHeader()->font();
    headingFace.setBold(true); // as the heading of a selected cell is drawn
    const QFontMetrics heading(headingFace);
    for (int c = 1; c < column::Count; ++c) {
        const QString text = editor->model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const int needed = heading.horizontalAdvance(text) + heading.averageCharWidth() * 2;
        view->setColumnWidth(c, std::max(static_cast<int>(widths[c] * ui::scale()), needed));
    }
    view->horizontalHeader()->setSectionResizeMode(column::Name, QHeaderView::Stretch);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->keys = [e](QKeyEvent* k) {
        if (k->isAutoRepeat() && (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return true; // a held key acts once
        if (k->key() == Qt::Key_Insert && k->modifiers() == Qt::NoModifier)
            return e->insertRow(), true;
        if (k->key() == Qt::Key_Delete && (k->modifiers() & Qt::ControlModifier))
            return e->deleteRows(), true;
        if (k->key() == Qt::Key_Delete && k->modifiers() == Qt::NoModifier)
            return e->clearCells(), true;
        if ((k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) && (k->modifiers() & Qt::AltModifier))
            return e->moveRows(k->key() == Qt::Key_Up ? -1 : 1), true;
        if (k->matches(QKeySequence::Copy))
            return e->copyRows(false), true;
        if (k->matches(QKeySequence::Cut))
            return e->copyRows(true), true;
        if (k->matches(QKeySequence::Paste))
            return e->paste(), true;
        if (k->matches(QKeySequence::Undo))
            return e->step(e->undo, e->redo), true;
        if (k->matches(QKeySequence::Redo) || (k->key() == Qt::Key_Y && k->modifiers() == Qt::ControlModifier))
            return e->step(e->redo, e->undo), true;
        return false;
    };
    form->linkFocusChain();
    qobject_cast<QPlainTextEdit*>(form->control("sm"))->setReadOnly(true);

    Form& f = *form;
    // The board's own figures, as typed.
    const std::pair<const char*, std::string Board::*> fields[] = {
        {"mc", &Board::name},          {"kp", &Board::kp},       {"kq", &Board::kq},
        {"mb", &Board::cosTarget},     {"qc", &Board::installedQc}, {"fhl", &Board::betaMax},
        {"ts", &Board::transformers}};
    for (const auto& [field, member] : fields) {
        const std::string name = field;
        auto into = member;
        f.onChange(field, [e, name, into] {
            if (e->showing)
                return;
            const std::string text = e->form->text(name).toStdString();
            if (e->board().*into == text)
                return;
            e->change([into, text](Board& b) { b.*into = text; });
            if (name == "mc") {
                auto* list = qobject_cast<QComboBox*>(e->form->control("pdx"));
                QSignalBlocker quiet(list);
                list->setItemText(static_cast<int>(*e->hooks.current), qs(text.empty() ? std::string("（未命名）") : text));
            }
        });
    }
    f.onChange("xl", [e] {
        if (e->showing)
            return;
        std::vector<double> series;
        QStringList wrong;
        for (const QString& part : e->form->text("xl").split(QRegularExpression(QStringLiteral("[,，、\\s]+")), Qt::SkipEmptyParts)) {
            const numeric::Num n = readCell(part.toStdString());
            if (n && n.value() > 0)
                series.push_back(n.value());
            else
                wrong << part;
        }
        if (!wrong.isEmpty())
            e->form->showFailure("xl", QStringLiteral("不是容量：%1").arg(wrong.join("、")));
        else
            e->form->clearFailure();
        e->change([&series](Board& b) { b.series = series; });
    });

    QObject::connect(qobject_cast<QComboBox*>(f.control("pdx")), QOverload<int>::of(&QComboBox::activated), form,
                     [e](int index) {
                         if (index < 0 || static_cast<std::size_t>(index) >= e->boards().size())
                             return;
                         *e->hooks.current = static_cast<std::size_t>(index);
                         e->showBoard();
                     });
    f.onClick("xjx", [e] {
        e->undo.push_back(e->boards());
        e->redo.clear();
        std::string name;
        for (int n = static_cast<int>(e->boards().size()) + 1;; ++n) {
            name = "AL" + std::to_string(n);
            if (std::none_of(e->boards().begin(), e->boards().end(), [&name](const Board& b) { return b.name == name; }))
                break;
        }
        e->boards().push_back(Board::named(name));
        *e->hooks.current = e->boards().size() - 1;
        e->showBoard();
        e->hooks.changed();
        e->form->control("mc")->setFocus();
    });
    f.onClick("scx", [e] {
        if (e->boards().size() <= 1 && e->board().rows.empty())
            return;
        e->undo.push_back(e->boards());
        e->redo.clear();
        const QString gone = qs(e->board().name);
        e->boards().erase(e->boards().begin() + static_cast<std::ptrdiff_t>(*e->hooks.current));
        if (*e->hooks.current > 0)
            --*e->hooks.current;
        e->showBoard();
        e->hooks.changed();
        e->form->showMessage(QStringLiteral("配电箱“%1”已删除，Ctrl+Z 可撤销").arg(gone));
    });
    f.onClick("crh", [e] { e->insertRow(); });
    f.onClick("sch", [e] { e->deleteRows(); });
    f.onClick("sy", [e] { e->moveRows(-1); });
    f.onClick("xy", [e] { e->moveRows(1); });
    f.onClick("fh", [e] { e->hooks.back(); });

    // The table has the focus when the window opens.
    new EventHook(form->window(), QEvent::Show, [view] {
        view->setFocus();
        if (!view->currentIndex().isValid())
            view->setCurrentIndex(view->model()->index(0, 0));
        return false;
    });
    editor->showBoard();
    return form;
}

void showBoards(ui::Form& form)
{
    auto* owner = static_cast<EditorOwner*>(form.findChild<QObject*>(EditorOwner::name, Qt::FindDirectChildrenOnly));
    if (!owner)
        return;
    Editor* e = owner->editor.get();
    e->undo.clear();
    e->redo.clear();
    e->showBoard();
}

} // namespace load
