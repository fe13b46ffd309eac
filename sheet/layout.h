#pragma once
// What the paged sheets (PDF and ODT) share, so that a sheet looks the same
// whichever file the engineer saves: the paper, the header's lines, where the
// figures stand in a text and how wide a table's columns are.

#include "sheet.h"

#include <QMarginsF>
#include <QSizeF>
#include <functional>
#include <vector>

namespace sheet {

// A4, upright or on its side for a wide table; the text area lies inside the
// margins, the running head above it and the foot below it (millimetres).
struct Paper {
    QSizeF size;
    QMarginsF margins;
    double textWidth() const { return size.width() - margins.left() - margins.right(); }
    double textHeight() const { return size.height() - margins.top() - margins.bottom(); }
};
Paper paper(const Sheet& sheet);

constexpr double pointsPerMm = 72.0 / 25.4;

// The header's rows, two to a row: 工程名称 and 子项, 计算 and 校对, 日期 and
// 程序. An empty text is a line to fill in by hand.
std::vector<QStringList> headerRows(const Sheet& sheet);
// "工程名称：…　子项：…", as every page's running head shows it.
QString projectLine(const Sheet& sheet);
// "第 3 页 共 7 页"
QString pageOf(int page, int pages);

// A figure as the windows write it, with whatever joins it to the next one:
// "189.681335356601", "-1.5e-3", "10⁻⁶", "100*50=5000", "45X45=2025",
// "15_194". A line is never broken inside one.
struct Run {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const Run&) const = default;
};
std::vector<Run> figureRuns(const QString& text);
// The text with the characters of each figure joined by U+2060 WORD JOINER,
// for a word processor that would otherwise break a figure in a narrow cell.
QString joinFigures(const QString& text);
constexpr char16_t wordJoiner = u'\u2060';

// The width of a text in points, in the sheet's face; `bold` for a header cell.
using Measure = std::function<double(const QString& text, bool bold)>;
Measure measure(double pointSize);

// The width of each column in points, cell padding included: never less than
// the widest piece of a cell that may not be broken (a figure above all),
// otherwise shared so that the widest texts need the fewest lines. The
// columns fill `available` unless their least widths together exceed it.
std::vector<double> columnWidths(const QStringList& header, const std::vector<QStringList>& rows, double available,
                                 double padding, const Measure& measure);

// A table as it is set: its columns' widths (points) and the size of its
// text. That is the body's 10.5 pt, or less for a table whose figures would
// otherwise not fit across the page, down to 7 pt; past that it is wider
// than the page rather than a figure broken. `spare` widens every measured
// text for a word processor that sets it in its own way.
struct TableSetting {
    std::vector<double> widths;
    double pointSize = 10.5;
};
TableSetting tableSetting(const QStringList& header, const std::vector<QStringList>& rows, double available,
                          double padding, double spare = 1);

} // namespace sheet
