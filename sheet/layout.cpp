#include "layout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <memory>
#include <numeric>

namespace sheet {

Paper paper(const Sheet& sheet)
{
    // The head and the foot sit in the top and bottom margins.
    const QMarginsF margins(20, 25, 20, 20);
    return {sheet.landscape ? QSizeF(297, 210) : QSizeF(210, 297), margins};
}

namespace {

const QString blank(16, '_'); // a line to write on by hand

QString filled(const QString& caption, const QString& text)
{
    const QString t = text.trimmed();
    return caption + (t.isEmpty() ? blank : t);
}

} // namespace

std::vector<QStringList> headerRows(const Sheet& sheet)
{
    const Header& h = sheet.header;
    return {
        {filled(QStringLiteral("工程名称："), h.project), filled(QStringLiteral("子项："), h.part)},
        {filled(QStringLiteral("计算："), h.calculatedBy), filled(QStringLiteral("校对："), h.checkedBy)},
        {QStringLiteral("日期：") + sheet.made.toString("yyyy-MM-dd HH:mm:ss"),
         QStringLiteral("程序：") + programName()},
    };
}

QString projectLine(const Sheet& sheet)
{
    return filled(QStringLiteral("工程名称："), sheet.header.project) + QStringLiteral("　") +
           filled(QStringLiteral("子项："), sheet.header.part);
}

QString pageOf(int page, int pages) { return QStringLiteral("第 %1 页 共 %2 页").arg(page).arg(pages); }

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
// ⁰ ¹ ² ³ ⁴ … ⁹, as in 10⁻⁶ and m²
bool isSuperscriptDigit(QChar c)
{
    return c == u'\u2070' || c == u'\u00B9' || c == u'\u00B2' || c == u'\u00B3' || (c >= u'\u2074' && c <= u'\u2079');
}
bool isSign(QChar c) { return c == u'-' || c == u'+' || c == u'\u2212'; }
// What stands between two figures of one item: 100*50=5000, 45X45, 15_194, 474/33, 09:30:05
bool isJoin(QChar c)
{
    return c == u'*' || c == u'=' || c == u'_' || c == u'/' || c == u'\u00D7' || c == u'x' || c == u'X' || c == u'^' ||
           c == u'~' || c == u':' || isSign(c);
}

} // namespace

std::vector<Run> figureRuns(const QString& text)
{
    std::vector<Run> runs;
    const qsizetype n = text.size();
    auto at = [&](qsizetype i) { return i < n ? text[i] : QChar(); };
    // A digit at i, or a sign and a digit.
    auto figureAt = [&](qsizetype i) { return isDigit(at(i)) || (isSign(at(i)) && isDigit(at(i + 1))); };
    qsizetype i = 0;
    while (i < n) {
        const bool signedStart = isSign(at(i)) && isDigit(at(i + 1)) && (i == 0 || !at(i - 1).isLetterOrNumber());
        if (!isDigit(at(i)) && !signedStart) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        i += signedStart ? 2 : 1;
        while (i < n) {
            const QChar c = at(i);
            if (isDigit(c) || isSuperscriptDigit(c))
                ++i;
            else if ((c == u'.' || c == u',') && isDigit(at(i + 1)))
                ++i;
            else if ((c == u'e' || c == u'E') && figureAt(i + 1))
                i += isSign(at(i + 1)) ? 2 : 1;
            else if ((c == u'\u207B' || c == u'\u207A') && isSuperscriptDigit(at(i + 1)))
                ++i;
            else if (isJoin(c) && figureAt(i + 1))
                i += isSign(at(i + 1)) ? 2 : 1;
            else
                break;
        }
        if (i - start >= 2)
            runs.push_back({start, i - start});
    }
    return runs;
}

QString joinFigures(const QString& text)
{
    const std::vector<Run> runs = figureRuns(text);
    if (runs.empty())
        return text;
    QString joined;
    joined.reserve(text.size() * 2);
    qsizetype from = 0;
    for (const Run& r : runs) {
        joined += QStringView(text).mid(from, r.start - from);
        for (qsizetype k = 0; k < r.length; ++k) {
            if (k > 0)
                joined += QChar(wordJoiner);
            joined += text[r.start + k];
        }
        from = r.start + r.length;
    }
    joined += QStringView(text).mid(from);
    return joined;
}

Measure measure(double pointSize)
{
    // Measured large, so that hinting and rounding do not add up along a
    // long figure; scaled down to the face's size in points.
    constexpr int size = 1000;
    auto metrics = [](bool bold) {
        QFont font(QStringLiteral("宋体"));
        font.setPixelSize(size);
        font.setBold(bold);
        return std::make_shared<QFontMetricsF>(font);
    };
    auto regular = metrics(false), bold = metrics(true);
    return
        [=](const QString& text, bool b) { return (b ? bold : regular)->horizontalAdvance(text) * pointSize / size; };
}

namespace {

bool isIdeograph(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

QStringList unbrokenPieces(const QString& line)
{
    QStringList pieces;
    QString piece;
    char32_t before = 0;
    for (const char32_t c : line.toUcs4()) {
        if (c == U' ' || c == U'\t' || c == U'\u3000' || (isIdeograph(before) && isIdeograph(c))) {
            if (!piece.isEmpty())
                pieces << piece;
            piece.clear();
        }
        if (c != U' ' && c != U'\t' && c != U'\u3000')
            piece += QString::fromUcs4(&c, 1);
        before = c;
    }
    if (!piece.isEmpty())
        pieces << piece;
    return pieces;
}

} // namespace

std::vector<double> columnWidths(const QStringList& header, const std::vector<QStringList>& rows, double available,
                                 double padding, const Measure& measure)
{
    qsizetype columns = header.size();
    for (const QStringList& row : rows)
        columns = std::max(columns, row.size());
    std::vector<double> least(static_cast<std::size_t>(columns)), most(least.size());
    auto take = [&](const QString& cell, std::size_t c, bool bold) {
        for (const QString& line : QString(cell).remove('\r').split('\n')) {
            most[c] = std::max(most[c], measure(line, bold));
            // The widest piece between two places a line may be broken.
            QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, line);
            qsizetype from = 0;
            for (qsizetype to = breaks.toNextBoundary(); to != -1; to = breaks.toNextBoundary()) {
                const QString piece = line.mid(from, to - from).trimmed();
                if (!piece.isEmpty())
                    least[c] = std::max(least[c], measure(piece, bold));
                from = to;
            }
            // Where a word processor may break less readily: at a space or
            // between two Chinese characters only ("CTC505：50*50=2500" is
            // then one piece, as some take it). A figure is inside one.
            for (const QString& piece : unbrokenPieces(line))
                least[c] = std::max(least[c], measure(piece, bold));
        }
    };
    for (qsizetype c = 0; c < header.size(); ++c)
        take(header[c], static_cast<std::size_t>(c), true);
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            take(row[c], static_cast<std::size_t>(c), false);
    for (std::size_t c = 0; c < least.size(); ++c) {
        least[c] += 2 * padding;
        most[c] = std::max(most[c] + 2 * padding, least[c]);
    }

    const double leastSum = std::accumulate(least.begin(), least.end(), 0.0);
    const double mostSum = std::accumulate(most.begin(), most.end(), 0.0);
    std::vector<double> widths(least.size());
    if (least.empty())
        return widths;
    if (mostSum <= available) {
        // Room for every text on one line: the spare width goes where the texts are.
        for (std::size_t c = 0; c < widths.size(); ++c)
            widths[c] = most[c] * available / mostSum;
    } else if (leastSum < available) {
        // Each column keeps its least width. The short texts then get their
        // one line, as long as what each asks for is within an even share of
        // what is left; the long texts share the rest by their length.
        widths = least;
        double spare = available - leastSum;
        std::vector<std::size_t> order(widths.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return most[a] - least[a] < most[b] - least[b]; });
        std::size_t k = 0;
        for (; k < order.size(); ++k) {
            const double want = most[order[k]] - least[order[k]];
            if (want > spare / static_cast<double>(order.size() - k))
                break;
            widths[order[k]] = most[order[k]];
            spare -= want;
        }
        double wanted = 0;
        for (std::size_t j = k; j < order.size(); ++j)
            wanted += most[order[j]] - least[order[j]];
        for (std::size_t j = k; j < order.size() && wanted > 0; ++j)
            widths[order[j]] += spare * (most[order[j]] - least[order[j]]) / wanted;
    } else {
        widths = least; // wider than the page rather than a figure broken
    }
    return widths;
}

TableSetting tableSetting(const QStringList& header, const std::vector<QStringList>& rows, double available,
                          double padding, double spare)
{
    constexpr double body = 10.5, smallest = 7;
    auto at = [spare](double size) {
        const Measure m = measure(size);
        return [m, spare](const QString& text, bool bold) { return m(text, bold) * spare; };
    };
    const std::vector<double> least = columnWidths(header, rows, 0, padding, at(body));
    const double paddings = 2 * padding * static_cast<double>(least.size());
    const double text = std::accumulate(least.begin(), least.end(), 0.0) - paddings;
    double size = body;
    if (text > 0 && text + paddings > available)
        size = std::max(smallest, body * (available - paddings) / text);
    return {columnWidths(header, rows, available, padding, at(size)), size};
}

} // namespace sheet
