// Writes the lightning protection sheet of the README's worked example
// (100 × 50 × 100 m, 石家庄, k 1.5) as a PDF into the folder given, filled in
// the window as an engineer fills it, and prints the file's path.

#include "calculators.h"
#include "shell.h"
#include "actions.h"
#include "builder.h"
#include "form.h"
#include "lightning_sheet.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QTest>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");

    // The tool's own data folder: no recovery of the engineer's is read or written.
    QTemporaryDir data;
    Shell shell(Shell::Options{[] {}, {}, data.path(), data.path()});
    shell.start();
    QTest::mouseClick(shell.window("dqjs")->findChild<QWidget*>(calculator("fljs")->menuButton.c_str()), Qt::LeftButton);
    QWidget* w = shell.window("fljs");
    for (const auto& [field, text] : {std::pair{"l", "100"}, std::pair{"w", "50"}, std::pair{"H", "100"}})
        QTest::keyClicks(w->findChild<QLineEdit*>(field), text);
    for (const char* control : {"sj", "j2", "js"})
        QTest::mouseClick(w->findChild<QWidget*>(control), Qt::LeftButton);

    const sheet::Saved saved = sheet::save(sheet::make(*shell.form("fljs"), lightning::makeSheet), sheet::Format::Pdf, dir);
    if (!saved.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(saved.error));
        return 1;
    }
    std::printf("%s\n", qPrintable(saved.path));
    return 0;
}
