#include "layout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
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

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

QFont sheetFont(double pointSize, bool bold)
{
    static const QString family = [] {
        const QString name = QStringLiteral("计算书宋体");
        QFont::insertSubstitutions(name, {"宋体", "SimSun", "AR PL UMing CN", "AR PL SungtiL GB", "Noto Serif CJK SC"});
        return name;
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
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

namespace {

bool isSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\u3000'; }

// The code point at i and the code units it takes.
std::pair<char32_t, qsizetype> codeAt(const QString& text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text[i + 1]), 2};
    return {c.unicode(), 1};
}

// Chinese units a figure is followed by ("17 支", "0.21 次/a").
bool isUnitCharacter(char32_t c) { return c == U'支' || c == U'次' || c == U'台'; }

// The letters and marks of a unit after a figure: "kW", "m²", "W/m²", "(A)", "%".
bool isUnitWord(QStringView word)
{
    if (word.isEmpty())
        return false;
    const QChar first = word[0];
    if (!first.isLetter() && first != u'%' && first != u'\u00B0' && first != u'(' && !isUnitCharacter(first.unicode()))
        return false;
    for (const QChar c : word)
        if (!c.isLetter() && !isUnitCharacter(c.unicode()) && !QStringView(u"²³¹⁰⁴⁵⁶⁷⁸⁹⁻·/()%\u00B0").contains(c))
            return false;
    return true;
}

// Runs of characters that are neither spaces nor wide, with a Chinese unit
// character that a "/" joins to them ("次/a").
std::vector<Run> narrowWords(const QString& text)
{
    std::vector<Run> words;
    const qsizetype n = text.size();
    qsizetype i = 0, before = -1; // before: where the previous code point starts
    while (i < n) {
        const auto [c, size] = codeAt(text, i);
        if (isSpace(c) || isWide(c)) {
            before = i;
            i += size;
            continue;
        }
        qsizetype start = i;
        while (i < n) {
            const auto [d, s] = codeAt(text, i);
            if (isSpace(d) || isWide(d))
                break;
            i += s;
        }
        if (text[start] == u'/' && before >= 0 && isUnitCharacter(codeAt(text, before).first))
            start = before;
        if (text[i - 1] == u'/' && i < n && isUnitCharacter(codeAt(text, i).first))
            i += codeAt(text, i).second;
        words.push_back({start, i - start});
        before = -1;
    }
    return words;
}

bool endsWithFigure(const QString& text, const Run& word)
{
    for (const Run& f : figureRuns(text.mid(word.start, word.length)))
        if (f.start + f.length == word.length)
            return true;
    const QChar last = text[word.start + word.length - 1];
    return last >= u'0' && last <= u'9';
}

// Whether p falls strictly inside one of the runs (ascending); `next` walks along.
bool inside(const std::vector<Run>& runs, std::size_t& next, qsizetype p)
{
    while (next < runs.size() && runs[next].start + runs[next].length <= p)
        ++next;
    return next < runs.size() && runs[next].start < p && p < runs[next].start + runs[next].length;
}

} // namespace

std::vector<Run> keptRuns(const QString& text)
{
    const std::vector<Run> words = narrowWords(text);
    std::vector<Run> kept;
    for (std::size_t w = 0; w < words.size(); ++w) {
        Run r = words[w];
        const qsizetype end = r.start + r.length;
        // A figure, one space and its unit.
        if (end + 1 < text.size() && text[end] == u' ' && endsWithFigure(text, r)) {
            if (w + 1 < words.size() && words[w + 1].start == end + 1 &&
                isUnitWord(QStringView(text).mid(words[w + 1].start, words[w + 1].length))) {
                r.length = words[w + 1].start + words[w + 1].length - r.start;
                ++w;
            } else if (isUnitCharacter(text[end + 1].unicode()) &&
                       (w + 1 >= words.size() || words[w + 1].start > end + 1)) {
                r.length += 2;
            }
        }
        // A line to write on ("____") or a rule is no figure, unit or symbol.
        const QStringView piece = QStringView(text).mid(r.start, r.length);
        if (r.length > 1 && std::any_of(piece.begin(), piece.end(), [](QChar c) { return c.isLetterOrNumber(); }))
            kept.push_back(r);
    }
    return kept;
}

std::vector<qsizetype> breaksIn(const QString& line, bool cell)
{
    const std::vector<Run> kept = keptRuns(line);
    std::vector<Run> words; // a cell's short words
    if (cell) {
        qsizetype i = 0;
        while (i < line.size()) {
            while (i < line.size() && isSpace(codeAt(line, i).first))
                ++i;
            const qsizetype start = i;
            int characters = 0;
            while (i < line.size() && !isSpace(codeAt(line, i).first)) {
                i += codeAt(line, i).second;
                ++characters;
            }
            if (characters > 1 && characters <= 6)
                words.push_back({start, i - start});
        }
    }
    std::vector<qsizetype> at;
    std::size_t inKept = 0, inWord = 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, line);
    for (qsizetype p = finder.toNextBoundary(); p > 0 && p < line.size(); p = finder.toNextBoundary())
        if (!inside(kept, inKept, p) && !inside(words, inWord, p))
            at.push_back(p);
    return at;
}

QStringList unbrokenPieces(const QString& line, bool cell)
{
    QStringList pieces;
    qsizetype from = 0;
    auto add = [&](qsizetype to) {
        qsizetype a = from, b = to;
        while (a < b && isSpace(line[a].unicode()))
            ++a;
        while (b > a && isSpace(line[b - 1].unicode()))
            --b;
        if (b > a)
            pieces << line.mid(a, b - a);
        from = to;
    };
    for (const qsizetype p : breaksIn(line, cell))
        add(p);
    add(line.size());
    return pieces;
}

QString joinKept(const QString& text)
{
    const std::vector<Run> runs = keptRuns(text);
    if (runs.empty())
        return text;
    QString joined;
    joined.reserve(text.size() * 2);
    qsizetype from = 0;
    for (const Run& r : runs) {
        joined += QStringView(text).mid(from, r.start - from);
        for (qsizetype k = r.start; k < r.start + r.length;) {
            const qsizetype size = codeAt(text, k).second;
            if (k > r.start)
                joined += QChar(wordJoiner);
            joined += text[k] == u' ' ? QStringView(u"\u00A0") : QStringView(text).mid(k, size);
            k += size;
        }
        from = r.start + r.length;
    }
    joined += QStringView(text).mid(from);
    return joined;
}

namespace {

// A face measured large, so that hinting and rounding do not add up along a
// long figure, each text once: a table measures its cells at two sizes, and
// a sheet repeats its words and figures.
class Advances {
public:
    static constexpr int size = 1000;
    Advances(QFont font, bool bold)
    {
        font.setPixelSize(size);
        font.setBold(bold);
        metrics_ = std::make_unique<QFontMetricsF>(font);
    }
    double of(const QString& text)
    {
        const auto known = known_.constFind(text);
        if (known != known_.constEnd())
            return *known;
        if (known_.size() > 200000)
            known_.clear();
        const double a = metrics_->horizontalAdvance(text);
        known_.insert(text, a);
        return a;
    }

private:
    std::unique_ptr<QFontMetricsF> metrics_;
    QHash<QString, double> known_;
};

} // namespace

Measure measure(double pointSize, Setter setter)
{
    // Scaled down from the large face to the size in points.
    constexpr double size = Advances::size;
    // Made once and kept to the end: fonts are not to outlive the application object.
    static Advances* const regular = new Advances(sheetFont(10), false);
    static Advances* const bold = new Advances(sheetFont(10), true);
    if (setter == Setter::Pdf)
        return [=](const QString& text, bool b) { return (b ? bold : regular)->of(text) * pointSize / size; };
    static Advances* const theirs = new Advances(QFont(QStringLiteral("SimSun")), false);
    static Advances* const theirsBold = new Advances(QFont(QStringLiteral("SimSun")), true);
    return [=](const QString& text, bool b) {
        const double widest = std::max((b ? bold : regular)->of(text), (b ? theirsBold : theirs)->of(text));
        return widest * 1.05 * pointSize / size;
    };
}

namespace {

// Where a word processor may break less readily: at a space or between two
// wide characters only ("CTC505：50*50=2500" is then one piece, as some take it).
QStringList wordProcessorPieces(const QString& line)
{
    QStringList pieces;
    QString piece;
    char32_t before = 0;
    for (const char32_t c : line.toUcs4()) {
        if (isSpace(c) || (isWide(before) && isWide(c))) {
            if (!piece.isEmpty())
                pieces << piece;
            piece.clear();
        }
        if (!isSpace(c))
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
            // The widest piece between two places the PDF may break a cell's
            // line, or a word processor may.
            for (const QString& piece : unbrokenPieces(line, true))
                least[c] = std::max(least[c], measure(piece, bold));
            for (const QString& piece : wordProcessorPieces(line))
                least[c] = std::max(least[c], measure(piece, bold));
        }
    };
    for (qsizetype c = 0; c < header.size(); ++c)
        take(header[c], static_cast<std::size_t>(c), true);
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            take(row[c], static_cast<std::size_t>(c), false);
    // Four characters at least, unless the column's widest text is shorter:
    // a narrower column would set its caption a character a line.
    const double four = measure(QStringLiteral("四个汉字"), false);
    for (std::size_t c = 0; c < least.size(); ++c) {
        least[c] = std::max(least[c], std::min(most[c], four)) + 2 * padding;
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
                          double padding, Setter setter)
{
    constexpr double body = 10.5, smallest = 7;
    auto at = [setter](double size) { return measure(size, setter); };
    const std::vector<double> least = columnWidths(header, rows, 0, padding, at(body));
    const double paddings = 2 * padding * static_cast<double>(least.size());
    const double text = std::accumulate(least.begin(), least.end(), 0.0) - paddings;
    double size = body;
    if (text > 0 && text + paddings > available)
        size = std::max(smallest, body * (available - paddings) / text);
    return {columnWidths(header, rows, available, padding, at(size)), size};
}

} // namespace sheet
