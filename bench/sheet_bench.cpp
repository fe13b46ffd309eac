// How fast a calculator's sheet is made and handed over, once the window
// shows a worked example: saved as a PDF (as Ctrl+P does, file written and
// closed) and copied to the clipboard as HTML and text (as Ctrl+Shift+C does).

#include "window_bench.h"

#include "shell.h"
#include "actions.h"
#include "builder.h"
#include "form.h"
#include "widgets.h"
#include "lighting_sheet.h"
#include "lightning_sheet.h"
#include "load_sheet.h"
#include "trunking_sheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

struct Calculator {
    const char* window;
    sheet::Maker maker;
    std::vector<std::pair<const char*, const char*>> typed; // field, text
    std::vector<const char*> clicked;                       // buttons, options and labels, in order
};

const std::vector<Calculator>& calculators()
{
    static const std::vector<Calculator> all = {
        {"fhjs", load::makeSheet, {{"Pjs", "100"}}, {"Command1", "Command4", "Command5"}},
        {"fljs", lightning::makeSheet, {{"l", "100"}, {"w", "50"}, {"H", "100"}}, {"sj", "j2", "js"}},
        {"zdjs", lighting::makeSheet, {{"l", "5"}, {"w", "4"}}, {"s", "Label3", "Command1", "Command2", "Command3"}},
        {"XCJS", trunking::makeSheet, {{"VV1", "4"}, {"VV3", "2"}, {"s", "214"}}, {"Label8", "xcmj"}},
    };
    return all;
}

Shell* shell = nullptr;

// The calculator's window, opened and filled with its worked example once.
ui::Form& filled(const Calculator& c)
{
    if (!shell->form(c.window)) {
        shell->open(c.window);
        ui::Form& f = *shell->form(c.window);
        for (const auto& [field, text] : c.typed)
            f.setText(field, QString::fromUtf8(text));
        for (const char* name : c.clicked) {
            QWidget* w = f.control(name, name == std::string("Label8") ? 0 : -1);
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                button->click();
            else if (auto* label = qobject_cast<ui::ClickLabel*>(w))
                label->click();
        }
    }
    return *shell->form(c.window);
}

void savePdf(benchmark::State& state)
{
    const Calculator& c = calculators()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(c.window);
    ui::Form& f = filled(c);
    QTemporaryDir dir;
    for (auto _ : state) {
        const sheet::Saved saved = sheet::save(sheet::make(f, c.maker), sheet::Format::Pdf, dir.path());
        state.PauseTiming();
        if (!saved.ok())
            state.SkipWithError(qPrintable(saved.error));
        QFile::remove(saved.path);
        state.ResumeTiming();
    }
}
BENCHMARK(savePdf)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void copy(benchmark::State& state)
{
    const Calculator& c = calculators()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(c.window);
    ui::Form& f = filled(c);
    for (auto _ : state)
        sheet::copy(sheet::make(f, c.maker));
}
BENCHMARK(copy)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return bench::runWindows(argc, argv, shell, {}); }
