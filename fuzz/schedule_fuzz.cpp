// libFuzzer target over the load schedule's text side and evaluation: the
// input is pasted as rows spread over three boards that may name each other,
// with further pieces (after \x1f) typed into the boards' own cells. Whatever
// the text, every figure is finite, the rows left out are exactly those with
// a problem, a board evaluates alone as in the whole schedule, and the rows
// copied out paste back the same.

#include "convert.h"
#include "schedule.h"
#include "schedule_table.h"
#include "schedule_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using namespace load;

namespace {

// Says which check failed, so that a kept input explains itself when replayed.
#define check(condition) checkAt((condition), __LINE__)

void checkAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "schedule_fuzz: check on line %d failed\n", line);
        std::abort();
    }
}

void checkShown(double value, int decimals)
{
    if (!std::isfinite(value))
        return;
    const std::string text = shown(value, decimals);
    check(!text.empty());
    const numeric::Num back = numeric::parseStrict(text);
    check(back.ok());
    check(std::abs(back.value() - value) <= 0.5 * std::pow(10.0, -decimals) + std::abs(value) * 1e-14);
    if (back.value() == 0)
        check(text.front() != '-');
}

void checkFinite(const std::optional<double>& v)
{
    check(!v || std::isfinite(*v));
    if (v)
        checkShown(*v, 3);
}

void checkLoad(const Load& l)
{
    for (double v : {l.p, l.q, l.s, l.i}) {
        check(std::isfinite(v));
        checkShown(v, 2);
    }
    checkFinite(l.cos);
}

void checkResult(const Board& board, const BoardResult& r)
{
    check(r.rows.size() == board.rows.size());
    std::vector<std::size_t> excluded;
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        const RowResult& row = r.rows[i];
        check(!row.blank || row.problems.empty());
        if (!row.blank && !row.problems.empty())
            excluded.push_back(i);
        checkLoad(row.load);
        checkFinite(row.pe);
        checkFinite(row.kx);
        checkFinite(row.cos);
        checkFinite(row.tan);
        // A circuit is sized only from sound cells, and says why when it is not.
        check(!row.circuit || (row.problems.empty() && row.circuitProblems.empty()));
        check(row.blank || !row.problems.empty() || !row.circuitProblems.empty() || row.circuit ||
              !row.circuitNote.empty());
        if (row.circuit) {
            const circuits::CircuitFigures& c = *row.circuit;
            check(std::isfinite(c.breaker.in + c.cable.capacity.iz + c.cable.section));
            check(c.cable.capacity.iz >= c.breaker.in * (1 - 1e-9) || c.breaker.typed);
            if (c.drop)
                check(std::isfinite(c.drop->own + c.drop->end));
            if (c.farEnd)
                check(std::isfinite(c.farEnd->ik3) && c.farEnd->ik3 > 0);
            if (c.earthFault)
                check(std::isfinite(c.earthFault->id) && c.earthFault->id > 0);
        }
        for (int column = 0; column < column::Count; ++column)
            shownCell(board.rows[i], i, &row, column);
    }
    check(r.excluded == excluded);
    if (r.totals) {
        checkLoad(r.totals->load);
        checkFinite(r.totals->tan);
        check(std::isfinite(r.totals->installed + r.totals->sumP + r.totals->sumQ));
    }
    if (r.compensation) {
        check(r.totals.has_value());
        checkLoad(r.compensation->load);
        check(std::isfinite(r.compensation->required) && r.compensation->required >= 0);
    }
    if (r.transformer) {
        check(r.compensation.has_value());
        checkFinite(r.transformer->rating);
        checkFinite(r.transformer->beta);
        check(r.transformer->rating.has_value() != !r.transformer->note.empty());
    }
    copyHtml(board.rows, r.rows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\x1f', start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }

    const numeric::Num whole = readCell(text);
    check(!whole.ok() || std::isfinite(whole.value()));

    const std::vector<ScheduleRow> rows = pasteRows(parts[0]);
    check(pasteRows(copyTsv(rows)) == rows);

    std::vector<Board> boards(3);
    boards[0].name = "A";
    boards[1].name = "B";
    boards[2].name = " C　";
    for (std::size_t i = 0; i < rows.size(); ++i)
        boards[i % 3].rows.push_back(rows[i]);
    for (std::size_t p = 1; p < parts.size() && p <= 18; ++p) {
        Board& b = boards[(p - 1) / 6];
        std::string* cells[] = {&b.kp, &b.kq, &b.cosTarget, &b.installedQc, &b.betaMax, &b.transformers};
        *cells[(p - 1) % 6] = std::string(parts[p]);
    }
    if (parts.size() > 19) { // raw ratings, NaN and infinities among them
        std::vector<double> series;
        for (std::size_t at = 0; at + sizeof(double) <= parts[19].size(); at += sizeof(double)) {
            double v;
            std::memcpy(&v, parts[19].data() + at, sizeof v);
            series.push_back(v);
        }
        boards[0].series = series;
    }
    for (const std::string_view part : parts) {
        const numeric::Num n = readCell(part);
        check(!n.ok() || std::isfinite(n.value()));
        if (n.ok())
            checkShown(n.value(), static_cast<int>(part.size() % 6));
    }

    const std::vector<BoardResult> all = evaluateAll(boards);
    for (std::size_t b = 0; b < boards.size(); ++b) {
        checkResult(boards[b], all[b]);
        const BoardResult alone = evaluate(boards, b);
        check(alone.excluded == all[b].excluded && alone.totals.has_value() == all[b].totals.has_value());
        if (alone.totals)
            check(alone.totals->load.p == all[b].totals->load.p && alone.totals->load.q == all[b].totals->load.q);
    }
    return 0;
}
