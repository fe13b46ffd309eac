#include "circuit.h"

#include "figures.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace circuits {

using namespace detail;

namespace {

const double sqrt3 = std::sqrt(3.0);

// Longer than any circuit of a building; beyond it the products of the sheet could overflow.
constexpr double longestCircuit = 1e6; // m

// Comparisons of figures that are equal on paper but computed in another order.
constexpr double slack = 1e-9;
bool atLeast(double a, double b) { return a >= b * (1 - slack); }

std::string designation(const CableInfo& cable, Phases phases, double section, double pe)
{
    std::string d = std::string(cable.code) + "-";
    const bool three = phases == Phases::Three;
    if (pe == section)
        return d + (three ? "5×" : "3×") + sectionText(section);
    return d + (three ? "4×" : "2×") + sectionText(section) + "+1×" + sectionText(pe);
}

Resistance resistanceOf(const CableInfo& cable, double section)
{
    Resistance r;
    r.section = section;
    r.r20 = resistance20(cable.conductor, section).value_or(0);
    r.alpha = temperatureCoefficient(cable.conductor);
    r.theta = cable.maxTemperature;
    r.r = r.r20 * (1 + r.alpha * (r.theta - 20));
    return r;
}

// Everything a circuit's sizing works with once its inputs are read.
struct Work {
    const CircuitInput& input;
    const Board& board;
    const Origin& origin;
    const CableInfo& cable;
    Method method;
    int loaded;
    double sin;
    Derating derating;
    BreakerFigures breaker;

    Capacity capacity(double section) const
    {
        Capacity c;
        c.section = section;
        const std::optional<BaseCapacity> base =
            baseCapacity(cable.insulation, cable.conductor, method, loaded, section);
        if (!base)
            return c;
        c.iz0 = base->iz0;
        c.table = base->table;
        c.column = base->column;
        c.iz = c.iz0 * derating.kt * derating.kg;
        c.carries = atLeast(c.iz, breaker.in);
        c.overloadLimit = overloadFactor * c.iz;
        c.overload = atLeast(c.overloadLimit, breaker.i2);
        return c;
    }

    VoltageDrop drop(double section, double lengthM) const
    {
        VoltageDrop d;
        d.lengthKm = lengthM / 1000;
        d.phase = resistanceOf(cable, section);
        d.x = board.reactance;
        d.cos = input.cos;
        d.sin = sin;
        const double perKm = d.phase.r * d.cos + d.x * d.sin;
        d.own = input.phases == Phases::Three ? sqrt3 * input.ijs * d.lengthKm * perKm / (10 * threePhaseVoltage)
                                              : 2 * input.ijs * d.lengthKm * perKm / (10 * singlePhaseVoltage);
        d.origin = origin.drop;
        d.end = d.origin + d.own;
        d.limit = board.dropLimit;
        d.within = d.end <= d.limit * (1 + slack);
        return d;
    }

    EarthFault earthFault(double section, double lengthM) const
    {
        EarthFault f;
        const double km = lengthM / 1000;
        f.phase = resistanceOf(cable, section);
        f.pe = resistanceOf(cable, peSection(section));
        f.cable = {(f.phase.r + f.pe.r) * km, 2 * board.reactance * km};
        f.origin = origin.loop;
        f.total = f.origin + f.cable;
        f.zs = f.total.magnitude();
        f.id = f.u0 / f.zs;
        f.required = instantaneousMargin * breaker.ii / 1000;
        f.trips = atLeast(f.id, f.required);
        f.largestIi = f.id * 1000 / instantaneousMargin;
        return f;
    }
};

bool allFinite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return finite(v); });
}

bool allFinite(const Capacity& c) { return allFinite({c.section, c.iz0, c.iz, c.overloadLimit}); }
bool allFinite(const Resistance& r) { return allFinite({r.section, r.r20, r.alpha, r.theta, r.r}); }

bool allFinite(const CircuitFigures& f)
{
    if (!allFinite({f.ijs,
                    f.cos,
                    f.sin,
                    f.originIk3,
                    f.breaker.in,
                    f.breaker.i2Factor,
                    f.breaker.i2,
                    f.breaker.iiMultiple,
                    f.breaker.ii,
                    f.derating.kt,
                    f.derating.ktRow,
                    f.derating.kg,
                    f.cable.section,
                    f.cable.pe}))
        return false;
    if (f.withstand && !allFinite({f.withstand->k, f.withstand->section, f.withstand->k2s2, f.withstand->current,
                                   f.withstand->time, f.withstand->i2t}))
        return false;
    if (!allFinite(f.cable.capacity) || (f.cable.smaller && !allFinite(*f.cable.smaller)))
        return false;
    if (f.length && !finite(*f.length))
        return false;
    if (f.drop && (!allFinite(f.drop->phase) || !allFinite({f.drop->lengthKm, f.drop->x, f.drop->cos, f.drop->sin,
                                                            f.drop->own, f.drop->origin, f.drop->end, f.drop->limit})))
        return false;
    if (f.farEnd && (!finite(f.farEnd->cable) || !finite(f.farEnd->total) || !allFinite({f.farEnd->z, f.farEnd->ik3})))
        return false;
    if (f.earthFault) {
        const EarthFault& e = *f.earthFault;
        if (!allFinite(e.phase) || !allFinite(e.pe) || !finite(e.cable) || !finite(e.origin) || !finite(e.total) ||
            !allFinite({e.zs, e.u0, e.id, e.required, e.largestIi}))
            return false;
    }
    return true;
}

std::optional<std::string> boardProblem(const Board& board)
{
    if (board.breakers.empty())
        return "断路器额定电流系列为空";
    for (double in : board.breakers)
        if (!(finite(in) && in > 0))
            return "断路器额定电流系列中有不大于 0 或不是有限的数";
    if (!finite(board.reactance) || board.reactance < 0)
        return "电缆电抗 X′ 须为不小于 0 的有限数";
    if (!finite(board.dropLimit) || board.dropLimit <= 0)
        return "电压损失限值须为大于 0 的有限数";
    if (!finite(board.withstandTime) || board.withstandTime <= 0)
        return "短路持续时间 t 须为大于 0 的有限数";
    return std::nullopt;
}

} // namespace

namespace {

// `origin` none: the busbar is not known, for `why`.
Result<CircuitFigures> size(const CircuitInput& input, const Board& board, const Origin* known, const std::string& why)
{
    using R = Result<CircuitFigures>;
    if (const auto problem = boardProblem(board))
        return R::fail(*problem);
    if (known)
        if (const auto problem = originProblem(*known))
            return R::fail(*problem);
    static const Origin unknown;
    const Origin& origin = known ? *known : unknown;
    if (!finite(input.ijs))
        return R::fail("计算电流 Ijs 不是有限的数");
    if (input.ijs < 0)
        return R::fail("计算电流 Ijs 不能为负");
    if (!finite(input.cos) || input.cos <= 0 || input.cos > 1)
        return R::fail("功率因数 cosφ 须大于 0 且不大于 1");
    const std::optional<CableKind> kind = cableByCode(input.cable);
    if (!kind)
        return R::fail("未知的电缆型号“" + input.cable + "”：可选 BV、VV、YJV、YJLV");
    const CableInfo& cable = cableInfo(*kind);
    const bool blankMethod = input.method.find_first_not_of(" \t\r\n") == std::string::npos;
    const std::optional<Method> method = blankMethod ? cable.usualMethod : methodByCode(input.method);
    if (!method)
        return R::fail("未知的敷设方式“" + input.method + "”：可选 A1、B1、C、E");
    if (input.length) {
        if (!finite(*input.length))
            return R::fail("长度不是有限的数");
        if (*input.length < 0)
            return R::fail("长度不能为负");
        if (*input.length > longestCircuit)
            return R::fail("长度超出可计算的范围");
    }
    if (!finite(input.ambient))
        return R::fail("环境温度不是有限的数");
    const std::optional<AmbientFactor> kt = ambientFactor(cable.insulation, input.ambient);
    if (!kt)
        return R::fail("环境温度 " + figure(input.ambient, 1) + " °C 超出表B.52.14 " +
                       (cable.insulation == Insulation::PVC ? "PVC" : "XLPE") + " 绝缘的范围 " +
                       figure(lowestAmbient(cable.insulation), 0) + "～" + figure(highestAmbient(cable.insulation), 0) +
                       " °C");
    if (input.circuits < 1)
        return R::fail("并列敷设的回路数须不少于 1");
    if (input.breaker && (!finite(*input.breaker) || *input.breaker <= 0))
        return R::fail("指定的断路器额定电流 In 须为大于 0 的有限数");
    if (input.atLeast && (!finite(*input.atLeast) || *input.atLeast <= 0))
        return R::fail("指定的最小截面须为大于 0 的有限数");
    if (input.atLeast && !sectionAtLeast(*input.atLeast))
        return R::fail("指定的最小截面 " + figure(*input.atLeast, 1) + " mm² 大于最大截面 " +
                       sectionFigure(standardSections().back()));

    const GroupingFactor kg = groupingFactor(*method, input.circuits);
    Work w{input,
           board,
           origin,
           cable,
           *method,
           input.phases == Phases::Three ? 3 : 2,
           std::sqrt(std::max(0.0, 1 - input.cos * input.cos)),
           {},
           {}};
    w.derating = {kt->kt, kt->row, kt->table, kg.kg, kg.item, kg.column, kg.table};

    BreakerFigures& b = w.breaker;
    if (input.breaker) {
        b.in = *input.breaker;
        b.typed = true;
        b.belowIjs = b.in < input.ijs;
    } else {
        std::vector<double> series = board.breakers;
        std::sort(series.begin(), series.end());
        const auto it = std::find_if(series.begin(), series.end(), [&](double in) { return in >= input.ijs; });
        if (it == series.end())
            return R::fail("计算电流 Ijs " + figure(input.ijs, 1) + " A 超过断路器系列的最大额定电流 " +
                           figure(series.back(), 1) + " A");
        b.in = *it;
    }
    const bool miniature = b.in <= largestMiniatureBreaker;
    b.kind = miniature ? BreakerKind::Miniature : BreakerKind::MouldedCase;
    b.i2Factor = miniature ? miniatureTrippingFactor : mouldedCaseTrippingFactor;
    b.i2 = b.i2Factor * b.in;
    b.iiMultiple = instantaneousMultiple;
    b.ii = b.iiMultiple * b.in;

    // The sections offered for the conductor, smallest first.
    std::vector<double> sections;
    for (double s : standardSections())
        if (s >= minimumSection(cable.conductor))
            sections.push_back(s);
    const double smallestAsked = input.atLeast ? std::max(*input.atLeast, sections.front()) : sections.front();

    CircuitFigures f;
    f.phases = input.phases;
    f.ijs = input.ijs;
    f.cos = input.cos;
    f.sin = w.sin;
    f.length = input.length;
    f.ambient = input.ambient;
    f.circuits = input.circuits;
    f.breaker = b;
    f.derating = w.derating;
    CableChoice& choice = f.cable;
    choice.kind = cable.kind;
    choice.method = *method;
    choice.loaded = w.loaded;

    std::optional<std::size_t> byCurrent, chosen;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Capacity c = w.capacity(sections[i]);
        if (!byCurrent && c.passes())
            byCurrent = i;
        if (c.passes() && sections[i] >= smallestAsked) {
            chosen = i;
            break;
        }
    }
    if (!chosen) {
        const Capacity largest = w.capacity(sections.back());
        return R::fail("最大截面 " + sectionFigure(largest.section) + " 的 Iz 仅 " + figure(largest.iz, 1) +
                       " A，不能满足 In " + figure(b.in, 1) + " A");
    }
    choice.section = sections[*chosen];
    choice.pe = peSection(choice.section);
    choice.designation = designation(cable, input.phases, choice.section, choice.pe);
    choice.capacity = w.capacity(choice.section);
    if (*chosen > 0)
        choice.smaller = w.capacity(sections[*chosen - 1]);
    choice.raisedByAtLeast = byCurrent && *byCurrent < *chosen;

    f.originKnown = known != nullptr;
    if (known) {
        f.originIk3 = threePhaseCurrent(origin.shortCircuit);
        Withstand& ws = f.withstand.emplace();
        ws.k = cable.k;
        ws.section = choice.section;
        ws.k2s2 = ws.k * ws.k * ws.section * ws.section;
        ws.current = f.originIk3 * 1000;
        ws.time = board.withstandTime;
        ws.i2t = ws.current * ws.current * ws.time;
        ws.withstands = atLeast(ws.k2s2, ws.i2t);
    }

    if (b.belowIjs)
        f.findings.push_back("指定In " + figure(b.in, 1) + " A 小于 Ijs " + figure(input.ijs, 1) + " A");
    if (!known)
        f.findings.push_back(why + "，未校验末端ΔU、短路电流、接地故障及热稳定");
    if (!input.length) {
        f.findings.push_back("未给长度，仅按载流量选择，未校验电压损失、末端短路及接地故障");
    } else if (!known) {
        f.drop = w.drop(choice.section, *input.length);
        f.drop->originKnown = false;
        f.drop->origin = 0;
        f.drop->end = f.drop->own;
        f.drop->within = true;
    } else {
        const double length = *input.length;
        f.drop = w.drop(choice.section, length);
        if (!f.drop->within) {
            for (std::size_t i = *chosen + 1; i < sections.size() && !f.drop->sectionWithin; ++i)
                if (w.drop(sections[i], length).within)
                    f.drop->sectionWithin = sections[i];
            std::string s = "末端ΔU " + figure(f.drop->end, 2) + "% 超过限值 " + figure(f.drop->limit, 2) + "%，";
            s += f.drop->sectionWithin ? "截面不小于 " + sectionFigure(*f.drop->sectionWithin) + " 时满足"
                                       : "截面增至 " + sectionFigure(sections.back()) + " 仍不满足";
            f.findings.push_back(s);
        }

        FarEndShortCircuit& fe = f.farEnd.emplace();
        const Resistance r = resistanceOf(cable, choice.section);
        fe.cable = {r.r20 * length / 1000, board.reactance * length / 1000};
        fe.total = origin.shortCircuit + fe.cable;
        fe.z = fe.total.magnitude();
        fe.ik3 = threePhaseCurrent(fe.total);

        f.earthFault = w.earthFault(choice.section, length);
        EarthFault& e = *f.earthFault;
        if (!e.trips) {
            for (std::size_t i = *chosen + 1; i < sections.size() && !e.sectionTrips; ++i)
                if (w.earthFault(sections[i], length).trips)
                    e.sectionTrips = sections[i];
            std::string s = "Id " + figure(e.id, 2) + " kA < 1.3Ii " + figure(e.required, 2) +
                            " kA，末端接地故障时断路器不能瞬时切断：";
            if (e.sectionTrips)
                s += "截面不小于 " + sectionFigure(*e.sectionTrips) + "，或";
            s += "瞬时脱扣电流不大于 " + figureBelow(e.largestIi, 1) + " A";
            f.findings.push_back(s);
        }
    }
    if (f.withstand && !f.withstand->withstands)
        f.findings.push_back("k²S² < I²t，电缆不能承受短路电流");

    if (!allFinite(f))
        return R::fail(tooLarge);
    if (f.findings.empty()) {
        f.check = "合格";
    } else {
        for (std::size_t i = 0; i < f.findings.size(); ++i)
            f.check += (i ? "；" : "") + f.findings[i];
    }
    return f;
}

} // namespace

Result<CircuitFigures> sizeCircuit(const CircuitInput& input, const Board& board, const Origin& origin)
{
    return size(input, board, &origin, {});
}

Result<CircuitFigures> sizeCircuitAlone(const CircuitInput& input, const Board& board, const std::string& why)
{
    return size(input, board, nullptr, why);
}

} // namespace circuits
