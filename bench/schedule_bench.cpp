// The load schedule at the size of a large building's main board: an edited
// cell of a 1,000-row board, every row a circuit sized with its length, worked
// out and drawn again; a paste of 1,000 rows from a spreadsheet; the board's
// sheet and its circuits' sheet saved as PDF.

#include "window_bench.h"

#include "shell.h"
#include "sheet.h"
#include "builder.h"
#include "form.h"
#include "circuit_sheet.h"
#include "schedule_sheet.h"
#include "schedule_window.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QKeyEvent>
#include <QShortcut>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

Shell* shell = nullptr;

QString rows(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("设备组%1\t%2\t0.%3\t0.8%4\t%5\t\t\t%6\t\t%7\t%8\t%9\n")
                    .arg(i)
                    .arg(5 + i % 90)
                    .arg(5 + i % 5)
                    .arg(i % 10)
                    .arg(i % 7 == 0 ? QStringLiteral("单相") : QStringLiteral("三相"))
                    .arg(i % 3 == 0 ? QStringLiteral("BV") : QStringLiteral("YJV"))
                    .arg(20 + i % 60)
                    .arg(30 + i % 10)
                    .arg(1 + i % 4);
    return text;
}

QTableView* table() { return shell->window("fhb")->findChild<QTableView*>("bg"); }

// Ctrl+V, pressed and let go as a key is.
void keys(Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QApplication::sendEvent(table(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier);
    QApplication::sendEvent(table(), &release);
}
void pasteKeys() { keys(Qt::Key_V); }

// Ctrl+Z as the window takes it, wherever the focus is.
void undo()
{
    for (QShortcut* s : shell->window("fhb")->findChildren<QShortcut*>())
        if (s->key() == QKeySequence(Qt::CTRL | Qt::Key_Z))
            emit s->activated();
}

void editCell(benchmark::State& state)
{
    QAbstractItemModel* model = table()->model();
    int n = 0;
    for (auto _ : state) {
        model->setData(model->index(500, load::column::Pe), QString::number(10 + (n++ % 50)), Qt::EditRole);
        table()->viewport()->repaint();
    }
    state.SetLabel("1000 rows: totals and every circuit worked out, the table drawn");
}
BENCHMARK(editCell)->Unit(benchmark::kMillisecond);

void paste(benchmark::State& state)
{
    QGuiApplication::clipboard()->setText(rows(1000));
    for (auto _ : state) {
        table()->setCurrentIndex(table()->model()->index(0, 0));
        pasteKeys();
        table()->viewport()->repaint();
        state.PauseTiming();
        undo();
        state.ResumeTiming();
    }
    state.SetLabel("1000 rows into a 1000-row board");
}
BENCHMARK(paste)->Unit(benchmark::kMillisecond);

void savePdf(benchmark::State& state, sheet::Sheet (*make)(const std::vector<load::Board>&, std::size_t))
{
    const std::vector<load::Board> boards = shell->session().schedule().boards;
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        sheet::Sheet s = make(boards, 0);
        s.made = QDateTime::currentDateTime();
        sheet::write(s, sheet::Format::Pdf, &out);
        benchmark::DoNotOptimize(out.data().size());
    }
}

void pdf(benchmark::State& state)
{
    savePdf(state, load::scheduleSheet);
    state.SetLabel("the sheet of a 1000-row board");
}
BENCHMARK(pdf)->Unit(benchmark::kMillisecond);

void circuitsPdf(benchmark::State& state)
{
    savePdf(state, load::circuitSheet);
    state.SetLabel("the circuits' sheet of a 1000-row board");
}
BENCHMARK(circuitsPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWindows(argc, argv, shell, [](QTemporaryDir&) {
        shell->schedule(0);
        QGuiApplication::clipboard()->setText(rows(1000));
        pasteKeys();
    });
}
