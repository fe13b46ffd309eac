#include "lines.h"

#include "layout.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <cmath>
#include <optional>

namespace sheet {

namespace {

bool isSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

// Between two places a line may break: the text up to its spaces, and the spaces.
struct Piece {
    qsizetype start = 0, wordEnd = 0;
    double word = 0, space = 0;
};

} // namespace

QStringList breakLine(const QString& line, double width, const Face& face, bool cell)
{
    // Measured at another size than the columns were, a text that fits may
    // come out a hair wider; a hair is not a reason to break it.
    const double slack = 0.25 + 0.002 * width;
    if (face.within(line, width + slack))
        return {line};

    const qsizetype n = line.size();
    std::vector<Piece> pieces;
    auto add = [&](qsizetype start, qsizetype end) {
        qsizetype wordEnd = end;
        while (wordEnd > start && isSpace(line[wordEnd - 1]))
            --wordEnd;
        pieces.push_back({start, wordEnd, face.width(line.mid(start, wordEnd - start)),
                          face.width(line.mid(wordEnd, end - wordEnd))});
    };
    // Where a figure forbids a break even in a piece too wide for a line.
    std::vector<bool> inFigure(static_cast<std::size_t>(n) + 1, false);
    for (const Run& r : figureRuns(line))
        for (qsizetype i = r.start + 1; i < r.start + r.length; ++i)
            inFigure[static_cast<std::size_t>(i)] = true;
    std::vector<qsizetype> at = breaksIn(line, cell);
    at.push_back(n);
    qsizetype start = 0;
    for (const qsizetype end : at) {
        add(start, end);
        Piece& p = pieces.back();
        if (p.word > width + slack && p.wordEnd - p.start > 1) {
            // Wider than a line on its own: between its characters, a figure still whole.
            const Piece whole = p;
            pieces.pop_back();
            qsizetype from = whole.start;
            for (qsizetype k = whole.start + 1; k <= whole.wordEnd; ++k) {
                if (k < whole.wordEnd && (line[k].isLowSurrogate() || inFigure[static_cast<std::size_t>(k)]))
                    continue;
                pieces.push_back({from, k, face.width(line.mid(from, k - from)), 0});
                from = k;
            }
            pieces.back().space = whole.space;
        }
        start = end;
    }

    QStringList lines;
    qsizetype from = -1, wordEnd = 0;
    double used = 0, space = 0;
    for (const Piece& p : pieces) {
        if (from >= 0 && used + space + p.word > width + slack) {
            lines << line.mid(from, wordEnd - from);
            from = -1;
        }
        if (from < 0) {
            from = p.start;
            used = p.word;
        } else {
            used += space + p.word;
        }
        wordEnd = p.wordEnd;
        space = p.space;
    }
    if (from >= 0)
        lines << line.mid(from, wordEnd - from);
    return lines;
}

namespace {



// An equation's part broken before its operators where it is wider than
// `width`: before a " + " or " − " outside brackets where that is enough,
// else inside them, else before a " × " or " / " too; a term too long on its
// own as text.
QStringList betweenTerms(const QString& text, double width, const Face& face)
{
    if (face.within(text, width))
        return {text};
    std::vector<int> depth(static_cast<std::size_t>(text.size()), 0); // in how many brackets
    int deepest = 0;
    for (qsizetype i = 0, d = 0; i < text.size(); ++i) {
        if (text[i] == u')' || text[i] == u']')
            --d;
        depth[static_cast<std::size_t>(i)] = static_cast<int>(d);
        deepest = std::max(deepest, static_cast<int>(d));
        if (text[i] == u'(' || text[i] == u'[')
            ++d;
    }
    auto broken = [&](QStringView operators, int within) {
        std::vector<qsizetype> at; // where each term after the first begins: its operator
        for (qsizetype i = 1; i + 2 < text.size(); ++i)
            if (text[i - 1] == u' ' && text[i + 1] == u' ' && operators.contains(text[i]) &&
                depth[static_cast<std::size_t>(i)] <= within)
                at.push_back(i);
        at.push_back(text.size() + 1);
        QStringList lines;
        qsizetype from = 0, end = -1; // the line being filled: [from, end)
        for (const qsizetype next : at) {
            const qsizetype to = next - 1; // the term ends before the space
            if (end > from && face.width(text.mid(from, to - from)) > width) {
                lines << text.mid(from, end - from);
                from = end + 1;
            }
            end = to;
        }
        lines << text.mid(from);
        return lines;
    };
    auto fits = [&](const QStringList& lines) {
        return std::all_of(lines.begin(), lines.end(), [&](const QString& l) { return face.width(l) <= width; });
    };
    QStringList lines;
    for (const QStringView operators : {QStringView(u"+\u2212"), QStringView(u"+\u2212×/")})
        for (int within = 0; within <= deepest; ++within)
            if (fits(lines = broken(operators, within)))
                return lines;
    QStringList wrapped;
    for (const QString& l : lines)
        wrapped += breakLine(l, width, face);
    return wrapped;
}

} // namespace

Formula formulaLines(const QString& text, double width, const Face& face)
{
    if (face.within(text, width))
        return {{text}, {0}};
    const QString equals = QStringLiteral(" = ");
    const qsizetype first = text.indexOf(equals);
    const bool chain = first > 0 && !text.left(first).trimmed().contains(u' ');
    if (!chain) {
        const QStringList lines = breakLine(text, width, face);
        return {lines, std::vector<double>(static_cast<std::size_t>(lines.size()), 0)};
    }
    const double hang = face.width(text.left(first + 1)), terms = hang + face.width(QStringLiteral("= "));
    const QStringList parts = text.mid(first + equals.size()).split(equals);
    QStringList equalities{text.left(first) + equals + parts[0]};
    for (qsizetype k = 1; k < parts.size(); ++k) {
        const QString joined = equalities.last() + equals + parts[k];
        if (face.width(joined) <= width - (equalities.size() > 1 ? hang : 0))
            equalities.last() = joined;
        else
            equalities << "= " + parts[k];
    }
    Formula f;
    for (qsizetype k = 0; k < equalities.size(); ++k) {
        const double offset = k == 0 ? 0 : hang;
        const QStringList lines = betweenTerms(equalities[k], width - offset, face);
        for (qsizetype l = 0; l < lines.size(); ++l) {
            f.lines << lines[l];
            f.offsets.push_back(l == 0 ? offset : terms);
        }
    }
    return f;
}


} // namespace sheet
