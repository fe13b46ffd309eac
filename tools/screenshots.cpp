// Renders every window to docs/<window>.png, each after a worked example, so
// that README shows the windows as an engineer sees them.

#include "calculators.h"
#include "shell.h"
#include "builder.h"
#include "schedule_table.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QWidget>
#include <cstdio>

namespace {

struct Action {
    const char* verb; // "type", "click", "focus"
    const char* control;
    const char* text;
};

QWidget* child(QWidget* window, const char* name)
{
    QWidget* w = window->findChild<QWidget*>(name);
    if (!w)
        std::fprintf(stderr, "%s: no control %s\n", qPrintable(window->objectName()), name);
    return w;
}

void run(QWidget* window, const std::vector<Action>& actions)
{
    for (const Action& a : actions) {
        QWidget* w = child(window, a.control);
        if (!w)
            continue;
        if (std::string(a.verb) == "focus") {
            w->setFocus(Qt::TabFocusReason);
        } else if (std::string(a.verb) == "type") {
            if (auto* box = qobject_cast<QComboBox*>(w))
                w = box->lineEdit();
            if (auto* e = qobject_cast<QLineEdit*>(w))
                e->clear();
            QTest::keyClicks(w, QString::fromUtf8(a.text));
        } else {
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
        }
    }
}

void save(QWidget* window, const QString& dir, const QString& file)
{
    QApplication::processEvents();
    const QString path = dir + "/" + file;
    if (!window->grab().save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(dir);

    // The tool's own data folder: no recovery of the engineer's is read or written.
    QTemporaryDir data;
    Shell shell(Shell::Options{[] {}, {}, data.path(), data.path()});
    shell.start();
    QWidget* menu = shell.window("dqjs");
    save(menu, dir, "dqjs.png");

    struct Shot {
        const char* window;
        std::vector<Action> actions;
        const char* file;
    };
    const std::vector<Shot> shots = {
        {"fhjs", {{"type", "Pjs", "100"}, {"click", "Command1", ""}, {"click", "Command4", ""}, {"click", "Command5", ""}}, "fhjs.png"},
        {"fljs", {{"type", "l", "100"}, {"type", "w", "50"}, {"type", "H", "100"}, {"click", "sj", ""}, {"click", "j2", ""}, {"click", "js", ""}}, "fljs.png"},
        {"zdjs", {{"type", "l", "5"}, {"type", "w", "4"}, {"click", "s", ""}, {"click", "Label3", ""}, {"click", "Command1", ""}, {"click", "Command2", ""}, {"click", "Command3", ""}}, "zdjs.png"},
        {"XCJS", {{"type", "VV1", "4"}, {"type", "VV3", "3"}, {"type", "BV1", "2.5"}, {"type", "BV3", "4"}, {"click", "Label8", ""}, {"click", "xcmj", ""}}, "XCJS.png"},
        {"XCJS", {{"click", "Label11", ""}, {"click", "xcmj", ""}}, "XCJS-pipe.png"},
        // A failure note of each calculator, placed clear of the controls, and
        // a clickable label holding the keyboard focus.
        {"fhjs", {{"type", "Cos", "0"}, {"click", "Command1", ""}}, "fhjs-note.png"},
        {"fljs", {{"type", "H", "-5"}, {"click", "js", ""}}, "fljs-note.png"},
        {"zdjs", {{"type", "mj", ""}, {"click", "Command1", ""}, {"focus", "Label3", ""}}, "zdjs-note.png"},
        {"XCJS", {{"type", "bfs", "0"}, {"click", "xcmj", ""}}, "XCJS-note.png"},
    };
    for (const Shot& s : shots) {
        QTest::mouseClick(child(menu, calculator(s.window)->menuButton.c_str()), Qt::LeftButton);
        QWidget* w = shell.window(s.window);
        run(w, s.actions);
        save(w, dir, s.file);
        if (std::string(s.file) == "zdjs.png")
            shell.saveCase("zdjs"); // a case for the project window
        shell.backToMenu(s.window);
    }

    // The project window with its header filled in, and the load schedule
    // with the worked example pasted as from a spreadsheet.
    shell.projectWindow();
    QWidget* project = shell.window("gc");
    for (const auto& [field, text] : {std::pair{"gcmc", "幸福小区"}, std::pair{"zx", "3#楼"}, std::pair{"js", "王工"}})
        qobject_cast<QLineEdit*>(child(project, field))->setText(QString::fromUtf8(text));
    save(project, dir, "gc.png");
    shell.schedule(0);
    QWidget* schedule = shell.window("fhb");
    // At the size it is made for, whatever the screen the tool draws on.
    schedule->resize(load::scheduleWindow().window.width * schedule->logicalDpiX() / 1440,
                     load::scheduleWindow().window.height * schedule->logicalDpiY() / 1440);
    QGuiApplication::clipboard()->setText(
        QStringLiteral("照明\t120\t0.8\t0.9\t\t\t\tYJV\t\t60\t35\t2\n空调\t300\t0.7\t0.8\t\t\t\tYJV\tE\t80\t40\t3\n"
                       "水泵\t90\t0.7\t0.8\t\t\t\tVV\tC\t45\n电梯\t60\t0.5\t0.6\t\t\t\tYJV\t\t70\n"
                       "插座\t8\t0.8\t0.85\t单相\t\t\tBV\tB1\t40\n"));
    auto* table = qobject_cast<QTableView*>(child(schedule, "bg"));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
    table->setCurrentIndex(table->model()->index(5, 0));
    table->clearSelection();
    save(schedule, dir, "fhb.png");
    // The same rows as circuits: the table scrolled to their results.
    table->scrollTo(table->model()->index(0, load::column::Check));
    save(schedule, dir, "fhb-circuits.png");
    return 0;
}
