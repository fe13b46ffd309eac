// Writes the program's icon into a hicolor icon theme tree at the sizes a
// desktop asks for, from the same drawing as the menu window's icon.

#include "app/icons.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: elcarta_icons <folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(size);
        QDir().mkpath(dir);
        if (!icons::windowImage("dqjs", size).save(dir + "/org.elcarta.Elcarta.png")) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
