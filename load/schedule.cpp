#include "schedule.h"

#include "convert.h"
#include "schedule_circuits.h"
#include "schedule_text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_map>

using numeric::Num;

namespace load {

std::vector<double> standardRatings()
{
    return {30, 50, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800, 1000, 1250, 1600, 2000, 2500};
}

namespace {

// √3 × 0.38 kV: the current of a three-phase load is S over this.
const double threePhaseKv = std::sqrt(3.0) * 0.38;
const double singlePhaseKv = 0.22;

// What a row's board cell refers to, besides a board's index.
constexpr std::size_t notABoardRow = std::numeric_limits<std::size_t>::max();
constexpr std::size_t unknownBoard = notABoardRow - 1;
constexpr std::size_t ambiguousBoard = notABoardRow - 2;

// The figures of a load from its P and Q; none when one of them overflows.
std::optional<Load> loadOf(Num p, Num q, Phases phases)
{
    const Num s = numeric::squareRoot(numeric::add(numeric::multiply(p, p), numeric::multiply(q, q)));
    const Num i = numeric::divide(s, phases == Phases::Three ? threePhaseKv : singlePhaseKv);
    if (!p || !q || !s || !i)
        return std::nullopt;
    Load load{p.value(), q.value(), s.value(), std::nullopt, i.value()};
    if (s.value() > 0) {
        const Num cos = numeric::divide(p, s);
        if (cos)
            load.cos = cos.value();
    }
    return load;
}

// tanφ = √(1 − cos²φ) / cosφ for 0 < cosφ ≤ 1.
Num tanOf(double cos)
{
    return numeric::divide(numeric::squareRoot(numeric::add(1.0, numeric::multiply(-cos, cos))), cos);
}

bool isBlankRow(const ScheduleRow& row)
{
    for (const std::string* cell : {&row.name, &row.pe, &row.kx, &row.cos, &row.phases, &row.board, &row.number,
                                    &row.cable, &row.method, &row.length, &row.ambient, &row.circuits, &row.breaker})
        if (!isBlank(*cell))
            return false;
    return true;
}

const char* tooLarge = "数值过大，无法计算";

// Evaluates the boards of one schedule, each once. A board is evaluated after
// every board its rows stand for; boards that take each other in (directly or
// through others) form one strongly connected group, found by Tarjan's method
// without recursion, and a row referring within its own group is refused.
class Schedule {
public:
    explicit Schedule(const std::vector<Board>& boards)
        : boards_(boards), refs_(boards.size()), results_(boards.size()), index_(boards.size(), unvisited),
          low_(boards.size(), 0), group_(boards.size(), unvisited), onStack_(boards.size(), false),
          chain_(
              boards, [this](std::size_t b) -> BoardResult& { return loads(b); },
              [this](std::size_t b) -> const std::vector<std::size_t>& { return refsOf(b); })
    {
        for (std::size_t b = 0; b < boards.size(); ++b) {
            const std::string_view name = trimmed(boards[b].name);
            if (name.empty())
                continue;
            const auto [it, inserted] = byName_.emplace(name, b);
            if (!inserted)
                it->second = ambiguousBoard;
        }
    }

    // The board with its loads and its circuits worked out.
    BoardResult& result(std::size_t board)
    {
        loads(board);
        chain_.size(board);
        return *results_[board];
    }

private:
    static constexpr std::size_t unvisited = std::numeric_limits<std::size_t>::max();

    BoardResult& loads(std::size_t board)
    {
        run(board);
        return *results_[board];
    }

    const std::vector<std::size_t>& refsOf(std::size_t board)
    {
        std::optional<std::vector<std::size_t>>& refs = refs_[board];
        if (!refs) {
            refs.emplace();
            refs->reserve(boards_[board].rows.size());
            for (const ScheduleRow& row : boards_[board].rows) {
                const std::string_view name = trimmed(row.board);
                if (name.empty()) {
                    refs->push_back(notABoardRow);
                    continue;
                }
                const auto it = byName_.find(name);
                refs->push_back(it == byName_.end() ? unknownBoard : it->second);
            }
        }
        return *refs;
    }

    void run(std::size_t root)
    {
        if (results_[root])
            return;
        struct Frame {
            std::size_t board;
            std::size_t row;
        };
        std::vector<Frame> frames;
        std::vector<std::size_t> stack;
        const auto enter = [&](std::size_t b) {
            index_[b] = low_[b] = counter_++;
            stack.push_back(b);
            onStack_[b] = true;
            frames.push_back({b, 0});
        };
        enter(root);
        while (!frames.empty()) {
            const std::size_t b = frames.back().board;
            const std::vector<std::size_t>& refs = refsOf(b);
            if (frames.back().row < refs.size()) {
                const std::size_t t = refs[frames.back().row++];
                if (t >= boards_.size() || results_[t])
                    continue;
                if (index_[t] == unvisited)
                    enter(t);
                else if (onStack_[t])
                    low_[b] = std::min(low_[b], index_[t]);
                continue;
            }
            frames.pop_back();
            if (!frames.empty())
                low_[frames.back().board] = std::min(low_[frames.back().board], low_[b]);
            if (low_[b] != index_[b])
                continue;
            // b heads a group; every board outside it that the group refers to is evaluated already.
            std::vector<std::size_t> members;
            std::size_t w;
            do {
                w = stack.back();
                stack.pop_back();
                onStack_[w] = false;
                group_[w] = groups_;
                members.push_back(w);
            } while (w != b);
            ++groups_;
            for (std::size_t m : members)
                results_[m] = evaluateBoard(m);
        }
    }

    RowResult evaluateRow(std::size_t board, std::size_t index)
    {
        const ScheduleRow& row = boards_[board].rows[index];
        RowResult r;
        if (isBlankRow(row)) {
            r.blank = true;
            return r;
        }
        const std::optional<Phases> phases = readPhases(row.phases);
        if (phases)
            r.phases = *phases;
        else
            r.problems.push_back({Cell::Phases, "相数须为三相或单相"});

        const std::size_t target = refsOf(board)[index];
        if (target != notABoardRow) {
            const std::string name(trimmed(row.board));
            if (target == unknownBoard) {
                r.problems.push_back({Cell::Board, "没有名为“" + name + "”的配电箱"});
            } else if (target == ambiguousBoard) {
                r.problems.push_back({Cell::Board, "名为“" + name + "”的配电箱不止一个"});
            } else if (target == board) {
                r.problems.push_back({Cell::Board, "配电箱不能包含自身"});
            } else if (group_[target] == group_[board]) {
                r.problems.push_back({Cell::Board, "配电箱“" + name + "”又包含本配电箱，形成循环"});
            } else if (!results_[target]->totals) {
                r.problems.push_back({Cell::Board, "配电箱“" + name + "”的合计无法计算"});
            } else if (r.problems.empty()) {
                const Totals& t = *results_[target]->totals;
                const std::optional<Load> load = loadOf(t.load.p, t.load.q, r.phases);
                if (!load) {
                    r.problems.push_back({Cell::Board, tooLarge});
                    return r;
                }
                r.load = *load;
                r.pe = t.installed;
                r.cos = t.load.cos;
                r.tan = t.tan;
            }
            return r;
        }

        r.pe = readFigure(row.pe, Cell::Pe, "设备容量", Range::NotNegative, r.problems);
        r.kx = readFigure(row.kx, Cell::Kx, "需要系数", Range::ZeroToOne, r.problems);
        r.cos = readFigure(row.cos, Cell::Cos, "功率因数", Range::AboveZeroToOne, r.problems);
        if (!r.problems.empty())
            return r;
        const Num tan = tanOf(*r.cos);
        const Num p = numeric::multiply(*r.kx, *r.pe);
        const Num q = numeric::multiply(p, tan);
        std::optional<Load> load = loadOf(p, q, r.phases);
        if (load && r.phases == Phases::Single) {
            // A single-phase group's current is Pjs / (0.22 kV × cosφ).
            const Num i = numeric::divide(p, numeric::multiply(singlePhaseKv, *r.cos));
            load = i ? std::optional<Load>(Load{load->p, load->q, load->s, load->cos, i.value()}) : std::nullopt;
        }
        if (!tan || !load) {
            r.problems.push_back({Cell::Pe, tooLarge});
            return r;
        }
        r.tan = tan.value();
        r.load = *load;
        return r;
    }

    BoardResult evaluateBoard(std::size_t index)
    {
        const Board& board = boards_[index];
        BoardResult out;
        out.rows.reserve(board.rows.size());
        Num installed = 0.0, sumP = 0.0, sumQ = 0.0;
        for (std::size_t i = 0; i < board.rows.size(); ++i) {
            out.rows.push_back(evaluateRow(index, i));
            const RowResult& r = out.rows.back();
            if (r.blank)
                continue;
            if (!r.problems.empty()) {
                out.excluded.push_back(i);
                continue;
            }
            installed = numeric::add(installed, *r.pe);
            sumP = numeric::add(sumP, r.load.p);
            sumQ = numeric::add(sumQ, r.load.q);
        }

        // Every cell of the board is read, so that the window can mark them all at once.
        std::vector<Problem>& problems = out.problems;
        if (!installed || !sumP || !sumQ)
            problems.push_back({Cell::Rows, tooLarge});
        const std::optional<double> kp = readFigure(board.kp, Cell::Kp, "有功同时系数", Range::AboveZeroToOne, problems);
        const std::optional<double> kq = readFigure(board.kq, Cell::Kq, "无功同时系数", Range::AboveZeroToOne, problems);
        const std::optional<double> cosTarget =
            readFigure(board.cosTarget, Cell::CosTarget, "目标功率因数", Range::AboveZeroToOne, problems);
        std::optional<double> installedQc;
        bool installedOk = true;
        if (!isBlank(board.installedQc)) {
            installedQc = readFigure(board.installedQc, Cell::InstalledQc, "实装补偿容量", Range::NotNegative, problems);
            installedOk = installedQc.has_value();
        }
        const std::optional<double> betaMax =
            readFigure(board.betaMax, Cell::BetaMax, "负荷率上限", Range::AboveZeroToOne, problems);
        const std::optional<double> typedCount =
            readFigure(board.transformers, Cell::Transformers, "变压器台数", Range::NotNegative, problems);
        const bool countOk = typedCount && *typedCount >= 1 && std::floor(*typedCount) == *typedCount;
        if (typedCount && !countOk)
            problems.push_back({Cell::Transformers, "变压器台数须为不小于 1 的整数"});
        std::vector<double> series = board.series;
        const bool seriesOk = !series.empty()
            && std::all_of(series.begin(), series.end(), [](double s) { return std::isfinite(s) && s > 0; });
        if (series.empty())
            problems.push_back({Cell::Series, "变压器容量系列为空"});
        else if (!seriesOk)
            problems.push_back({Cell::Series, "变压器容量系列中有不是正数的容量"});

        if (!installed || !sumP || !sumQ || !kp || !kq)
            return out;
        const Num p = numeric::multiply(*kp, sumP);
        const Num q = numeric::multiply(*kq, sumQ);
        const std::optional<Load> load = loadOf(p, q, Phases::Three);
        if (!load) {
            problems.push_back({Cell::Rows, tooLarge});
            return out;
        }
        Totals totals{installed.value(), sumP.value(), sumQ.value(), *kp, *kq, *load, std::nullopt};
        if (load->p > 0) {
            const Num tan = numeric::divide(load->q, load->p);
            if (tan)
                totals.tan = tan.value();
        }
        out.totals = totals;

        if (!cosTarget || !installedOk)
            return out;
        Compensation c;
        c.target = *cosTarget;
        c.installed = installedQc;
        const bool reached = load->cos && *load->cos >= c.target;
        if (totals.tan && !reached) {
            const Num difference = numeric::add(*totals.tan, numeric::multiply(-1.0, tanOf(c.target)));
            const Num required = numeric::multiply(load->p, difference);
            if (required && required.value() > 0)
                c.required = required.value();
        }
        c.used = installedQc.value_or(c.required);
        const std::optional<Load> after = loadOf(load->p, numeric::add(load->q, -c.used), Phases::Three);
        if (!after) {
            problems.push_back({Cell::InstalledQc, tooLarge});
            return out;
        }
        c.load = *after;
        c.leading = after->q < 0;
        out.compensation = c;

        if (!betaMax || !countOk || !seriesOk)
            return out;
        std::sort(series.begin(), series.end());
        TransformerChoice choice;
        choice.count = *typedCount;
        choice.betaMax = *betaMax;
        Num beta = 0.0;
        for (double rating : series) {
            // S′ / n / Sn: n × Sn itself may be beyond the double range.
            beta = numeric::divide(numeric::divide(after->s, *typedCount), rating);
            if (beta && beta.value() <= *betaMax) {
                choice.rating = rating;
                choice.beta = beta.value();
                break;
            }
        }
        if (!choice.rating) {
            choice.note = "容量系列中最大的 " + numeric::formatNumber(series.back()) + " kVA 负荷率"
                + (beta ? "为 " + shown(beta.value(), 2) : std::string("过大")) + "，超过上限 "
                + numeric::formatNumber(*betaMax) + "，没有合适的变压器";
        }
        out.transformer = choice;
        return out;
    }

    const std::vector<Board>& boards_;
    std::unordered_map<std::string_view, std::size_t> byName_;
    std::vector<std::optional<std::vector<std::size_t>>> refs_;
    std::vector<std::optional<BoardResult>> results_;
    std::vector<std::size_t> index_, low_, group_;
    std::vector<bool> onStack_;
    std::size_t counter_ = 0;
    std::size_t groups_ = 0;
    Chain chain_;
};

} // namespace

BoardResult evaluate(const std::vector<Board>& boards, std::size_t board)
{
    if (board >= boards.size()) {
        BoardResult out;
        out.problems.push_back({Cell::Rows, "没有这个配电箱"});
        return out;
    }
    Schedule schedule(boards);
    return std::move(schedule.result(board));
}

std::vector<BoardResult> evaluateAll(const std::vector<Board>& boards)
{
    Schedule schedule(boards);
    std::vector<BoardResult> out;
    out.reserve(boards.size());
    for (std::size_t b = 0; b < boards.size(); ++b)
        schedule.result(b);
    for (std::size_t b = 0; b < boards.size(); ++b)
        out.push_back(std::move(schedule.result(b)));
    return out;
}

} // namespace load
