// The load schedule at the size of a large building's main board: an edited
// cell of a 1,000-row board worked out and drawn again, a paste of 1,000 rows
// from a spreadsheet, and the board's sheet saved as PDF.

#include "window_bench.h"

#include "shell.h"
#include "sheet.h"
#include "builder.h"
#include "form.h"
#include "schedule_sheet.h"
#include "schedule_window.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QKeyEvent>
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
        text += QStringLiteral("设备组%1\t%2\t0.%3\t0.8%4\t%5\n")
                    .arg(i)
                    .arg(5 + i % 90)
                    .arg(5 + i % 5)
                    .arg(i % 10)
                    .arg(i % 7 == 0 ? QStringLiteral("单相") : QStringLiteral("三相"));
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

void editCell(benchmark::State& state)
{
    QAbstractItemModel* model = table()->model();
    int n = 0;
    for (auto _ : state) {
        model->setData(model->index(500, load::column::Pe), QString::number(10 + (n++ % 50)), Qt::EditRole);
        table()->viewport()->repaint();
    }
    state.SetLabel("1000 rows: totals worked out and the table drawn");
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
        keys(Qt::Key_Z);
        state.ResumeTiming();
    }
    state.SetLabel("1000 rows into a 1000-row board");
}
BENCHMARK(paste)->Unit(benchmark::kMillisecond);

void pdf(benchmark::State& state)
{
    const project::Project p = shell->project();
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        sheet::Sheet s = load::scheduleSheet(p.boards, 0);
        s.made = QDateTime::currentDateTime();
        sheet::write(s, sheet::Format::Pdf, &out);
        benchmark::DoNotOptimize(out.data().size());
    }
    state.SetLabel("the sheet of a 1000-row board");
}
BENCHMARK(pdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWindows(argc, argv, shell, [](QTemporaryDir&) {
        shell->schedule(0);
        QGuiApplication::clipboard()->setText(rows(1000));
        pasteKeys();
    });
}
