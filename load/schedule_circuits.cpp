#include "schedule_circuits.h"

#include "schedule_text.h"

#include <algorithm>
#include <cmath>

namespace load {

std::string defaultNumber(std::size_t row) { return "WL" + std::to_string(row + 1); }

namespace {

std::string figure(double value) { return numeric::formatNumber(value); }

// A row's circuit cells as the sizing takes them; problems for those that
// cannot be read.
circuits::CircuitInput readCircuit(const ScheduleRow& row, std::vector<Problem>& problems)
{
    circuits::CircuitInput in;
    const std::string_view cable = trimmed(row.cable);
    const std::optional<circuits::CableKind> kind = circuits::cableByCode(cable.empty() ? defaultCable : cable);
    if (kind)
        in.cable = circuits::cableInfo(*kind).code;
    else
        problems.push_back({Cell::Cable, "线缆须为 BV、VV、YJV 或 YJLV"});
    const std::string_view method = trimmed(row.method);
    if (!method.empty()) {
        if (const std::optional<circuits::Method> m = circuits::methodByCode(method))
            in.method = circuits::methodInfo(*m).code;
        else
            problems.push_back({Cell::Method, "敷设方式须为 A1、B1、C 或 E"});
    }
    if (!isBlank(row.length))
        in.length = readFigure(row.length, Cell::Length, "长度", Range::NotNegative, problems);
    if (!isBlank(row.ambient)) {
        if (const std::optional<double> t = readFigure(row.ambient, Cell::Ambient, "环境温度", Range::Any, problems)) {
            in.ambient = *t;
            if (kind) {
                const circuits::Insulation insulation = circuits::cableInfo(*kind).insulation;
                const double low = circuits::lowestAmbient(insulation), high = circuits::highestAmbient(insulation);
                if (*t < low || *t > high)
                    problems.push_back({Cell::Ambient, "环境温度须在 " + figure(low) + "～" + figure(high) + " ℃ 之间（" +
                                                           (insulation == circuits::Insulation::PVC ? "PVC" : "XLPE") +
                                                           " 绝缘，表B.52.14）"});
            }
        }
    }
    if (!isBlank(row.circuits)) {
        const std::optional<double> n =
            readFigure(row.circuits, Cell::Circuits, "并列回路数", Range::WholeFromOne, problems);
        if (n && *n > 1000)
            problems.push_back({Cell::Circuits, "并列回路数过多"});
        else if (n)
            in.circuits = static_cast<int>(*n);
    }
    if (!isBlank(row.breaker))
        in.breaker = readFigure(row.breaker, Cell::Breaker, "指定In", Range::AboveZero, problems);
    return in;
}

} // namespace

Chain::Chain(const std::vector<Board>& boards, Loads loads, Refs refs)
    : boards_(boards), loads_(std::move(loads)), refs_(std::move(refs)), states_(boards.size())
{
}

Chain::State& Chain::state(std::size_t board) { return states_[board]; }

// The board's own settings for its circuits, read once; their problems join
// the board's.
const circuits::Board* Chain::settings(std::size_t b)
{
    State& s = state(b);
    if (s.settingsRead)
        return s.settings ? &*s.settings : nullptr;
    s.settingsRead = true;
    const Board& board = boards_[b];
    std::vector<Problem>& problems = loads_(b).problems;
    const std::size_t before = problems.size();
    circuits::Board settings;
    settings.breakers = board.breakers;
    if (settings.breakers.empty())
        problems.push_back({Cell::Breakers, "断路器系列为空"});
    else if (!std::all_of(settings.breakers.begin(), settings.breakers.end(),
                          [](double in) { return std::isfinite(in) && in > 0; }))
        problems.push_back({Cell::Breakers, "断路器系列中有不是正数的电流"});
    const auto x = readFigure(board.reactance, Cell::Reactance, "电抗X′", Range::NotNegative, problems);
    const auto limit = readFigure(board.dropLimit, Cell::DropLimit, "电压损失限值", Range::AboveZero, problems);
    const auto t = readFigure(board.withstandTime, Cell::WithstandTime, "短路持续时间t", Range::AboveZero, problems);
    // The supply's cells, read on every board so that a slip is marked where it is typed.
    readFigure(board.networkMva, Cell::NetworkMva, "系统短路容量S″kQ", Range::AboveZero, problems);
    if (const auto uk = readFigure(board.uk, Cell::Uk, "阻抗电压uk", Range::AboveZero, problems); uk && *uk >= 100)
        problems.push_back({Cell::Uk, "阻抗电压uk须小于 100"});
    if (!isBlank(board.loadLoss))
        readFigure(board.loadLoss, Cell::LoadLoss, "负载损耗Pk", Range::NotNegative, problems);
    if (problems.size() != before)
        return nullptr;
    settings.reactance = *x;
    settings.dropLimit = *limit;
    settings.withstandTime = *t;
    s.settings = settings;
    return &*s.settings;
}

std::optional<BoardResult::Feeder> Chain::feederOf(std::size_t b)
{
    if (!fedBy_) {
        fedBy_.emplace(boards_.size());
        for (std::size_t p = 0; p < boards_.size(); ++p) {
            const std::vector<std::size_t>& refs = refs_(p);
            for (std::size_t r = 0; r < refs.size(); ++r)
                if (refs[r] < boards_.size() && refs[r] != p)
                    (*fedBy_)[refs[r]].push_back({p, r});
        }
    }
    // The first row that stands for the board and is counted: a row refused
    // (a loop, a name given twice) feeds nothing.
    for (const BoardResult::Feeder& f : (*fedBy_)[b]) {
        const RowResult& row = loads_(f.board).rows[f.row];
        if (!row.blank && row.problems.empty())
            return f;
    }
    return std::nullopt;
}

const circuits::Origin* Chain::origin(std::size_t b)
{
    State& s = state(b);
    BoardResult& r = loads_(b);
    if (s.origin == State::Origin::Known)
        return r.origin ? &*r.origin : nullptr;
    if (s.origin == State::Origin::Working) // no feeder is ever its own supply; a guard all the same
        return nullptr;
    s.origin = State::Origin::Working;
    const auto done = [&]() -> const circuits::Origin* {
        state(b).origin = State::Origin::Known;
        return r.origin ? &*r.origin : nullptr;
    };

    r.feeder = feederOf(b);
    if (!r.feeder) {
        // At the top of its chain: the board's own transformers.
        const Board& board = boards_[b];
        if (!r.transformer || !r.transformer->rating) {
            r.originNote = "未选出变压器，无法推算母线的短路电流";
            return done();
        }
        std::vector<Problem> supplyProblems;
        circuits::Supply supply;
        const auto mva = readFigure(board.networkMva, Cell::NetworkMva, "", Range::AboveZero, supplyProblems);
        const auto uk = readFigure(board.uk, Cell::Uk, "", Range::AboveZero, supplyProblems);
        std::optional<double> pk;
        if (!isBlank(board.loadLoss))
            pk = readFigure(board.loadLoss, Cell::LoadLoss, "", Range::NotNegative, supplyProblems);
        if (!supplyProblems.empty() || *uk >= 100) {
            r.originNote = "系统或变压器的参数有误，无法推算母线的短路电流";
            return done();
        }
        supply.networkMva = *mva;
        supply.ukPercent = *uk;
        supply.loadLossKw = pk;
        supply.transformerKva = *r.transformer->rating;
        supply.transformers = static_cast<int>(std::min(r.transformer->count, 1000.0));
        const circuits::Result<circuits::SupplyFigures> figures = circuits::supplyOrigin(supply);
        if (!figures) {
            r.originNote = figures.failure();
            return done();
        }
        r.supply = *figures;
        r.origin = figures->origin;
        return done();
    }

    const BoardResult::Feeder f = *r.feeder;
    sizeRow(f.board, f.row);
    const BoardResult& parent = loads_(f.board);
    const RowResult& row = parent.rows[f.row];
    const std::string where = "馈线（配电箱“" + std::string(trimmed(boards_[f.board].name)) + "”第 " +
                              std::to_string(f.row + 1) + " 行）";
    if (!row.circuitProblems.empty())
        r.originNote = where + "的数据有误，无法推算母线";
    else if (!row.circuit)
        r.originNote = where + (row.circuitNote.empty() ? "未能选出电缆" : "：" + row.circuitNote);
    else if (!row.circuit->originKnown)
        r.originNote = "上级" + parent.originNote;
    else if (!row.circuit->length)
        r.originNote = where + "未给长度，无法推算母线";
    else if (const circuits::Result<circuits::Origin> o = circuits::subBoardOrigin(*parent.origin, *row.circuit))
        r.origin = *o;
    else
        r.originNote = where + "：" + o.failure();
    return done();
}

void Chain::sizeRow(std::size_t b, std::size_t i)
{
    State& s = state(b);
    BoardResult& result = loads_(b);
    if (s.rowSized.size() != result.rows.size())
        s.rowSized.assign(result.rows.size(), false);
    if (s.rowSized[i])
        return;
    s.rowSized[i] = true;

    const ScheduleRow& row = boards_[b].rows[i];
    RowResult& r = result.rows[i];
    r.number = isBlank(row.number) ? defaultNumber(i) : std::string(trimmed(row.number));
    if (r.blank)
        return;
    circuits::CircuitInput in = readCircuit(row, r.circuitProblems);
    if (!r.problems.empty() || !r.circuitProblems.empty())
        return;
    const circuits::Board* board = settings(b);
    if (!board) {
        r.circuitNote = "配电箱的回路参数有误，未计算回路";
        return;
    }
    in.phases = r.phases == Phases::Single ? circuits::Phases::Single : circuits::Phases::Three;
    in.ijs = r.load.i;
    in.cos = r.cos.value_or(1);
    const circuits::Origin* busbar = origin(b);
    const circuits::Result<circuits::CircuitFigures> sized =
        busbar ? circuits::sizeCircuit(in, *board, *busbar)
               : circuits::sizeCircuitAlone(in, *board, "母线未知：" + result.originNote);
    if (sized)
        r.circuit = *sized;
    else
        r.circuitNote = sized.failure();
}

void Chain::size(std::size_t b)
{
    State& s = state(b);
    if (s.sized)
        return;
    s.sized = true;
    settings(b);
    origin(b);
    BoardResult& result = loads_(b);
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        sizeRow(b, i);
        if (!result.rows[i].circuitProblems.empty())
            result.circuitsLeftOut.push_back(i);
    }
}

} // namespace load
