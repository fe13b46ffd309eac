#include "pages.h"

#include "layout.h"
#include "flows.h"
#include "lines.h"

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

bool Face::within(const QString& text, double width) const
{
    // Shaping a whole line costs more than adding up its characters; kerning
    // and ligatures only ever bring a line of the sheet's faces in, and a
    // tenth to spare covers whatever else shaping does.
    double sum = 0;
    for (const QChar c : text) {
        const auto known = advances_.constFind(c.unicode());
        if (known != advances_.constEnd()) {
            sum += *known;
            continue;
        }
        const double a = c.isSurrogate() ? metrics_.maxWidth() * scale_ : metrics_.horizontalAdvance(c) * scale_;
        advances_.insert(c.unicode(), a);
        sum += a;
    }
    return sum * 1.1 <= width || this->width(text) <= width;
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

using namespace flow;

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
