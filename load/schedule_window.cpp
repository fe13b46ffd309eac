#include "schedule_window.h"

#include "builder.h"
#include "convert.h"
#include "form.h"
#include "schedule_model.h"
#include "schedule_text.h"
#include "schedule_undo.h"
#include "schedule_view.h"
#include "widgets.h"

#include <QApplication>
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
#include <QUndoStack>
#include <algorithm>
#include <memory>
#include <set>

using namespace ui;

namespace load {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

std::string seriesText(const std::vector<double>& series)
{
    std::string text;
    for (const double v : series)
        text += (text.empty() ? "" : ", ") + numeric::formatNumber(v);
    return text;
}

QString boardCaption(const Board& b) { return qs(b.name.empty() ? std::string("（未命名）") : b.name); }

// The board's own fields as typed, by the window's names.
const std::pair<const char*, std::string Board::*> boardFields[] = {
    {"mc", &Board::name},          {"kp", &Board::kp},
    {"kq", &Board::kq},            {"mb", &Board::cosTarget},
    {"qc", &Board::installedQc},   {"fhl", &Board::betaMax},
    {"ts", &Board::transformers},  {"dk", &Board::reactance},
    {"yj", &Board::dropLimit},     {"xtrl", &Board::networkMva},
    {"zkdy", &Board::uk},          {"fzsh", &Board::loadLoss},
    {"dlsj", &Board::withstandTime},
};
// Its series, with what a wrong entry is called.
struct SeriesField {
    const char* field;
    std::vector<double> Board::*series;
    const char* what;
};
const SeriesField seriesFields[] = {{"xl", &Board::series, "容量"}, {"dlq", &Board::breakers, "额定电流"}};

// The window's working state: the project's boards, which one is shown, and
// the edits that can be undone.
class Editor : public Boards {
public:
    Form* form = nullptr;
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
    std::size_t current()
    {
        if (boards().empty())
            boards().push_back(Board::named("AL1"));
        *hooks.current = std::min(*hooks.current, boards().size() - 1);
        return *hooks.current;
    }
    Board& board() { return boards()[current()]; }

    // After every edit, done or undone: the board it changed is shown.
    void changed(std::size_t b, int from, int to) override
    {
        form->clearMessage(); // a confirmation goes at the next action
        if (b != current() || to < 0 || board().rows.size() + 1 != static_cast<std::size_t>(model->rowCount())) {
            *hooks.current = std::min(b, boards().size() - 1);
            showBoard();
        } else {
            recompute();
            // The worked-out columns of other rows follow too (a loop found, the busbar moved).
            model->refreshed(std::min(from, 0), model->rowCount() - 1);
        }
        refreshNote();
        hooks.changed();
    }

    void push(QUndoCommand* command) { stack->push(command); }

    void recompute()
    {
        result = evaluate(boards(), current());
        showTotals();
    }

    void put(const char* field, const std::string& text)
    {
        auto* e = qobject_cast<QLineEdit*>(form->control(field));
        if (e->text() != qs(text)) {
            e->setText(qs(text));
            e->setCursorPosition(0); // a total too long for its field is read from its first digit
        }
    }

    void showTotals()
    {
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
        put("mxdl", result.origin ? shown(result.origin->ik3, 2) : "");

        // What the totals and the circuits leave out, and why, row by row.
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
        for (const std::size_t row : result.circuitsLeftOut)
            for (const Problem& p : result.rows[row].circuitProblems)
                lines << qs(rowNote(row, p));
        if (!result.circuitsLeftOut.empty()) {
            QStringList rows;
            for (const std::size_t row : result.circuitsLeftOut)
                rows << QString::number(row + 1);
            lines << QStringLiteral("回路未计算第 %1 行。").arg(rows.join("、"));
        }
        for (std::size_t row = 0; row < result.rows.size(); ++row)
            if (!result.rows[row].circuitNote.empty())
                lines << qs(rowNote(row, {Cell::Rows, result.rows[row].circuitNote}));
        if (!result.originNote.empty())
            lines << QStringLiteral("母线：") + qs(result.originNote) + QStringLiteral("。");
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
        for (const auto& [field, member] : boardFields) {
            auto* e = qobject_cast<QLineEdit*>(form->control(field));
            if (e->text() != qs(b.*member))
                e->setText(qs(b.*member));
        }
        for (const SeriesField& s : seriesFields) {
            auto* e = qobject_cast<QLineEdit*>(form->control(s.field));
            // What is being typed stays as typed; the series it reads as is the board's.
            if (!e->hasFocus()) {
                e->setText(qs(seriesText(b.*s.series)));
                e->setCursorPosition(0);
            }
        }
        auto* list = qobject_cast<QComboBox*>(form->control("pdx"));
        {
            QSignalBlocker quiet(list);
            list->clear();
            for (const Board& each : boards())
                list->addItem(boardCaption(each));
            list->setCurrentIndex(static_cast<int>(current()));
        }
        recompute();
        model->show(&board(), &result);
        showing = false;
    }

    // A note whose cause is gone goes with it: the row fixed or deleted, the
    // board switched or deleted, the edit undone.
    void refreshNote()
    {
        if (!noted)
            return;
        bool still = false;
        if (noted->series) {
            still = noted->board == current() && !readSeries(noted->series->field).second.isEmpty();
        } else if (noted->board == current() && noted->row >= 0 &&
                   static_cast<std::size_t>(noted->row) < result.rows.size()) {
            const RowResult& r = result.rows[static_cast<std::size_t>(noted->row)];
            for (const auto* list : {&r.problems, &r.circuitProblems})
                for (const Problem& p : *list)
                    still = still || p.reason == noted->reason;
        }
        if (!still) {
            noted.reset();
            form->clearFailure();
        }
    }

    // A row just edited that the calculation cannot take is named in a note.
    void tellAbout(int row)
    {
        const std::size_t r = static_cast<std::size_t>(row);
        const Problem* problem = nullptr;
        if (r < result.rows.size()) {
            if (!result.rows[r].problems.empty())
                problem = &result.rows[r].problems.front();
            else if (!result.rows[r].circuitProblems.empty())
                problem = &result.rows[r].circuitProblems.front();
        }
        if (problem) {
            form->showFailure("bg", qs(rowNote(r, *problem)));
            noted = Noted{current(), row, problem->reason, nullptr};
        } else if (noted && !noted->series) {
            noted.reset();
            form->clearFailure();
        }
    }

    // A series as typed: the values it reads as and what is no value.
    std::pair<std::vector<double>, QStringList> readSeries(const char* field) const
    {
        std::vector<double> values;
        QStringList wrong;
        for (const QString& part :
             form->text(field).split(QRegularExpression(QStringLiteral("[,，、\\s]+")), Qt::SkipEmptyParts)) {
            const numeric::Num n = readCell(part.toStdString());
            if (n && n.value() > 0)
                values.push_back(n.value());
            else
                wrong << part;
        }
        return {values, wrong};
    }

    std::vector<int> selectedRows() const
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

    void select(int from, int to, int column)
    {
        if (from < 0)
            return;
        view->setCurrentIndex(model->index(from, column));
        view->selectionModel()->select(QItemSelection(model->index(from, 0), model->index(to, column::Count - 1)),
                                       QItemSelectionModel::ClearAndSelect);
    }

    int insertionRow() const
    {
        const int rows = static_cast<int>(const_cast<Editor*>(this)->board().rows.size());
        return view->currentIndex().isValid() ? std::min(view->currentIndex().row(), rows) : rows;
    }

    void insertRow()
    {
        const int at = insertionRow();
        push(rowsInsert(*this, current(), at, {ScheduleRow{}}));
        select(at, at, column::Name);
    }

    void deleteRows()
    {
        const std::vector<int> rows = selectedRows();
        if (rows.empty())
            return;
        const int column = std::max(0, view->currentIndex().column());
        push(rowsRemove(*this, current(), rows));
        const int at = std::min(rows.front(), static_cast<int>(board().rows.size()));
        select(at, at, column);
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
        push(rowsMove(*this, current(), first, last, by));
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

    void clearCells()
    {
        std::vector<std::pair<int, int>> cells;
        for (const QModelIndex& i : view->selectionModel()->selectedIndexes())
            if (column::isInput(i.column()) && i.row() < static_cast<int>(board().rows.size()))
                cells.emplace_back(i.row(), i.column());
        if (!cells.empty())
            push(cellsClear(*this, current(), std::move(cells)));
    }

    void newBoard()
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

    void deleteBoard()
    {
        if (boards().size() <= 1 && board().rows.empty())
            return;
        const QString gone = qs(board().name);
        push(boardRemove(*this, current()));
        form->showMessage(QStringLiteral("配电箱“%1”已删除，Ctrl+Z 可撤销").arg(gone));
    }

    void switchTo(std::size_t b)
    {
        form->clearMessage();
        *hooks.current = b;
        showBoard();
        refreshNote();
    }
};

struct EditorOwner : QObject {
    static constexpr const char* name = "scheduleEditor";
    explicit EditorOwner(QObject* parent) : QObject(parent), editor(std::make_unique<Editor>()) { setObjectName(name); }
    std::unique_ptr<Editor> editor;
};

// The builder's table widget, given the board's rows.
RowsView* rowsView(Form& form, Editor* e)
{
    auto* old = qobject_cast<QTableView*>(form.control("bg"));
    auto* view = new RowsView(old->parentWidget());
    view->setObjectName(old->objectName());
    view->setGeometry(old->geometry());
    view->setToolTip(old->toolTip());
    view->setAccessibleName(old->accessibleName());
    view->setAccessibleDescription(old->accessibleDescription());
    form.nameBy(form.captionOf(old), view); // its caption names the new table as it named the old
    view->setProperty("tabIndex", old->property("tabIndex"));
    delete old;

    e->model = new RowsModel(view, [e](int row, int column, const std::string& text) {
        const bool adding = row >= static_cast<int>(e->board().rows.size());
        if (adding && isBlank(text))
            return;
        if (!adding && cellText(e->board().rows[static_cast<std::size_t>(row)], column) == text)
            return;
        e->push(cellEdit(*e, e->current(), row, column, text));
        e->tellAbout(row);
    });
    view->setModel(e->model);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                          QAbstractItemView::EditKeyPressed);
    // Each column as wide as its figures, and never narrower than its heading
    // in whatever face draws it; the table scrolls sideways where the window
    // is narrower.
    QFont headingFace = view->horizontalHeader()->font();
    headingFace.setBold(true); // as the heading of a selected cell is drawn
    const QFontMetrics heading(headingFace);
    const QFontMetrics cells(view->font());
    for (int c = 0; c < column::Count; ++c) {
        const QString text = QString::fromUtf8(columnOf(c).heading);
        const int needed = heading.horizontalAdvance(text) + heading.averageCharWidth() * 2;
        int wide = static_cast<int>(columnOf(c).width * ui::scale());
        if (c == column::Name) // a name of six Chinese characters
            wide = std::max(wide, cells.horizontalAdvance(QStringLiteral("照明插座回路")) + cells.averageCharWidth() * 2);
        view->setColumnWidth(c, std::max(wide, needed));
    }
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setStretchLastSection(true);
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
        return false;
    };
    return view;
}

// Ctrl+Z and Ctrl+Y undo and redo the schedule wherever the focus is in the
// window; a cell being typed into keeps its own.
void undoKeys(Form& form, Editor* e)
{
    QWidget* window = form.window();
    const std::pair<QKeySequence, bool> keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Z), true},
                                                  {QKeySequence(Qt::CTRL | Qt::Key_Y), false},
                                                  {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), false}};
    for (const auto& [sequence, undo] : keys) {
        auto* key = new QShortcut(sequence, window);
        key->setContext(Qt::WindowShortcut);
        key->setAutoRepeat(false);
        const bool isUndo = undo;
        QObject::connect(key, &QShortcut::activated, window, [e, isUndo] {
            e->form->clearMessage();
            if (isUndo)
                e->stack->undo();
            else
                e->stack->redo();
        });
    }
    // The board's fields give up their own undo for the schedule's.
    for (const Control& c : scheduleWindow().controls)
        if (c.kind == Kind::Field)
            if (QWidget* field = form.control(c.name))
                new EventHook(field, QEvent::ShortcutOverride, [](QEvent* event) {
                    const auto* k = static_cast<QKeyEvent*>(event);
                    if (!k->matches(QKeySequence::Undo) && !k->matches(QKeySequence::Redo) &&
                        !(k->key() == Qt::Key_Y && k->modifiers() == Qt::ControlModifier))
                        return false;
                    event->ignore();
                    return true;
                });
}

void wireBoardFields(Form& f, Editor* e)
{
    for (const auto& [field, member] : boardFields) {
        const std::string name = field;
        auto into = member;
        f.onChange(field, [e, name, into] {
            if (e->showing)
                return;
            const std::string text = e->form->text(name).toStdString();
            if (e->board().*into == text)
                return;
            e->push(fieldEdit(*e, e->current(), into, text));
            if (name == "mc") {
                auto* list = qobject_cast<QComboBox*>(e->form->control("pdx"));
                QSignalBlocker quiet(list);
                list->setItemText(static_cast<int>(e->current()), boardCaption(e->board()));
            }
        });
    }
    for (const SeriesField& s : seriesFields) {
        const SeriesField* series = &s;
        f.onChange(s.field, [e, series] {
            if (e->showing)
                return;
            auto [values, wrong] = e->readSeries(series->field);
            if (!wrong.isEmpty()) {
                e->form->showFailure(series->field,
                                     QStringLiteral("不是%1：%2").arg(QString::fromUtf8(series->what), wrong.join("、")));
                e->noted = Editor::Noted{e->current(), -1, {}, series};
            } else if (e->noted && e->noted->series == series) {
                e->noted.reset();
                e->form->clearFailure();
            }
            if (e->board().*(series->series) != values)
                e->push(seriesEdit(*e, e->current(), series->series, std::move(values)));
        });
    }
}

} // namespace

ui::Form* buildScheduleWindow(ScheduleHooks hooks)
{
    Form* form = build(scheduleWindow());
    // The editor lives as long as the window, in an object the window owns.
    auto* owner = new EditorOwner(form);
    Editor* e = owner->editor.get();
    e->form = form;
    e->hooks = std::move(hooks);
    e->stack = new QUndoStack(owner);
    RowsView* view = rowsView(*form, e);
    e->view = view;
    form->linkFocusChain();
    qobject_cast<QPlainTextEdit*>(form->control("sm"))->setReadOnly(true);
    undoKeys(*form, e);

    Form& f = *form;
    wireBoardFields(f, e);
    QObject::connect(qobject_cast<QComboBox*>(f.control("pdx")), QOverload<int>::of(&QComboBox::activated), form,
                     [e](int index) {
                         if (index >= 0 && static_cast<std::size_t>(index) < e->boards().size())
                             e->switchTo(static_cast<std::size_t>(index));
                     });
    f.onClick("xjx", [e] { e->newBoard(); });
    f.onClick("scx", [e] { e->deleteBoard(); });
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
    e->showBoard();
    return form;
}

void showBoards(ui::Form& form)
{
    auto* owner = static_cast<EditorOwner*>(form.findChild<QObject*>(EditorOwner::name, Qt::FindDirectChildrenOnly));
    if (!owner)
        return;
    Editor* e = owner->editor.get();
    e->stack->clear();
    e->noted.reset();
    e->form->clearFailure();
    e->showBoard();
}

} // namespace load
