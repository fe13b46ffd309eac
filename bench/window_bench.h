#pragma once
// What the benchmarks of the program's windows share: the program's own
// start-up, with a data folder of the benchmark's own (no recovery of the
// engineer's is read or written), and Google Benchmark's run.

#include "shell.h"
#include "builder.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace bench {

// Runs the registered benchmarks on a started program; `ready` fills it
// first. The file dialog, when asked, answers `chosen`.
inline int runWindows(int argc, char** argv, Shell*& shell, const std::function<void(QTemporaryDir&)>& ready,
                      std::function<QString()> chosen = {})
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    QTemporaryDir data;
    Shell::Options options{[] {}, {}, data.path(), data.path()};
    if (chosen)
        options.chooseFile = [chosen](Shell::Choice, QWidget*, const QString&) { return chosen(); };
    auto owner = std::make_unique<Shell>(options);
    shell = owner.get();
    shell->start();
    if (ready)
        ready(data);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
