// Projects: saving and opening one with all four calculators filled and 200
// cases, and one write of the recovery file, which runs half a second after
// typing, never on the path of a keystroke.

#include "window_bench.h"

#include "calculators.h"
#include "shell.h"
#include "builder.h"
#include "form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QTemporaryDir* folder = nullptr;
Shell* shell = nullptr;

// Each calculator with its worked example, and 50 cases of each.
void fill()
{
    const std::vector<std::pair<std::string, std::vector<std::pair<const char*, const char*>>>> typed = {
        {"fhjs", {{"Pjs", "100"}}}, {"fljs", {{"l", "174"}, {"w", "80"}, {"H", "54"}}},
        {"zdjs", {{"l", "7"}, {"w", "5"}}}, {"XCJS", {{"VV1", "16"}, {"VV3", "2"}, {"BV1", "2.5"}, {"BV3", "9"}}}};
    const std::map<std::string, std::vector<const char*>> clicked = {
        {"fhjs", {"Command1", "Command4", "Command5"}}, {"fljs", {"js"}}, {"zdjs", {"s", "Command1"}}, {"XCJS", {"xcmj"}}};
    for (const auto& [window, fields] : typed) {
        shell->open(window);
        ui::Form& f = *shell->form(window);
        for (const auto& [field, text] : fields)
            f.setText(field, QString::fromUtf8(text));
        for (const char* button : clicked.at(window))
            qobject_cast<QAbstractButton*>(f.control(button))->click();
        for (int i = 0; i < 50; ++i)
            shell->saveCase(window);
        shell->backToMenu(window);
    }
}

QString path() { return QDir(folder->path()).filePath(QStringLiteral("幸福小区.elcarta")); }

void saveProject(benchmark::State& state)
{
    for (auto _ : state)
        shell->save(false);
    state.SetLabel("4 windows, 200 cases");
}
BENCHMARK(saveProject)->Unit(benchmark::kMillisecond);

void openProject(benchmark::State& state)
{
    for (auto _ : state)
        if (!shell->openProject(path()))
            state.SkipWithError("the project did not open");
    state.SetLabel("4 windows, 200 cases");
}
BENCHMARK(openProject)->Unit(benchmark::kMillisecond);

void writeRecovery(benchmark::State& state)
{
    shell->form("fhjs")->setText("Pjs", "101"); // something not yet saved
    for (auto _ : state)
        shell->writeRecovery();
}
BENCHMARK(writeRecovery)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWindows(
        argc, argv, shell,
        [](QTemporaryDir& data) {
            folder = &data;
            fill();
        },
        [] { return path(); });
}
