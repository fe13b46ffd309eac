#include "flows.h"

#include "layout.h"
#include "lines.h"

#include <algorithm>
#include <cmath>

namespace sheet::flow {

namespace {

QStringList broken(const QString& text, double width, const Face& face, bool cell = false)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return breakLine(text, width, face, cell);
    QStringList lines;
    for (const QString& line : QString(text).remove(u'\r').split(u'\n'))
        lines += breakLine(line, width, face, cell);
    return lines;
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

} // namespace

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

} // namespace sheet::flow
