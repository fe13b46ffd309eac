// The load schedule window as the engineer uses it: from the load window with
// Ctrl+B, rows typed from the keyboard or pasted from a spreadsheet, undone and
// redone, bad cells named, sub-boards, and the boards kept in the project.

#include "form.h"
#include "schedule_file.h"
#include "schedule_window.h"
#include "window_test.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <functional>

namespace {

const char* const workedExample = "用电设备组\t设备容量\t需要系数\t功率因数\n"
                                  "照明\t120\t0.8\t0.9\n"
                                  "空调\t300\t0.7\t0.8\n"
                                  "水泵\t90\t0.7\t0.8\n"
                                  "电梯\t60\t0.5\t0.6\n";

} // namespace

class ScheduleWindow : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        open("fhjs");
        press(Qt::Key_B, Qt::ControlModifier);
        current_ = shell_->window("fhb");
        activate();
    }
    QTableView* table() const { return qobject_cast<QTableView*>(find("bg")); }
    QString cellText(int row, int column) const { return table()->model()->index(row, column).data().toString(); }
    void paste(const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        table()->setFocus();
        QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
    }
    QString notes() const { return qobject_cast<QPlainTextEdit*>(find("sm"))->toPlainText(); }
    // Keys typed where the focus is, as the keyboard sends them: the first
    // opens the cell's editor, the rest go into it.
    static void keys(const char* text)
    {
        for (const char* c = text; *c; ++c)
            QTest::keyClicks(QApplication::focusWidget(), QString(QChar(*c)));
    }
};

TEST_F(ScheduleWindow, OpensFromTheLoadWindowWithTheTableReady)
{
    EXPECT_EQ(visibleWindows(), QStringList{"fhb"});
    EXPECT_EQ(QApplication::focusWidget(), table());
    // Every column's heading stands whole, in whatever face draws it (the
    // names' column takes what the others leave).
    QHeaderView* header = table()->horizontalHeader();
    QFont bold = header->font();
    bold.setBold(true);
    for (int c = 1; c < header->count(); ++c) {
        const QString heading = table()->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_LE(QFontMetrics(bold).horizontalAdvance(heading), header->sectionSize(c)) << heading.toStdString();
    }
    click("fh");
    EXPECT_EQ(visibleWindows(), QStringList{"fhjs"});
}

// Typed cell by cell: Enter moves down, Tab across; the totals follow.
TEST_F(ScheduleWindow, TheWorkedExampleTypedFromTheKeyboard)
{
    const char* rows[][4] = {{"lighting", "120", "0.8", "0.9"}, {"ac", "300", "0.7", "0.8"}, {"pumps", "90", "0.7", "0.8"},
                             {"lifts", "60", "0.5", "0.6"}};
    table()->setCurrentIndex(table()->model()->index(0, 0));
    for (const auto& row : rows) {
        for (const char* cell : row) {
            keys(cell);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // Back to the first column of the next row.
        table()->setCurrentIndex(table()->model()->index(table()->currentIndex().row() + 1, 0));
    }
    EXPECT_EQ(cellText(1, load::column::Pjs), "210.00");
    EXPECT_EQ(text("zp"), "399.00");
    EXPECT_EQ(text("zq"), "291.24");
    EXPECT_EQ(text("pjs"), "359.10");
    EXPECT_EQ(text("qjs"), "276.68");
    EXPECT_EQ(text("sjs"), "453.33");
    EXPECT_EQ(text("cos1"), "0.792");
    EXPECT_EQ(text("ijs"), "688.8");
    EXPECT_EQ(text("qcx"), "102.76");
    EXPECT_EQ(text("sb"), "399.00");
    EXPECT_EQ(text("sn"), "500");
    EXPECT_EQ(text("beta"), "0.80");

    // Enter in a cell being typed goes to the cell below.
    table()->setCurrentIndex(table()->model()->index(0, load::column::Pe));
    keys("150");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents(); // the cell takes what was typed as the event loop comes round
    EXPECT_EQ(cellText(0, load::column::Pe), "150");
    EXPECT_EQ(table()->currentIndex().row(), 1);
}

// Every caption stands whole, its unit included: in whatever face draws 宋体
// here, and in SimSun itself, where every character but ASCII is a full em
// wide (Σ, Ω and ′ too) and ASCII half of one.
TEST_F(ScheduleWindow, EveryCaptionStandsWholeHereAndInSimSun)
{
    for (QLabel* l : current_->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(current_) || l->text().isEmpty())
            continue;
        const QString text = l->text();
        const int room = l->contentsRect().width();
        EXPECT_LE(l->fontMetrics().horizontalAdvance(text), room) << l->objectName().toStdString();
        const int em = QFontInfo(l->font()).pixelSize();
        int halves = 0;
        for (QChar c : text)
            halves += c.unicode() < 0x80 ? 1 : 2;
        EXPECT_LE(halves * em / 2, room) << l->objectName().toStdString() << " " << text.toStdString();
    }
}

// Totals too long for their fields show their first digits.
TEST_F(ScheduleWindow, LongTotalsShowTheirFirstDigits)
{
    paste("照明\t123456789012345\t0.8\t0.9\n");
    int tooLong = 0;
    for (const ui::Control& c : load::scheduleWindow().controls) {
        if (!c.readOnly)
            continue;
        auto* field = get<QLineEdit>(c.name.c_str());
        tooLong += field->fontMetrics().horizontalAdvance(field->text()) > field->width();
        EXPECT_EQ(field->cursorPosition(), 0) << c.name << " " << field->text().toStdString();
    }
    EXPECT_GT(tooLong, 0) << "no total too long for its field";
}

// Rows pasted from a spreadsheet (its header skipped), copied out the same
// way, undone and redone.
TEST_F(ScheduleWindow, PasteCopyUndoRedo)
{
    paste(workedExample);
    ASSERT_EQ(cellText(3, load::column::Name), "电梯");
    EXPECT_EQ(text("pjs"), "359.10");

    QGuiApplication::clipboard()->clear();
    table()->clearSelection();
    table()->setCurrentIndex({});
    QTest::keyClick(table(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied->hasHtml());
    EXPECT_TRUE(copied->html().contains("<table"));
    const QString tsv = copied->text();

    QTest::keyClick(table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cellText(0, load::column::Name), "");
    EXPECT_EQ(text("pjs"), "0.00");
    QTest::keyClick(table(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(cellText(3, load::column::Name), "电梯");

    // What was copied pastes back as the same rows.
    table()->setCurrentIndex(table()->model()->index(4, 0));
    paste(tsv);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column <= load::column::SubBoard; ++column)
            EXPECT_EQ(cellText(row + 4, column), cellText(row, column)) << row << " " << column;

    // Rows move and go with their keys.
    table()->setCurrentIndex(table()->model()->index(1, 0));
    QTest::keyClick(table(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(cellText(0, load::column::Name), "空调");
    QTest::keyClick(table(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(cellText(0, load::column::Name), "照明");
    QTest::keyClick(table(), Qt::Key_Insert);
    EXPECT_EQ(cellText(0, load::column::Name), "");
    EXPECT_EQ(cellText(1, load::column::Name), "照明");
}

// A cell the calculation cannot take is named with its row and reason; the
// totals say which rows they leave out; no figure is ever infinite or NaN.
TEST_F(ScheduleWindow, BadCellsAreNamedAndLeftOut)
{
    paste("照明\t120\t0.8\t0.9\n空调\t300\t1.7\t0.8\n水泵\tabc\t0.7\t0.8\n电梯\t60\t0.5\t0\n");
    EXPECT_TRUE(notes().contains("第 2 行")) << notes().toStdString();
    EXPECT_TRUE(notes().contains("第 3 行"));
    EXPECT_TRUE(notes().contains("合计未计入第 2、3、4 行")) << notes().toStdString();
    EXPECT_EQ(text("zp"), "96.00");
    for (QLineEdit* e : win()->findChildren<QLineEdit*>())
        EXPECT_FALSE(e->text().contains("inf") || e->text().contains("nan")) << e->objectName().toStdString();

    // Typing a bad value shows a note naming the row.
    table()->setCurrentIndex(table()->model()->index(0, load::column::Kx));
    keys("2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(form()->failureText().contains("第 1 行")) << form()->failureText().toStdString();
}

// A board stands as a row of another; a board that would hold itself is refused.
TEST_F(ScheduleWindow, SubBoardsAndTheProject)
{
    paste(workedExample);
    type("mc", "AP1");
    click("xjx");
    qobject_cast<QLineEdit*>(find("mc"))->setText(QStringLiteral("总配电"));
    paste("AP1 箱\t\t\t\t\tAP1\n自身\t\t\t\t\t总配电\n");
    EXPECT_EQ(text("zp"), "359.10") << "the sub-board's totals after its own factors";
    EXPECT_TRUE(notes().contains("第 2 行")) << notes().toStdString();

    // Saved with the project, and there again in a fresh program.
    chosen_ = folders_.path() + "/boards.elcarta";
    press(Qt::Key_S, Qt::ControlModifier);
    const auto boards = load::scheduleFrom(shell_->project().parts).boards;
    ASSERT_EQ(boards.size(), 2u);
    restart();
    ASSERT_TRUE(shell_->openProject(chosen_));
    EXPECT_TRUE(load::scheduleFrom(shell_->project().parts).boards == boards);
    shell_->schedule(1);
    current_ = shell_->window("fhb");
    activate();
    EXPECT_EQ(text("mc"), "总配电");
    EXPECT_EQ(text("zp"), "359.10");
}

// A screen reader reads the table as a table: its headers, rows and columns.
TEST_F(ScheduleWindow, ReadAsATable)
{
    paste(workedExample);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(table());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Table);
    QAccessibleTableInterface* t = a->tableInterface();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->columnCount(), load::column::Count);
    EXPECT_GE(t->rowCount(), 4);
    EXPECT_EQ(t->columnDescription(load::column::Pe), "设备容量Pe(kW)");
    QAccessibleInterface* cell = t->cellAt(1, load::column::Name);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), "空调");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find("pjs"))->text(QAccessible::Name), "计算负荷Pjs(kW)");
}

// A note goes when its cause goes: the row fixed or deleted, the board
// switched, the edit undone; a confirmation at the next action.
TEST_F(ScheduleWindow, NotesGoWithTheirCause)
{
    // AL1 holds AL1-1; AL1-1's first row is to hold AL1 back, a loop.
    click("xjx");
    qobject_cast<QLineEdit*>(find("mc"))->setText(QStringLiteral("AL1-1"));
    paste(QStringLiteral("总箱\t\t\t\t\t\n"));
    shell_->schedule(0);
    activate();
    paste(QStringLiteral("分箱\t\t\t\t\tAL1-1\n"));
    EXPECT_FALSE(form()->messageText().isEmpty()) << "已粘贴";
    QTest::keyClick(table(), Qt::Key_Down);
    EXPECT_TRUE(form()->messageText().isEmpty()) << "the next action takes the confirmation away";

    const struct {
        const char* name;
        std::function<void()> remove;
    } ways[] = {
        {"the row deleted",
         [this] {
             table()->setCurrentIndex(table()->model()->index(0, 0));
             QTest::keyClick(table(), Qt::Key_Delete, Qt::ControlModifier);
         }},
        {"the edit undone", [this] { QTest::keyClick(win()->windowHandle(), Qt::Key_Z, Qt::ControlModifier); }},
        {"the board switched", [this] { shell_->schedule(0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        shell_->schedule(1);
        activate();
        ASSERT_EQ(text("mc"), "AL1-1");
        table()->setCurrentIndex(table()->model()->index(0, load::column::SubBoard));
        keys("AL1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        ASSERT_TRUE(form()->failureText().contains(QStringLiteral("形成循环"))) << form()->failureText().toStdString();
        way.remove();
        EXPECT_EQ(form()->failureText(), "");
        EXPECT_EQ(form()->failedField(), "");
        // Back to a first row that holds no board.
        shell_->schedule(1);
        activate();
        if (way.name == std::string("the row deleted"))
            QTest::keyClick(win()->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        table()->setCurrentIndex(table()->model()->index(0, load::column::SubBoard));
        QTest::keyClick(table(), Qt::Key_Delete);
        ASSERT_EQ(cellText(0, load::column::SubBoard), "");
    }
}

// Ctrl+Z undoes the schedule wherever the focus is in the window: a board's
// field typed into is put back as it was, in one step.
TEST_F(ScheduleWindow, UndoWorksAnywhereInTheWindow)
{
    paste(workedExample);
    type("kp", "0.8");
    EXPECT_EQ(text("pjs"), "319.20");
    QTest::keyClick(find("kp"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text("kp"), "0.9");
    EXPECT_EQ(text("pjs"), "359.10");
    find("sm")->setFocus();
    QTest::keyClick(find("sm"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cellText(0, load::column::Name), "") << "the paste undone from 说明";
}
