#include "schedule_window.h"

#include "builder.h"
#include "convert.h"
#include "form.h"
#include "schedule_editor.h"
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
    if (const std::optional<double> tab = form.tabIndex(old))
        form.setTabIndex(view, *tab);
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
                onEvent(field, QEvent::ShortcutOverride, [](QEvent* event) {
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
    onEvent(form->window(), QEvent::Show, [view] {
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
