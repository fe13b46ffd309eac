#include "pages.h"

#include "layout.h"

#include <QPaintDevice>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <string_view>

namespace sheet {

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

bool isSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\u3000'; }

// A character that takes a Chinese text's square: ideographs, kana, hangul,
// the full-width marks and forms.
bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Marks a line never begins with, and marks it never ends with.
bool closes(char32_t c)
{
    return std::u32string_view(U"，。、；：？！）》」』】〕〉〗〙．］｝％～").find(c) != std::u32string_view::npos;
}
bool opens(char32_t c) { return std::u32string_view(U"（《「『【〔〈〖〘［｛").find(c) != std::u32string_view::npos; }

// Between two places a line may break: the text up to its spaces, and the spaces.
struct Piece {
    qsizetype start = 0, wordEnd = 0;
    double word = 0, space = 0;
};

} // namespace

QStringList breakLine(const QString& line, double width, const Face& face)
{
    // Measured at another size than the columns were, a text that fits may
    // come out a hair wider; a hair is not a reason to break it.
    const double slack = 0.25 + 0.002 * width;
    if (face.width(line) <= width + slack)
        return {line};

    // Each character's code point, and where a figure forbids a break.
    const qsizetype n = line.size();
    std::vector<char32_t> code(static_cast<std::size_t>(n), 0); // 0 on the second half of a pair
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = line[i];
        if (c.isHighSurrogate() && i + 1 < n && line[i + 1].isLowSurrogate()) {
            code[static_cast<std::size_t>(i)] = QChar::surrogateToUcs4(c, line[i + 1]);
            ++i;
        } else {
            code[static_cast<std::size_t>(i)] = c.unicode();
        }
    }
    std::vector<bool> inFigure(static_cast<std::size_t>(n) + 1, false);
    for (const Run& r : figureRuns(line))
        for (qsizetype i = r.start + 1; i < r.start + r.length; ++i)
            inFigure[static_cast<std::size_t>(i)] = true;
    auto at = [&](qsizetype i) { return code[static_cast<std::size_t>(i)]; };
    auto previous = [&](qsizetype i) {
        qsizetype p = i - 1;
        while (p > 0 && at(p) == 0)
            --p;
        return at(p);
    };
    // A break before i: after spaces, or between two Chinese characters.
    auto breaksBefore = [&](qsizetype i) {
        const char32_t c = at(i);
        if (c == 0 || inFigure[static_cast<std::size_t>(i)] || isSpace(c))
            return false;
        const char32_t before = previous(i);
        return isSpace(before) || (isWide(before) && isWide(c) && !closes(c) && !opens(before));
    };

    std::vector<Piece> pieces;
    auto add = [&](qsizetype start, qsizetype end) {
        qsizetype wordEnd = end;
        while (wordEnd > start && isSpace(at(wordEnd - 1)))
            --wordEnd;
        pieces.push_back({start, wordEnd, face.width(line.mid(start, wordEnd - start)),
                          face.width(line.mid(wordEnd, end - wordEnd))});
    };
    qsizetype start = 0;
    for (qsizetype i = 1; i <= n; ++i) {
        if (i < n && !breaksBefore(i))
            continue;
        add(start, i);
        Piece& p = pieces.back();
        if (p.word > width + slack && p.wordEnd - p.start > 1) {
            // Wider than a line on its own: between its characters, a figure still whole.
            const Piece whole = p;
            pieces.pop_back();
            qsizetype from = whole.start;
            for (qsizetype k = whole.start + 1; k <= whole.wordEnd; ++k) {
                if (k < whole.wordEnd && (at(k) == 0 || inFigure[static_cast<std::size_t>(k)]))
                    continue;
                pieces.push_back({from, k, face.width(line.mid(from, k - from)), 0});
                from = k;
            }
            pieces.back().space = whole.space;
        }
        start = i;
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
    // A heading or paragraph.
    QStringList lines;
    double indent = 0;
    bool centred = false;
    // A table: its columns' edges from the text's left, its rows (the first
    // its header row, when `header`).
    std::vector<double> edges;
    int headFace = 0;
    bool ruled = true, header = false;
    std::vector<Row> rows;
};

QStringList broken(const QString& text, double width, const Face& face)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return breakLine(text, width, face);
    QStringList lines;
    for (const QString& line : QString(text).remove(u'\r').split(u'\n'))
        lines += breakLine(line, width, face);
    return lines;
}

// A formula as the checker reads it back: one line when it fits; else its
// definition on one line and its figures with the value on the next, each a
// whole equation ("Ae = [L × W …] × 10⁻⁶", "Ae = [174 × 80 …] × 10⁻⁶ =
// 0.0838 km²"), in the body's size or a little smaller so that no equation
// is broken; only what fits in neither way is wrapped.
struct Formula {
    QStringList lines;
    int face;
};
Formula formulaLines(const QString& text, double width, Faces& faces)
{
    const int body = faces.find(bodySize, false);
    if (faces[body].width(text) <= width)
        return {{text}, body};
    QStringList split{text};
    const qsizetype first = text.indexOf(QStringLiteral(" = "));
    const qsizetype second = first < 0 ? -1 : text.indexOf(QStringLiteral(" = "), first + 3);
    // Only a chain of equalities of one symbol ("Ae = … = … km²") stands as
    // two equations of that symbol; in a sentence that names two figures
    // ("按 … A = 37.23 m² 查表 …，U = 7.7 W/m²") the figures belong to
    // different symbols, and joining the first to the last would be false.
    const bool chain = first > 0 && !text.left(first).trimmed().contains(u' ');
    if (chain && second > 0)
        split = {text.left(second), text.left(first) + text.mid(second)};
    for (double size = bodySize; size >= 8 - eps; size -= 0.5) {
        const int face = faces.find(size, false);
        if (std::all_of(split.begin(), split.end(), [&](const QString& l) { return faces[face].width(l) <= width; }))
            return {split, face};
    }
    QStringList wrapped;
    for (const QString& l : split)
        wrapped += breakLine(l, width, faces[body]);
    return {wrapped, body};
}

Row row(const QStringList& cells, const Flow& table, const Face& face)
{
    Row r;
    const std::size_t columns = table.edges.size() - 1;
    r.cells.reserve(columns);
    for (std::size_t c = 0; c < columns; ++c) {
        const QString text = cells.value(static_cast<qsizetype>(c));
        r.cells.push_back(broken(text, table.edges[c + 1] - table.edges[c] - 2 * padX, face));
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
                    const Formula formula = formulaLines(b.text, width - f.indent, faces);
                    f.lines = formula.lines;
                    f.face = formula.face;
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

// Sets the flows on pages from the top: a heading kept with what follows
// it, a paragraph's lines never one alone at a page's foot or top, a
// table's rows whole with its header row again on every page it runs onto.
class Pager {
public:
    Pager(const Sheet& sheet, const Faces& faces, const std::vector<Flow>& flows)
        : faces_(faces), flows_(flows), width_(paper(sheet).textWidth() * pointsPerMm),
          height_(paper(sheet).textHeight() * pointsPerMm)
    {
        out_.pages.emplace_back();
    }

    Pages run()
    {
        for (std::size_t i = 0; i < flows_.size(); ++i) {
            const Flow& f = flows_[i];
            if (f.newPage && !empty_)
                newPage();
            // What must share the page with the start of this one does not fit:
            // a new page, where that holds it; where no page does, as much of
            // it as will keep a heading or header row company. Right under a
            // heading it stays: the heading saw to that already.
            afterHeading_ = i > 0 && !empty_ && flows_[i - 1].kind == PlacedLine::Kind::Heading;
            if (!empty_ && !afterHeading_ && y_ + start(i, gap(f.before), false) > height_ + eps &&
                (start(i, 0, false) <= height_ + eps || y_ + start(i, gap(f.before), true) > height_ + eps))
                newPage();
            f.table ? table(f) : lines(f);
            after_ = f.after;
            empty_ = false;
        }
        out_.placement.pages = static_cast<int>(out_.pages.size());
        return std::move(out_);
    }

private:
    const Faces& faces_;
    const std::vector<Flow>& flows_;
    const double width_, height_;
    Pages out_;
    double y_ = 0;
    bool empty_ = true;
    bool afterHeading_ = false; // the flow being set follows a heading on this page
    double after_ = 0;
    std::vector<double> bounds_; // the top and each row's foot of the table's part on this page

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
    // a paragraph's first two lines, or all of one of three or fewer; a
    // table's first two rows. At `least`, a table's second row counts
    // only its first line, as when it is parted.
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
        if (f.kind != PlacedLine::Kind::Heading)
            return gap + (n <= 3 ? n : 2) * lineHeight(f);
        double h = gap + n * lineHeight(f);
        if (i + 1 < flows_.size() && !flows_[i + 1].newPage)
            h += start(i + 1, std::max(f.after, flows_[i + 1].before), least);
        return h;
    }

    void text(double x, double baseline, const QString& text, int face)
    {
        if (!text.isEmpty())
            out_.pages.back().texts.push_back({QPointF(x, baseline), text, face});
    }

    void lines(const Flow& f)
    {
        const Face& face = faces_[f.face];
        const double lh = face.lineHeight();
        const int n = static_cast<int>(f.lines.size());
        int done = 0;
        while (done < n) {
            const double g = done == 0 ? gap(f.before) : 0;
            const int room = static_cast<int>(std::floor((height_ - y_ - g + eps) / lh));
            const int rest = n - done;
            int take = f.kind == PlacedLine::Kind::Heading ? rest : std::min(room, rest);
            if (take < rest) {
                // Never one line alone: two at least stay behind and two go over.
                take = std::min(take, rest - 2);
                if (take < 2)
                    take = 0;
            }
            if (take == 0) {
                if (!empty_) {
                    newPage();
                    continue;
                }
                take = std::clamp(room, 1, rest); // a page too short for the rule
            }
            y_ += g;
            for (int l = done; l < done + take; ++l) {
                const QString& line = f.lines[l];
                const double x = f.centred ? (width_ - face.width(line)) / 2 : f.indent;
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
        if (f.header && repeat)
            row(f, f.rows[0], true, 0, f.rows[0].lines);
    }

    void table(const Flow& f)
    {
        y_ += gap(f.before);
        bounds_ = {y_};
        for (std::size_t r = 0; r < f.rows.size(); ++r) {
            const Row& rw = f.rows[r];
            const bool head = f.header && r == 0;
            if (y_ + height(f, rw) > height_ + eps) {
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

} // namespace

Pages layOut(const Sheet& sheet, Faces& faces)
{
    const std::vector<Flow> all = flows(sheet, faces);
    return Pager(sheet, faces, all).run();
}

} // namespace sheet
