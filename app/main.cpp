#include "app/shell.h"
#include "app/ui/builder.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    Shell shell;
    shell.start();
    return app.exec();
}
