// Writes the program's icon into a hicolor icon theme tree at the sizes a
// desktop asks for, from the same drawing as the menu window's icon, and when
// asked an icon file for the Windows executable with the sizes Explorer, the
// taskbar and the Start menu pick from.

#include "icons.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QtEndian>
#include <cstdio>

namespace {

void put16(QByteArray& out, quint16 v)
{
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

void put32(QByteArray& out, quint32 v)
{
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

// One icon image: 256 pixels as PNG, smaller ones as a 32-bit bitmap with its
// transparency mask, which every icon reader takes.
QByteArray iconImage(const QImage& drawn)
{
    const QImage image = drawn.convertToFormat(QImage::Format_ARGB32);
    QByteArray out;
    if (image.width() >= 256) {
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return out;
    }
    const int w = image.width(), h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    put32(out, 40);    // header size
    put32(out, quint32(w));
    put32(out, quint32(h * 2)); // colour rows, then mask rows
    put16(out, 1);     // planes
    put16(out, 32);    // bits per pixel
    put32(out, 0);     // uncompressed
    put32(out, quint32(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) // bottom row first
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            out.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p))).append(char(qAlpha(p)));
        }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

bool writeIconFile(const QString& path)
{
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    QList<QByteArray> images;
    for (int size : sizes)
        images << iconImage(icons::windowImage("dqjs", size));
    QByteArray out;
    put16(out, 0);
    put16(out, 1); // an icon, not a cursor
    put16(out, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int size = sizes[i];
        out.append(char(size >= 256 ? 0 : size)).append(char(size >= 256 ? 0 : size)); // 0 means 256
        out.append(char(0)).append(char(0)); // no palette, reserved
        put16(out, 1);
        put16(out, 32);
        put32(out, quint32(images[i].size()));
        put32(out, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& image : images)
        out.append(image);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: elcarta_icons <folder> [<icon file>]\n");
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
    if (argc > 2 && !writeIconFile(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "could not write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
