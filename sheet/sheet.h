#pragma once
// A calculation sheet (计算书): what a calculator window shows, laid out as the
// engineer hands it in with the design. One model feeds every output: HTML
// for the clipboard, aligned plain text, PDF and ODT.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

class QIODevice;

namespace sheet {

// A paragraph, a formula line with the window's figures put in, or a table.
struct Block {
    enum class Kind { Text, Formula, Table };
    Kind kind = Kind::Text;
    QString text;                  // Text (lines separated by "\n") and Formula
    QStringList header;            // Table: column captions, or none
    std::vector<QStringList> rows; // Table
};

struct Section {
    QString heading;
    std::vector<Block> blocks;
    // A section that opens a sheet of its own inside a longer document (a
    // case's sheet in the project sheet): a heading of the title's rank that
    // starts a new page.
    bool opensSheet = false;

    Section& text(const QString& text);
    Section& formula(const QString& line);
    Section& table(const QStringList& header, const std::vector<QStringList>& rows);
};

// The project's lines at the head of every sheet; an empty one is left as a
// line to fill in by hand. A project keeps this very header.
struct Header {
    QString project;      // 工程名称
    QString part;         // 子项
    QString calculatedBy; // 计算
    QString checkedBy;    // 校对
    bool operator==(const Header&) const = default;
};

struct Sheet {
    QString title;   // 负荷计算书 …; also the first part of the file name
    QDateTime made;  // when the sheet was made; set by whoever makes it
    Header header;
    bool landscape = false; // for a table too wide for an upright A4 page
    std::deque<Section> sections; // a deque, so that a section stays put while the next is added

    Section& section(const QString& heading);
};

// What a result field shows, or 未计算 when it is empty.
QString result(const QString& fieldText);
// What an input field shows, or 未填写 when it is empty.
QString input(const QString& fieldText);

QString programName(); // "Elcarta 1.0.0"

QString toHtml(const Sheet& sheet);
// Columns aligned for a fixed-width font, a Chinese character two columns wide.
QString toPlainText(const Sheet& sheet);
// Columns a text takes in a fixed-width font: two for a wide (CJK) character.
int displayWidth(const QString& text);

enum class Format { Pdf, Odt };

// Writes the sheet into an open device as a PDF (A4, laid out page by page
// with a running head and foot) or an ODT; false when it could not be written.
bool write(const Sheet& sheet, Format format, QIODevice* device);

// Writes the sheet into `folder` (made if missing) as
// "<title>-YYYYMMDD-HHMMSS.pdf" (or .odt), from the time the sheet was made;
// an existing file is never overwritten: "-2", "-3", … are appended. On
// failure no file is left behind and `error` says why, in Chinese.
struct Saved {
    QString path;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
Saved save(const Sheet& sheet, Format format, const QString& folder);

} // namespace sheet
