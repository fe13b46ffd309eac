#include "pages.h"

#include "layout.h"

#include <QPaintDevice>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <set>

namespace sheet {

Face::Face(double pointSize, bool bold, QPaintDevice* device)
    : font_(sheetFont(pointSize, bold)),
      metrics_(font_, device), pointSize_(pointSize), bold_(bold), scale_(72.0 / device->logicalDpiY())
{
    ascent_ = metrics_.ascent() * scale_;
    lineHeight_ = metrics_.lineSpacing() * scale_;
}

double Face::width(const QString& text) const
{
    if (text.isEmpty())
        return 0;
    const auto known = widths_.constFind(text);
    if (known != widths_.constEnd())
        return *known;
    const double w = metrics_.horizontalAdvance(text) * scale_;
    widths_.insert(text, w);
    return w;
}

int Faces::find(double pointSize, bool bold)
{
    for (std::size_t i = 0; i < faces_.size(); ++i)
        if (faces_[i].pointSize() == pointSize && faces_[i].bold() == bold)
            return static_cast<int>(i);
    faces_.emplace_back(pointSize, bold, device_);
    return static_cast<int>(faces_.size() - 1);
}

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
    if (face.width(line) <= width + slack)
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

constexpr double bodySize = 10.5, headingSize = 12, titleSize = 16;
// A cell's text from its rules: across, as tableSetting() measured the columns.
constexpr double padX = 3, padY = 2;
// Space above and below, as the sheet's HTML gives it (a pixel there is ¾ pt).
constexpr double titleAfter = 4.5, headingBefore = 10.5, headingAfter = 4.5, paragraphSpace = 3, tableSpace = 3;
constexpr double indent = 2 * bodySize; // a formula line's 2 em
constexpr double eps = 0.01;

struct Row {
    std::vector<QStringList> cells; // each cell's lines
    int lines = 1;
    QString first; // the first cell's text, as the placement names the row
};

// A heading, a paragraph or a table, ready to be set on the pages.
struct Flow {
    bool table = false;
    PlacedLine::Kind kind = PlacedLine::Kind::Paragraph;
    int item = 0;
    double before = 0, after = 0;
    bool newPage = false;
    int face = 0;
    // A heading or paragraph: its lines, each indented by `indent` and its
    // own offset (a formula's continuation lines hang), all on one page
    // when `keep` (a heading, a formula).
    QStringList lines;
    std::vector<double> offsets;
    double indent = 0;
    bool centred = false;
    bool keep = false;
    // A table: its columns' edges from the text's left, its rows (the first
    // its header row, when `header`).
    std::vector<double> edges;
    int headFace = 0;
    bool ruled = true, header = false;
    std::vector<Row> rows;
};

QStringList broken(const QString& text, double width, const Face& face, bool cell = false)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return breakLine(text, width, face, cell);
    QStringList lines;
    for (const QString& line : QString(text).remove(u'\r').split(u'\n'))
        lines += breakLine(line, width, face, cell);
    return lines;
}

// A formula at the body's size, on one line when it fits. A chain of
// equalities of one symbol ("Ae = … = … = 0.0838 km²") is wrapped before an
// " = ", each continuation line beginning with "=" under the first one, and
// an equation still too long between its terms, before an operator; a
// checker reading the lines joins a line that begins with "=" or an
// operator to the one before and reads the equation whole. A sentence that
// names figures ("按 … A = 37.23 m² 查表 …，U = 7.7 W/m²") is wrapped as text.
struct Formula {
    QStringList lines;
    std::vector<double> offsets;
};

// An equation's part broken before its operators where it is wider than
// `width`: before a " + " or " − " outside brackets where that is enough,
// else inside them, else before a " × " or " / " too; a term too long on its
// own as text.
QStringList betweenTerms(const QString& text, double width, const Face& face)
{
    if (face.width(text) <= width)
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

Formula formulaLines(const QString& text, double width, const Face& face)
{
    if (face.width(text) <= width)
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

Row row(const QStringList& cells, const Flow& table, const Face& face)
{
    Row r;
    const std::size_t columns = table.edges.size() - 1;
    r.cells.reserve(columns);
    for (std::size_t c = 0; c < columns; ++c) {
        const QString text = cells.value(static_cast<qsizetype>(c));
        r.cells.push_back(broken(text, table.edges[c + 1] - table.edges[c] - 2 * padX, face, true));
        r.lines = std::max(r.lines, static_cast<int>(r.cells.back().size()));
    }
    r.first = cells.value(0);
    return r;
}

std::vector<Flow> flows(const Sheet& sheet, Faces& faces)
{
    const Paper p = paper(sheet);
    const double width = p.textWidth() * pointsPerMm;
    const int body = faces.find(bodySize, false), title = faces.find(titleSize, true),
              heading = faces.find(headingSize, true);
    std::vector<Flow> all;
    int item = 0;
    auto lines = [&](PlacedLine::Kind kind, const QString& text, int face, double before, double after) -> Flow& {
        Flow f;
        f.kind = kind;
        f.item = item++;
        f.before = before;
        f.after = after;
        f.face = face;
        f.lines = broken(text, width, faces[face]);
        f.keep = kind == PlacedLine::Kind::Heading;
        all.push_back(std::move(f));
        return all.back();
    };
    if (!sheet.title.isEmpty())
        lines(PlacedLine::Kind::Heading, sheet.title, title, 0, titleAfter).centred = true;

    // The header's lines: two columns, no rules.
    Flow head;
    head.table = true;
    head.kind = PlacedLine::Kind::TableRow;
    head.item = item++;
    head.face = head.headFace = body;
    head.ruled = false;
    head.edges = {0, width / 2, width};
    for (const QStringList& cells : headerRows(sheet))
        head.rows.push_back(row(cells, head, faces[body]));
    all.push_back(std::move(head));

    bool pageBreak = false;
    auto opened = [&](Flow& f) {
        f.newPage = pageBreak;
        pageBreak = false;
    };
    for (const Section& s : sheet.sections) {
        pageBreak = pageBreak || s.opensSheet;
        if (!s.heading.isEmpty()) {
            // A sheet inside the sheet: headed like the title, on a new page.
            Flow& h = s.opensSheet ? lines(PlacedLine::Kind::Heading, s.heading, title, 0, titleAfter)
                                   : lines(PlacedLine::Kind::Heading, s.heading, heading, headingBefore, headingAfter);
            h.centred = s.opensSheet;
            opened(h);
        }
        for (const Block& b : s.blocks) {
            if (b.kind != Block::Kind::Table) {
                if (b.text.isEmpty())
                    continue;
                Flow f;
                f.item = item++;
                f.before = f.after = paragraphSpace;
                f.face = body;
                f.indent = b.kind == Block::Kind::Formula ? indent : 0;
                if (b.kind == Block::Kind::Formula && !b.text.contains(u'\n')) {
                    Formula formula = formulaLines(b.text, width - f.indent, faces[body]);
                    f.lines = std::move(formula.lines);
                    f.offsets = std::move(formula.offsets);
                    f.keep = true;
                } else {
                    f.lines = broken(b.text, width - f.indent, faces[body]);
                }
                opened(f);
                all.push_back(std::move(f));
                continue;
            }
            const auto filled = [](const QStringList& cells) { return !cells.isEmpty(); };
            if (b.header.isEmpty() && std::none_of(b.rows.begin(), b.rows.end(), filled))
                continue; // a table without a cell
            const TableSetting set = tableSetting(b.header, b.rows, width, padX);
            Flow t;
            t.table = true;
            t.kind = PlacedLine::Kind::TableRow;
            t.item = item++;
            t.before = t.after = tableSpace;
            t.face = faces.find(set.pointSize, false);
            t.headFace = faces.find(set.pointSize, true);
            t.header = !b.header.isEmpty();
            // A table too wide for the text takes the side margins, evenly.
            const double total = std::accumulate(set.widths.begin(), set.widths.end(), 0.0);
            double x = total > width ? -std::min(p.margins.left() * pointsPerMm, (total - width) / 2) : 0;
            t.edges.push_back(x);
            for (const double w : set.widths)
                t.edges.push_back(x += w);
            t.rows.reserve(b.rows.size() + 1);
            if (t.header)
                t.rows.push_back(row(b.header, t, faces[t.headFace]));
            for (const QStringList& cells : b.rows)
                t.rows.push_back(row(cells, t, faces[t.face]));
            opened(t);
            all.push_back(std::move(t));
        }
    }
    return all;
}

// A page break the pager is asked for beyond its own rules: before line (or
// row) `unit` of flow `flow`, 0 for before the flow itself.
struct Break {
    int flow = 0;
    int unit = 0;
    auto operator<=>(const Break&) const = default;
};

// Sets the flows on pages from the top: a heading kept with what follows
// it, a paragraph's lines never one alone at a page's foot or top, a
// formula on one page, a table's rows whole with its header row again on
// every page it runs onto; and a page break wherever one is asked for.
class Pager {
public:
    Pager(const Sheet& sheet, const Faces& faces, const std::vector<Flow>& flows, const std::set<Break>& breaks)
        : faces_(faces), flows_(flows), breaks_(breaks), width_(paper(sheet).textWidth() * pointsPerMm),
          height_(paper(sheet).textHeight() * pointsPerMm)
    {
        out_.pages.emplace_back();
    }

    Pages run()
    {
        for (std::size_t i = 0; i < flows_.size(); ++i) {
            const Flow& f = flows_[i];
            if ((f.newPage || asked(i, 0)) && !empty_)
                newPage();
            // What must share the page with the start of this one does not fit:
            // a new page, where that holds it; where no page does, as much of
            // it as will keep a heading or header row company. Right under a
            // heading it stays: the heading saw to that already.
            afterHeading_ = i > 0 && !empty_ && flows_[i - 1].kind == PlacedLine::Kind::Heading;
            if (!empty_ && !afterHeading_ && y_ + start(i, gap(f.before), false) > height_ + eps &&
                (start(i, 0, false) <= height_ + eps || y_ + start(i, gap(f.before), true) > height_ + eps))
                newPage();
            f.table ? table(i) : lines(i);
            after_ = f.after;
            empty_ = false;
        }
        out_.placement.pages = static_cast<int>(out_.pages.size());
        return std::move(out_);
    }

private:
    const Faces& faces_;
    const std::vector<Flow>& flows_;
    const std::set<Break>& breaks_;
    const double width_, height_;
    Pages out_;
    double y_ = 0;
    bool empty_ = true;
    bool afterHeading_ = false; // the flow being set follows a heading on this page
    double after_ = 0;
    std::vector<double> bounds_; // the top and each row's foot of the table's part on this page
    bool repeated_ = false;      // the part on this page begins with the header row repeated

    bool asked(std::size_t flow, int unit) const { return breaks_.count({static_cast<int>(flow), unit}) > 0; }
    int page() const { return static_cast<int>(out_.pages.size()); }
    void newPage()
    {
        out_.pages.emplace_back();
        y_ = 0;
        empty_ = true;
        after_ = 0;
    }
    double gap(double before) const { return empty_ ? 0 : std::max(after_, before); }
    double lineHeight(const Flow& f) const { return faces_[f.face].lineHeight(); }
    double height(const Flow& f, const Row& r) const { return r.lines * lineHeight(f) + 2 * padY; }
    // A row that no page holds under the header row: it is parted wherever it falls.
    bool tall(const Flow& f, const Row& r) const
    {
        return height(f, r) > height_ - (f.header && &r != &f.rows[0] ? height(f, f.rows[0]) : 0) + eps;
    }
    // What of a row has to be on the page where the row begins.
    double least(const Flow& f, const Row& r) const { return tall(f, r) ? lineHeight(f) + 2 * padY : height(f, r); }
    // The lines of a row that the rest of the page holds.
    int room(const Flow& f) const
    {
        return static_cast<int>(std::floor((height_ - y_ - 2 * padY + eps) / lineHeight(f)));
    }

    // The height from here, `gap` included, that has to share a page with
    // the start of flow i: a heading whole with the start of what follows;
    // a formula whole; a paragraph's first two lines, or all of one of three
    // or fewer; a table's first two rows. At `least`, a table's second row
    // counts only its first line, as when it is parted.
    double start(std::size_t i, double gap, bool least) const
    {
        const Flow& f = flows_[i];
        if (f.table) {
            double h = gap + this->least(f, f.rows[0]);
            if (f.rows.size() > 1)
                h += least ? lineHeight(f) + 2 * padY : this->least(f, f.rows[1]);
            return h;
        }
        const int n = static_cast<int>(f.lines.size());
        if (!f.keep)
            return gap + (n <= 3 ? n : 2) * lineHeight(f);
        double h = gap + n * lineHeight(f);
        if (f.kind == PlacedLine::Kind::Heading && i + 1 < flows_.size() && !flows_[i + 1].newPage)
            h += start(i + 1, std::max(f.after, flows_[i + 1].before), least);
        return h;
    }

    void text(double x, double baseline, const QString& text, int face)
    {
        if (!text.isEmpty())
            out_.pages.back().texts.push_back({QPointF(x, baseline), text, face});
    }

    void lines(std::size_t i)
    {
        const Flow& f = flows_[i];
        const Face& face = faces_[f.face];
        const double lh = face.lineHeight();
        const int n = static_cast<int>(f.lines.size());
        int done = 0;
        while (done < n) {
            const double g = done == 0 ? gap(f.before) : 0;
            const int room = static_cast<int>(std::floor((height_ - y_ - g + eps) / lh));
            const int rest = n - done;
            int take = 0;
            if (f.keep) {
                take = rest <= room ? rest : 0;
            } else {
                take = std::min(room, rest);
                // Never one line alone: two at least stay behind and two go over.
                if (take < rest) {
                    take = std::min(take, rest - 2);
                    if (take < 2)
                        take = 0;
                }
            }
            if (take == 0) {
                if (!empty_) {
                    newPage();
                    continue;
                }
                take = std::clamp(room, 1, rest); // a page too short for the rule
            }
            for (int l = done + 1; l < done + take; ++l)
                if (asked(i, l))
                    take = l - done;
            y_ += g;
            for (int l = done; l < done + take; ++l) {
                const QString& line = f.lines[l];
                const double x = f.centred ? (width_ - face.width(line)) / 2
                                           : f.indent + (static_cast<std::size_t>(l) < f.offsets.size()
                                                             ? f.offsets[static_cast<std::size_t>(l)]
                                                             : 0);
                text(x, y_ + face.ascent(), line, f.face);
                out_.placement.lines.push_back({f.kind, f.item, page(), line});
                y_ += lh;
            }
            empty_ = false;
            done += take;
            if (done < n)
                newPage();
        }
    }

    // A row's lines [from, from + count), at the foot of what the page holds.
    void row(const Flow& f, const Row& r, bool head, int from, int count)
    {
        const int faceIndex = head ? f.headFace : f.face;
        const Face& face = faces_[faceIndex];
        const double lh = lineHeight(f);
        for (std::size_t c = 0; c < r.cells.size(); ++c) {
            const QStringList& cell = r.cells[c];
            const double left = f.edges[c] + padX, inside = f.edges[c + 1] - f.edges[c] - 2 * padX;
            for (int l = from; l < std::min<int>(from + count, static_cast<int>(cell.size())); ++l) {
                const QString& line = cell[l];
                const double x = head ? left + std::max(0.0, (inside - face.width(line)) / 2) : left;
                text(x, y_ + padY + (l - from) * lh + face.ascent(), line, faceIndex);
            }
        }
        y_ += count * lh + 2 * padY;
        bounds_.push_back(y_);
        empty_ = false;
    }

    // The grid of the table's part on this page.
    void rule(const Flow& f)
    {
        if (f.ruled && bounds_.size() > 1) {
            std::vector<QLineF>& rules = out_.pages.back().rules;
            for (const double y : bounds_)
                rules.emplace_back(f.edges.front(), y, f.edges.back(), y);
            for (const double x : f.edges)
                rules.emplace_back(x, bounds_.front(), x, bounds_.back());
        }
        bounds_.clear();
    }

    // The table goes on on a new page, under its header row again unless
    // that row itself is what goes over.
    void overleaf(const Flow& f, bool repeat)
    {
        rule(f);
        newPage();
        bounds_ = {y_};
        repeated_ = f.header && repeat;
        if (repeated_)
            row(f, f.rows[0], true, 0, f.rows[0].lines);
    }

    void table(std::size_t i)
    {
        const Flow& f = flows_[i];
        y_ += gap(f.before);
        bounds_ = {y_};
        repeated_ = false;
        for (std::size_t r = 0; r < f.rows.size(); ++r) {
            const Row& rw = f.rows[r];
            const bool head = f.header && r == 0;
            if (r > 0 && asked(i, static_cast<int>(r)) && bounds_.size() > (repeated_ ? 2u : 1u))
                overleaf(f, !head);
            else if (y_ + height(f, rw) > height_ + eps) {
                // Over to the next page, unless no page would hold the row, or
                // it would leave the header row or the heading above alone:
                // then it is parted here, where a line of it fits.
                const bool rowsHere = bounds_.size() > (f.header && r > 0 ? 2u : 1u);
                const bool movable = rowsHere || (r == 0 && bounds_.front() > eps && !afterHeading_);
                if (room(f) < 1 || (movable && !tall(f, rw)))
                    overleaf(f, !head);
            }
            out_.placement.lines.push_back({f.kind, f.item, page(), rw.first});
            // A row taller than a page is parted between its lines.
            int from = 0;
            while (rw.lines - from > 0) {
                const int count = std::clamp(room(f), 1, rw.lines - from);
                row(f, rw, head, from, count);
                from += count;
                if (from < rw.lines)
                    overleaf(f, !head);
            }
        }
        rule(f);
    }
};

// The first page break a laid-out sheet still wants, if any: a page holding
// a single line takes the line before it along; a paragraph or table with a
// single line (row) on a page it shares with another moves that line on, or
// takes one more along; a heading that ends a page goes over with what
// follows. A line that goes over takes what it must not be parted from: the
// one line of its flow that would stay behind, the headings above it.
std::optional<Break> wantedBreak(const Placement& placed, const std::vector<Flow>& flows)
{
    const std::vector<PlacedLine>& lines = placed.lines;
    const std::size_t n = lines.size();
    std::vector<int> unit(n), total(flows.size(), 0);
    for (std::size_t i = 0; i < n; ++i)
        unit[i] = total[static_cast<std::size_t>(lines[i].item)]++;
    auto firstOnPage = [&](std::size_t i) {
        while (i > 0 && lines[i - 1].page == lines[i].page && lines[i - 1].item == lines[i].item)
            --i;
        return i;
    };
    // The break before line i, widened to what goes with it.
    auto before = [&](std::size_t i) {
        const std::size_t first = firstOnPage(i);
        if (i == first + 1)
            i = first; // the one line that would stay behind
        while (unit[i] == 0 && i > 0 && lines[i - 1].page == lines[i].page &&
               lines[i - 1].kind == PlacedLine::Kind::Heading)
            i = firstOnPage(i - 1);
        return Break{lines[i].item, unit[i]};
    };
    for (std::size_t a = 0; a < n;) {
        std::size_t b = a;
        while (b < n && lines[b].page == lines[a].page)
            ++b;
        const bool opens = unit[a] == 0 && flows[static_cast<std::size_t>(lines[a].item)].newPage;
        if (b - a == 1 && a > 0 && !opens && lines[a - 1].page + 1 == lines[a].page)
            return before(a - 1);
        for (std::size_t i = a; i < b; ++i) {
            const PlacedLine& l = lines[i];
            const std::size_t item = static_cast<std::size_t>(l.item);
            const bool alone = (i == a || lines[i - 1].item != l.item) && (i + 1 == b || lines[i + 1].item != l.item);
            if (alone && l.kind != PlacedLine::Kind::Heading && total[item] > 1) {
                if (unit[i] == 0)
                    return before(i); // its first line at a page's foot
                return before(i - 1); // its last line at a page's top
            }
        }
        if (lines[b - 1].kind == PlacedLine::Kind::Heading && b < n)
            return before(firstOnPage(b - 1));
        a = b;
    }
    return std::nullopt;
}

} // namespace

Pages layOut(const Sheet& sheet, Faces& faces)
{
    const std::vector<Flow> all = flows(sheet, faces);
    std::set<Break> breaks;
    for (int round = 0;; ++round) {
        Pages pages = Pager(sheet, faces, all, breaks).run();
        const std::optional<Break> more = round < 64 ? wantedBreak(pages.placement, all) : std::nullopt;
        if (!more || !breaks.insert(*more).second)
            return pages;
        // The pages after the new break are set anew: what was asked of them
        // was asked of other pages.
        breaks.erase(std::next(breaks.find(*more)), breaks.end());
    }
}

} // namespace sheet
