#pragma once
// Saved sheets read back as their readers meet them: the PDF's pages as the
// checker's eye runs over them, and a zip (an ODT above all) read again by a
// reader the program shares nothing with, python3's zipfile (its checksums
// tested, the XML parts parsed), so that a mistake shared by the writer and
// the tests' own reader cannot pass.

#include "pdf.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

// Where the lines landed: every page holds two lines at least; no heading
// ends a page; a paragraph, formula or table of two lines (rows) or more has
// two at least on every page it is on, a table's header row repeated
// overleaf not counted; pages follow in reading order.
void expectKeptTogether(const sheet::Placement& placed, const std::string& context);

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

// An ODT file as python3 reads it: its checksums hold, its XML parts parse,
// its first entry is the stored "mimetype" and its parts are there. Nothing
// is checked where python3 is missing; false then.
bool expectOdtReadsAgain(const QString& path);
