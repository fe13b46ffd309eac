#pragma once
// A zip (an ODT above all) read again by a reader the program shares
// nothing with: python3's zipfile, its checksums tested and the XML parts
// parsed, so that a mistake shared by the writer and the tests' own reader
// cannot pass.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct ZipEntry {
    QString name;
    int method = 0; // 0: stored
    qint64 size = 0;
};

struct ZipRead {
    QString error;                 // empty when every entry's checksum held and every XML part parsed
    std::vector<ZipEntry> entries; // in the order of the central directory
    QStringList cells;             // an ODT's table cells' text, in order
};

// What python3 reads in the file, or none where python3 is missing.
std::optional<ZipRead> readWithPython(const QString& path);
