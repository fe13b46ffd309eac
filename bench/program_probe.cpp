// The program side of the start-up benchmark: the program's own start-up
// path (font substitutions, the shell, the menu, each calculator built on its
// first use), timed by the probe, plus the time of a few handlers.

#include "shell.h"
#include "builder.h"
#include "probe.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

void setText(const char* window, const char* field, const char* text)
{
    if (auto* e = qobject_cast<QLineEdit*>(bench::child(window, field)))
        e->setText(QString::fromUtf8(text));
}

// A left click on a control of a window.
std::function<void()> click(const char* window, const char* control, int index = -1)
{
    return [window, control, index] { bench::click(bench::child(window, control, index)); };
}

// One key typed into a field.
std::function<void()> key(const char* window, const char* field, Qt::Key k, const char* text)
{
    return [=] {
        QWidget* w = bench::child(window, field);
        if (!w)
            return;
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, QString::fromUtf8(text));
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, QString::fromUtf8(text));
        QCoreApplication::sendEvent(w, &release);
    };
}

// Each handler with inputs from the worked examples, and a field it writes
// with the text it must leave there.
std::vector<bench::HandlerCase> handlers()
{
    return {
        {"fhjs/Command1", "fhjs", [] { setText("fhjs", "Pjs", "100"); }, click("fhjs", "Command1"), "Qjs", "75"},
        {"fljs/js", "fljs",
         [] {
             setText("fljs", "l", "100");
             setText("fljs", "w", "50");
             setText("fljs", "H", "100");
         },
         click("fljs", "js"), "Ae", "0.066416"},
        {"zdjs/Label3", "zdjs", [] { setText("zdjs", "mj", "20"); }, click("zdjs", "Label3"), "dwgl", "8.9"},
        {"zdjs/Command1", "zdjs",
         [] {
             setText("zdjs", "mj", "20");
             setText("zdjs", "dwgl", "8.9");
         },
         click("zdjs", "Command1"), "gl", "534"},
        {"XCJS/Label8", "XCJS",
         [] {
             setText("XCJS", "VV1", "6");
             setText("XCJS", "VV3", "3");
             setText("XCJS", "sz", "");
         },
         click("XCJS", "Label8", 0), "sz", "530.1"},
        // Clearing the rows sets off the count handler of each of the six rows.
        {"XCJS/ql", "XCJS",
         [] {
             for (const char* row : {"VV3", "BV3", "SYV3", "UTP3", "LGB3", "RVS3"})
                 setText("XCJS", row, "3");
         },
         click("XCJS", "ql"), "VV4", ""},
        // One keystroke in a size field: "15" becomes "150", a size of the catalogue.
        {"XCJS/BV1:keystroke", "XCJS", [] { setText("XCJS", "BV1", "15"); }, key("XCJS", "BV1", Qt::Key_0, "0"),
         "BV2", "390"},
    };
}

} // namespace

int main(int argc, char** argv)
{
    bench::markMain();
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    // No recovery of the engineer's is read or written. The folder is made
    // when the program first writes there, as a fresh installation's is, so
    // that making it does not count as start-up.
    const QString data =
        QDir::temp().filePath(QStringLiteral("elcarta_bench_program-%1").arg(QCoreApplication::applicationPid()));
    QDir(data).removeRecursively(); // left by a probe that died
    Shell shell(Shell::Options{{}, {}, data, data});

    bench::Hooks hooks;
    hooks.start = [&shell] { shell.startDrawingFirst(ui::installTranslation); };
    hooks.back = [&shell](const QString& window) { shell.backToMenu(window.toStdString()); };
    hooks.handlers = handlers();
    const int code = bench::run(std::move(hooks));
    QDir(data).removeRecursively();
    return code;
}
