#include "shell.h"
#include "builder.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The recovery file and the recent projects live in the program's own
    // data folder, Elcarta, whatever the executable is called.
    QCoreApplication::setApplicationName(QStringLiteral("Elcarta"));
    ui::installFontSubstitutions();
    Shell shell;
    // What the menu's first drawing does not need comes right after it:
    // Qt's own texts in Chinese and, as a double click on a project file
    // starts the program (`elcarta FILE`), that project.
    shell.startDrawingFirst([&shell] {
        ui::installTranslation();
        const QStringList arguments = QCoreApplication::arguments();
        if (arguments.size() > 1)
            shell.openProject(arguments.at(1));
    });
    // Whatever ends the session, what was typed goes to the recovery file.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&shell] { shell.writeRecovery(); });
    return app.exec();
}
