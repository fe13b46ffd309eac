#pragma once
// What the paged sheets (PDF and ODT) share, so that a sheet looks the same
// whichever file the engineer saves: the paper, the header's lines, where the
// figures stand in a text and how wide a table's columns are.

#include "sheet.h"

#include <QFont>
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

// A character that takes a Chinese text's square, two columns of a
// fixed-width face: ideographs, kana, hangul, the full-width marks and forms.
bool isWide(char32_t c);

// A figure as the windows write it, with whatever joins it to the next one:
// "189.681335356601", "-1.5e-3", "10⁻⁶", "100*50=5000", "45X45=2025",
// "15_194". A line is never broken inside one.
struct Run {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const Run&) const = default;
};
std::vector<Run> figureRuns(const QString& text);

// What a line is never broken inside, figures first: a word of Latin or
// Greek letters, figures and signs between spaces and Chinese characters (a
// unit "km²", "次/(km²·a)", a symbol with its subscript "ΣQjs,i", a symbol
// with a bracketed unit "Ijs(A)"), and a figure with the unit after it
// ("0.0838 km²", "17 支"). In order, none overlapping.
std::vector<Run> keptRuns(const QString& text);

// Where a line may be broken: before each position returned, ascending,
// inside (0, size). Unicode's line breaking rules, less any break inside a
// kept run; in a table's cell also none inside a short word between spaces
// (up to six characters: a city's name, a column's caption) so that a
// column is never narrower than it.
std::vector<qsizetype> breaksIn(const QString& line, bool cell);
// The pieces between those places, without the spaces at their ends.
QStringList unbrokenPieces(const QString& line, bool cell);

// The text with the characters of each kept run joined by U+2060 WORD
// JOINER and the space between a figure and its unit made a no-break space,
// for a word processor that would otherwise break "km" from "²" or "次"
// from "/a" (one that takes an ambiguous-width character for a Chinese one).
QString joinKept(const QString& text);
constexpr char16_t wordJoiner = u'\u2060';
constexpr char16_t noBreakSpace = u'\u00A0';

// The face a sheet is set in: 宋体, as on the screen, but where 宋体 is not
// installed the AR PL face comes before Noto Serif CJK. Noto draws a
// character and its Kangxi radical with one glyph, so the PDF's text would
// read back "⼯程" for "工程": a checker copying from the sheet would get
// other characters than it shows.
QFont sheetFont(double pointSize, bool bold = false);

// Who sets a table: the PDF in the sheet's face, or a word processor in
// SimSun or whatever it takes for it on the machine (where SimSun is missing
// its figures come out in a Western face, wider than the sheet's).
enum class Setter { Pdf, WordProcessor };

// The width of a text in points as `setter` sets it; `bold` for a header
// cell. A word processor's is the wider of its face's and the sheet's, and a
// little more: it lays out in its own way.
using Measure = std::function<double(const QString& text, bool bold)>;
Measure measure(double pointSize, Setter setter = Setter::Pdf);

// The width of each column in points, cell padding included: never less than
// the widest piece of a cell that may not be broken (a figure above all),
// otherwise shared so that the widest texts need the fewest lines. The
// columns fill `available` unless their least widths together exceed it.
std::vector<double> columnWidths(const QStringList& header, const std::vector<QStringList>& rows, double available,
                                 double padding, const Measure& measure);

// A table as it is set: its columns' widths (points) and the size of its
// text. That is the body's 10.5 pt, or less for a table whose figures would
// otherwise not fit across the page, down to 7 pt; past that it is wider
// than the page rather than a figure broken.
struct TableSetting {
    std::vector<double> widths;
    double pointSize = 10.5;
};
TableSetting tableSetting(const QStringList& header, const std::vector<QStringList>& rows, double available,
                          double padding, Setter setter = Setter::Pdf);

} // namespace sheet
