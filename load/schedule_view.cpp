#include "schedule_view.h"

#include "schedule_table.h"
#include "tables.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <algorithm>

namespace load {

namespace {

// A cable or method cell drops down the codes it takes; anything else may
// still be typed, and is then named as wrong.
class CodesDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStringList codes;
        if (index.column() == column::Cable)
            for (const circuits::CableKind k : circuits::cableKinds())
                codes << QString::fromUtf8(circuits::cableInfo(k).code);
        else if (index.column() == column::Method)
            for (const circuits::Method m : circuits::methods())
                codes << QString::fromUtf8(circuits::methodInfo(m).code);
        else
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);
        box->addItems(codes);
        if (index.column() == column::Method)
            for (int i = 0; i < box->count(); ++i)
                if (const auto m = circuits::methodByCode(box->itemText(i).toStdString()))
                    box->setItemData(i, QString::fromUtf8(circuits::methodInfo(*m).description), Qt::ToolTipRole);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            const QString typed = index.data(Qt::EditRole).toString();
            box->setCurrentIndex(box->findText(typed, Qt::MatchFixedString));
            box->setEditText(typed);
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, box->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};

} // namespace

RowsView::RowsView(QWidget* parent) : QTableView(parent)
{
    setTabKeyNavigation(true);
    setItemDelegate(new CodesDelegate(this));
}

bool RowsView::event(QEvent* e)
{
    // The table's keys are its own, not the window's shortcuts; undo and
    // redo are the window's wherever the focus is.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->matches(QKeySequence::Copy) || k->matches(QKeySequence::Paste) || k->matches(QKeySequence::Cut) ||
            k->key() == Qt::Key_Delete || k->key() == Qt::Key_Insert) {
            e->accept();
            return true;
        }
    }
    return QTableView::event(e);
}

void RowsView::down()
{
    const QModelIndex at = currentIndex();
    const int column = tabbedFrom_ >= 0 ? tabbedFrom_ : at.column();
    tabbedFrom_ = -1;
    if (at.isValid() && at.row() + 1 < model()->rowCount())
        setCurrentIndex(model()->index(at.row() + 1, column));
}

void RowsView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (!tabbing_)
        tabbedFrom_ = -1;
    tabbing_ = false;
    QTableView::currentChanged(current, previous);
}

void RowsView::keyPressEvent(QKeyEvent* e)
{
    if (keys && keys(e))
        return;
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && state() != EditingState) {
        down();
        return;
    }
    // Ctrl+Tab leaves the table, whichever cell has the focus.
    if ((e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) && (e->modifiers() & Qt::ControlModifier)) {
        const bool forward = e->key() == Qt::Key_Tab && !(e->modifiers() & Qt::ShiftModifier);
        QAbstractScrollArea::focusNextPrevChild(forward);
        return;
    }
    QTableView::keyPressEvent(e);
}

void RowsView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Enter in a cell being typed into commits it and goes to the cell below.
    if (hint == QAbstractItemDelegate::SubmitModelCache) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        down();
        return;
    }
    QTableView::closeEditor(editor, hint);
}

QModelIndex RowsView::nextInput(const QModelIndex& at, bool forward) const
{
    const int rows = model()->rowCount();
    int row = at.isValid() ? at.row() : (forward ? 0 : rows - 1);
    int c = at.isValid() ? (forward ? at.column() + 1 : std::min(at.column() - 1, column::inputs - 1))
                         : (forward ? 0 : column::inputs - 1);
    if (c >= column::inputs) {
        c = 0;
        ++row;
    } else if (c < 0) {
        c = column::inputs - 1;
        --row;
    }
    if (row < 0 || row >= rows)
        return {};
    return model()->index(row, c);
}

QModelIndex RowsView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Tab past the last input cell leaves the table, as it does everywhere else.
    if (action == MoveNext || action == MovePrevious) {
        const QModelIndex next = nextInput(currentIndex(), action == MoveNext);
        if (next.isValid() && next.row() == currentIndex().row()) {
            if (tabbedFrom_ < 0)
                tabbedFrom_ = currentIndex().column();
            tabbing_ = true;
        }
        return next;
    }
    return QTableView::moveCursor(action, modifiers);
}

} // namespace load
