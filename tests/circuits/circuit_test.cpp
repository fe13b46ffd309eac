#include "circuit.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <tuple>

using namespace circuits;

namespace {

// The top board of the hand cases: 300 MVA network, one 630 kVA transformer, uk 6 %, Pk 7.5 kW.
Origin topBoard()
{
    Supply s;
    s.transformerKva = 630;
    s.loadLossKw = 7.5;
    return supplyOrigin(s)->origin;
}

CircuitInput input(Phases phases, double ijs, double cos, const char* cable, const char* method,
                   std::optional<double> length, double ambient = 35, int circuits = 1)
{
    return {phases, ijs, cos, cable, method, length, ambient, circuits, std::nullopt, std::nullopt};
}

} // namespace

// 45 kW motor, cosφ 0.85, Kx 1: Ijs = 45 / (√3 × 0.38 × 0.85) = 80.44 A → In 100 A, a moulded-case breaker.
// YJV on a tray (E), three loaded: Kt(40 °C, XLPE) 0.91, Kg(item 4, 3 circuits) 0.82.
// 25 mm²: 127 × 0.91 × 0.82 = 94.8 A < 100 A; 35 mm²: 158 × 0.91 × 0.82 = 117.9 A ≥ 100 A, and
// I2 = 1.30 × 100 = 130 A ≤ 1.45 × 117.9 = 171.0 A. PE 16 mm²: YJV-4×35+1×16.
// R′ = 0.524 × (1 + 0.00393 × 70) = 0.6681 Ω/km; sinφ = 0.5268;
// ΔU = √3 × 80.44 × 0.08 × (0.6681 × 0.85 + 0.08 × 0.5268) / 3.8 = 1.79 %.
TEST(CircuitSizing, MotorOnTrayWorkedByHand)
{
    const auto r = sizeCircuit(input(Phases::Three, 80.44, 0.85, "YJV", "E", 80, 40, 3), Board{}, topBoard());
    ASSERT_TRUE(r) << r.failure();
    EXPECT_EQ(r->breaker.in, 100);
    EXPECT_EQ(r->breaker.kind, BreakerKind::MouldedCase);
    EXPECT_NEAR(r->breaker.i2, 130, 1e-9);
    EXPECT_EQ(r->cable.section, 35);
    EXPECT_EQ(r->cable.designation, "YJV-4×35+1×16");
    EXPECT_NEAR(r->cable.capacity.iz, 117.9, 0.005);
    EXPECT_EQ(r->derating.ktRow, 40);
    EXPECT_EQ(r->derating.kgItem, 4);
    EXPECT_EQ(r->derating.kgColumn, 3);
    ASSERT_TRUE(r->cable.smaller);
    EXPECT_NEAR(r->cable.smaller->iz, 94.8, 0.05);
    EXPECT_FALSE(r->cable.smaller->carries);
    ASSERT_TRUE(r->drop);
    EXPECT_NEAR(r->drop->own, 1.79, 0.005);
}

// 2 kW lighting, single-phase, cosφ 0.9: Ijs = 2 / (0.22 × 0.9) = 10.10 A → In 16 A, a miniature breaker.
// BV in conduit (B1), two loaded: Kt(35 °C, PVC) 0.94, one circuit. 1.5 mm² would carry 17.5 × 0.94 = 16.45 A,
// but copper starts at 2.5 mm²: 24 × 0.94 = 22.56 A. BV-3×2.5.
// R′ = 7.41 × (1 + 0.00393 × 50) = 8.866 Ω/km; sinφ = 0.4359;
// ΔU = 2 × 10.10 × 0.04 × (8.866 × 0.9 + 0.08 × 0.4359) / 2.2 = 2.94 %.
TEST(CircuitSizing, LightingInConduitWorkedByHand)
{
    const auto r = sizeCircuit(input(Phases::Single, 10.10, 0.9, "BV", "B1", 40), Board{}, topBoard());
    ASSERT_TRUE(r) << r.failure();
    EXPECT_EQ(r->breaker.in, 16);
    EXPECT_EQ(r->breaker.kind, BreakerKind::Miniature);
    EXPECT_EQ(r->cable.designation, "BV-3×2.5");
    EXPECT_NEAR(r->cable.capacity.iz, 22.56, 1e-9);
    EXPECT_FALSE(r->cable.smaller);
    ASSERT_TRUE(r->drop);
    EXPECT_NEAR(r->drop->own, 2.94, 0.005);
    // Right at the 630 kVA busbar (Ik3 15.35 kA): 115² × 2.5² = 8.3e4 A²s against 15350² × 0.1 = 2.4e7 A²s.
    EXPECT_EQ(r->check, "k²S² < I²t，电缆不能承受短路电流");
}

// The figures of the short circuit worked out again from their equations.
TEST(CircuitSizing, ShortCircuitFiguresFromTheirEquations)
{
    Supply s;
    s.transformerKva = 630;
    s.loadLossKw = 7.5;
    const auto supply = supplyOrigin(s);
    ASSERT_TRUE(supply);
    const double c = 1.05, un = 0.4;
    const double zq = c * un * un / 300, xq = 0.995 * zq, rq = 0.1 * xq;
    const double zt = 0.06 * un * un * 1000 / 630, rt = 7.5 * 1000 * (un * 1000) * (un * 1000) / (630e3 * 630e3);
    const double xt = std::sqrt(zt * zt - rt * rt);
    EXPECT_NEAR(rt, 0.003023, 1e-6); // 3.02 mΩ
    EXPECT_NEAR(supply->zq, zq, 1e-12);
    EXPECT_NEAR(supply->rq, rq, 1e-12);
    EXPECT_NEAR(supply->zt, zt, 1e-12);
    EXPECT_NEAR(supply->rt, rt, 1e-12);
    EXPECT_NEAR(supply->xt, xt, 1e-12);
    const double busbar = c * un / (std::sqrt(3.0) * std::hypot(rq + rt, xq + xt));
    EXPECT_NEAR(supply->origin.ik3, busbar, 1e-9);
    EXPECT_NEAR(busbar, 15.35, 0.01);

    const auto r = sizeCircuit(input(Phases::Three, 80.44, 0.85, "YJV", "E", 80, 40, 3), Board{}, supply->origin);
    ASSERT_TRUE(r);
    const double r20 = *resistance20(Conductor::Copper, 35), r20pe = *resistance20(Conductor::Copper, 16);
    const double far = c * un / (std::sqrt(3.0) * std::hypot(rq + rt + r20 * 0.08, xq + xt + 0.08 * 0.08));
    EXPECT_NEAR(r->farEnd->ik3, far, 1e-9);
    const double hot = 1 + 0.00393 * (90 - 20);
    const double id = 0.22 / std::hypot(rt + (r20 + r20pe) * hot * 0.08, xt + 2 * 0.08 * 0.08);
    EXPECT_NEAR(r->earthFault->id, id, 1e-9);
    EXPECT_NEAR(r->earthFault->required, 1.3 * 1000 / 1000, 1e-12);
    EXPECT_NEAR(r->withstand->i2t, busbar * busbar * 1e6 * 0.1, 1e-3);
    EXPECT_NEAR(r->withstand->k2s2, 143.0 * 143 * 35 * 35, 1e-6);

    s.loadLossKw.reset();
    const auto neglected = supplyOrigin(s);
    ASSERT_TRUE(neglected);
    EXPECT_TRUE(neglected->rtNeglected);
    EXPECT_FALSE(neglected->note.empty());
    EXPECT_EQ(neglected->rt, 0);
    EXPECT_NEAR(neglected->xt, zt, 1e-12);
}

struct Column {
    Insulation insulation;
    Conductor conductor;
    Method method;
    int loaded;
};

class EveryColumn : public testing::TestWithParam<Column> {};

TEST_P(EveryColumn, CapacityGrowsWithTheSectionFromTheSmallestOffered)
{
    const Column c = GetParam();
    double last = 0;
    for (double s : standardSections()) {
        SCOPED_TRACE(std::string(sectionText(s)) + " mm²");
        const auto base = baseCapacity(c.insulation, c.conductor, c.method, c.loaded, s);
        const bool offered = c.conductor == Conductor::Copper || s >= 16;
        ASSERT_EQ(base.has_value(), offered);
        EXPECT_EQ(resistance20(c.conductor, s).has_value(), offered);
        if (!base)
            continue;
        EXPECT_GT(base->iz0, last);
        last = base->iz0;
    }
}

std::vector<Column> everyColumn()
{
    std::vector<Column> all;
    for (Insulation i : {Insulation::PVC, Insulation::XLPE})
        for (Conductor c : {Conductor::Copper, Conductor::Aluminium})
            for (Method m : methods())
                for (int loaded : {2, 3})
                    all.push_back({i, c, m, loaded});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Tables, EveryColumn, testing::ValuesIn(everyColumn()), [](const auto& info) {
    const Column& c = info.param;
    return std::string(c.insulation == Insulation::PVC ? "PVC" : "XLPE") +
           (c.conductor == Conductor::Copper ? "_Cu_" : "_Al_") + methodInfo(c.method).code + "_" +
           std::to_string(c.loaded) + "loaded";
});

using Kind = std::tuple<CableKind, Method, Phases>;
class EveryKind : public testing::TestWithParam<Kind> {};

// Over a sweep of currents, groupings and temperatures: the section chosen passes both conditions and the next
// smaller one fails one of them.
TEST_P(EveryKind, ChosenSectionIsTheSmallestThatPasses)
{
    const auto [kind, method, phases] = GetParam();
    const char* code = cableInfo(kind).code;
    for (double ijs = 1; ijs < 800; ijs *= 1.37)
        for (int circuits : {1, 4, 10, 25})
            for (double ambient : {10.0, 33.0, 55.0}) {
                SCOPED_TRACE(testing::Message() << ijs << " A, " << circuits << " circuits, " << ambient << " °C");
                const auto r = sizeCircuit(
                    input(phases, ijs, 0.8, code, methodInfo(method).code, 50, ambient, circuits), Board{}, topBoard());
                if (!r) {
                    EXPECT_FALSE(r.failure().empty());
                    continue;
                }
                EXPECT_TRUE(r->cable.capacity.passes());
                EXPECT_GE(r->cable.section, minimumSection(cableInfo(kind).conductor));
                if (r->cable.smaller) {
                    EXPECT_FALSE(r->cable.smaller->passes());
                }
            }
}

// A larger section lowers the voltage drop and raises the earth-fault current.
TEST_P(EveryKind, LargerSectionLowersDropRaisesFaultCurrent)
{
    const auto [kind, method, phases] = GetParam();
    CircuitInput in = input(phases, 5, 0.85, cableInfo(kind).code, methodInfo(method).code, 120);
    double lastDrop = std::numeric_limits<double>::max(), lastId = 0;
    for (double s : standardSections()) {
        if (s < minimumSection(cableInfo(kind).conductor))
            continue;
        SCOPED_TRACE(std::string(sectionText(s)) + " mm²");
        in.atLeast = s;
        const auto r = sizeCircuit(in, Board{}, topBoard());
        ASSERT_TRUE(r) << r.failure();
        ASSERT_EQ(r->cable.section, s);
        EXPECT_LT(r->drop->own, lastDrop);
        EXPECT_GT(r->earthFault->id, lastId);
        lastDrop = r->drop->own;
        lastId = r->earthFault->id;
    }
}

std::vector<Kind> everyKind()
{
    std::vector<Kind> all;
    for (CableKind k : cableKinds())
        for (Method m : methods())
            for (Phases p : {Phases::Three, Phases::Single})
                all.emplace_back(k, m, p);
    return all;
}

INSTANTIATE_TEST_SUITE_P(Circuits, EveryKind, testing::ValuesIn(everyKind()), [](const auto& info) {
    return std::string(cableInfo(std::get<0>(info.param)).code) + "_" + methodInfo(std::get<1>(info.param)).code +
           (std::get<2>(info.param) == Phases::Three ? "_three" : "_single");
});

TEST(Tables, ProtectiveConductorRule)
{
    const std::vector<double>& all = standardSections();
    for (double s : all) {
        SCOPED_TRACE(std::string(sectionText(s)) + " mm²");
        const double pe = peSection(s);
        if (s <= 16) {
            EXPECT_EQ(pe, s);
        } else if (s <= 35) {
            EXPECT_EQ(pe, 16);
        } else {
            EXPECT_GE(pe, s / 2);
            const auto it = std::find(all.begin(), all.end(), pe);
            ASSERT_NE(it, all.end());
            EXPECT_LT(*(it - 1), s / 2);
        }
    }
}

// Kt follows √((θ − Ta) / (θ − 30)), rounded, and a temperature between rows takes the higher row.
TEST(Tables, AmbientFactorFollowsTheHeatBalance)
{
    for (Insulation ins : {Insulation::PVC, Insulation::XLPE}) {
        const double theta = ins == Insulation::PVC ? 70 : 90;
        for (double ta = lowestAmbient(ins); ta <= highestAmbient(ins); ta += 5) {
            SCOPED_TRACE(testing::Message() << theta << " °C insulation, " << ta << " °C");
            const auto kt = ambientFactor(ins, ta);
            ASSERT_TRUE(kt);
            EXPECT_EQ(kt->row, ta);
            EXPECT_NEAR(kt->kt, std::sqrt((theta - ta) / (theta - 30)), 0.006);
            if (ta < highestAmbient(ins)) {
                EXPECT_EQ(ambientFactor(ins, ta + 0.5)->row, ta + 5);
            }
        }
        EXPECT_FALSE(ambientFactor(ins, lowestAmbient(ins) - 0.1));
        EXPECT_FALSE(ambientFactor(ins, highestAmbient(ins) + 0.1));
    }
}

TEST(Tables, GroupingTakesTheColumnAtOrAbove)
{
    EXPECT_EQ(groupingFactor(Method::B1, 10).column, 12);
    EXPECT_EQ(groupingFactor(Method::A1, 13).column, 16);
    EXPECT_EQ(groupingFactor(Method::B1, 30).column, 20);
    EXPECT_EQ(groupingFactor(Method::C, 12).column, 9);
    EXPECT_EQ(groupingFactor(Method::E, 40).column, 9);
    EXPECT_EQ(groupingFactor(Method::E, 40).kg, groupingFactor(Method::E, 9).kg);
    EXPECT_LT(groupingFactor(Method::A1, 20).kg, groupingFactor(Method::A1, 16).kg);
    EXPECT_EQ(methodByCode(" b1 "), Method::B1);
    EXPECT_EQ(cableByCode("yjlv"), CableKind::YJLV);
}

// Top board → feeder → sub-board → circuit: the drops add up and Ik3 falls at every step.
TEST(CircuitSizing, ChainAddsDropsAndLowersShortCircuitCurrent)
{
    const Origin top = topBoard();
    const auto feeder = sizeCircuit(input(Phases::Three, 150, 0.85, "YJV", "E", 60), Board{}, top);
    ASSERT_TRUE(feeder);
    const auto sub = subBoardOrigin(top, *feeder);
    ASSERT_TRUE(sub) << sub.failure();
    const auto end = sizeCircuit(input(Phases::Single, 12, 0.9, "BV", "B1", 30), Board{}, *sub);
    ASSERT_TRUE(end);
    EXPECT_NEAR(end->drop->end, feeder->drop->own + end->drop->own, 1e-12);
    EXPECT_NEAR(sub->drop, feeder->drop->end, 1e-12);
    EXPECT_GT(top.ik3, sub->ik3);
    EXPECT_NEAR(sub->ik3, feeder->farEnd->ik3, 1e-12);
    EXPECT_GT(sub->ik3, end->farEnd->ik3);
    EXPECT_EQ(sub->parts.size(), top.parts.size() + 1);
    EXPECT_NEAR(end->withstand->current, sub->ik3 * 1000, 1e-9);
}

TEST(CircuitSizing, FindingsNameWhatWouldPass)
{
    // 180 A over 30 m of YJV-4×50+1×25 at the 630 kVA busbar: ΔU 1.14 %, Id 4.42 kA ≥ 2.34 kA, 5.1e7 ≥ 2.4e7 A²s.
    const auto good = sizeCircuit(input(Phases::Three, 180, 0.85, "YJV", "E", 30), Board{}, topBoard());
    ASSERT_TRUE(good);
    EXPECT_EQ(good->cable.designation, "YJV-4×50+1×25");
    EXPECT_EQ(good->check, "合格");

    // 45 A over 300 m of YJV: the drop is far over 5 %; the section offered keeps it within, the one below not.
    CircuitInput in = input(Phases::Three, 45, 0.85, "YJV", "E", 300);
    const auto r = sizeCircuit(in, Board{}, topBoard());
    ASSERT_TRUE(r && r->drop && r->drop->sectionWithin);
    EXPECT_FALSE(r->drop->within);
    EXPECT_NE(r->check.find("末端ΔU"), std::string::npos);
    in.atLeast = *r->drop->sectionWithin;
    EXPECT_TRUE(sizeCircuit(in, Board{}, topBoard())->drop->within);
    ASSERT_TRUE(r->earthFault);
    if (!r->earthFault->trips) {
        EXPECT_NEAR(r->earthFault->largestIi * 1.3, r->earthFault->id * 1000, 1e-6);
        if (r->earthFault->sectionTrips) {
            in.atLeast = *r->earthFault->sectionTrips;
            EXPECT_TRUE(sizeCircuit(in, Board{}, topBoard())->earthFault->trips);
        }
    }

    CircuitInput typed = input(Phases::Single, 12.3, 0.9, "BV", "", 10);
    typed.breaker = 10;
    EXPECT_NE(sizeCircuit(typed, Board{}, topBoard())->check.find("指定In 10 A 小于 Ijs 12.3 A"), std::string::npos);

    const auto bare = sizeCircuit(input(Phases::Three, 30, 0.85, "VV", "", std::nullopt), Board{}, topBoard());
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->drop || bare->farEnd || bare->earthFault);
    EXPECT_NE(bare->check.find("未给长度"), std::string::npos);
    EXPECT_FALSE(subBoardOrigin(topBoard(), *bare));

    // A big transformer right at a small cable: 2.5 mm² cannot take its busbar's Ik3 for 0.1 s.
    Supply big;
    big.transformerKva = 2500;
    const auto weak = sizeCircuit(input(Phases::Three, 10, 0.85, "BV", "", 5), Board{}, supplyOrigin(big)->origin);
    ASSERT_TRUE(weak);
    EXPECT_FALSE(weak->withstand->withstands);
    EXPECT_NE(weak->check.find("k²S² < I²t"), std::string::npos);
}

TEST(CircuitSizing, EveryFailureIsASentence)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        CircuitInput in;
    };
    CircuitInput typedTooLarge = input(Phases::Three, 100, 0.85, "BV", "", 10);
    typedTooLarge.breaker = 800;
    CircuitInput tinyAtLeast = input(Phases::Three, 10, 0.85, "YJV", "E", 10);
    tinyAtLeast.atLeast = 300;
    const Case cases[] = {
        {"unknown cable", input(Phases::Three, 10, 0.85, "XYZ", "", 10)},
        {"unknown method", input(Phases::Three, 10, 0.85, "YJV", "D", 10)},
        {"negative length", input(Phases::Three, 10, 0.85, "YJV", "E", -1)},
        {"PVC too hot", input(Phases::Three, 10, 0.85, "BV", "", 10, 65)},
        {"XLPE too hot", input(Phases::Three, 10, 0.85, "YJV", "", 10, 85)},
        {"too cold", input(Phases::Three, 10, 0.85, "YJV", "", 10, 5)},
        {"no circuits", input(Phases::Three, 10, 0.85, "YJV", "", 10, 35, 0)},
        {"above the largest breaker", input(Phases::Three, 1300, 0.85, "YJV", "", 10)},
        {"above the largest section", input(Phases::Three, 600, 0.85, "BV", "C", 10)},
        {"typed In above the largest section", typedTooLarge},
        {"section asked above 240", tinyAtLeast},
        {"cos 0", input(Phases::Three, 10, 0, "YJV", "", 10)},
        {"cos above 1", input(Phases::Three, 10, 1.2, "YJV", "", 10)},
        {"NaN current", input(Phases::Three, nan, 0.85, "YJV", "", 10)},
        {"negative current", input(Phases::Three, -1, 0.85, "YJV", "", 10)},
        {"infinite length", input(Phases::Three, 10, 0.85, "YJV", "", inf)},
        {"NaN ambient", input(Phases::Three, 10, 0.85, "YJV", "", 10, nan)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = sizeCircuit(c.in, Board{}, topBoard());
        EXPECT_FALSE(r);
        EXPECT_FALSE(r.failure().empty());
    }
    EXPECT_FALSE(sizeCircuit(input(Phases::Three, 10, 0.85, "YJV", "", 10), Board{}, Origin{}));
    Supply s;
    for (double kva : {0.0, -1.0, nan, inf}) {
        s.transformerKva = kva;
        EXPECT_FALSE(supplyOrigin(s));
    }
    s.transformerKva = 630;
    s.loadLossKw = 1e6; // RT above ZT
    EXPECT_FALSE(supplyOrigin(s));
}

// Whatever the numbers, a result has finite figures only, or a sentence.
TEST(CircuitSizing, ExtremeInputsGiveFiniteFiguresOrASentence)
{
    std::mt19937 rng(3);
    const double extremes[] = {0, 1e-300, 1e-9, 0.5, 1, 63, 1e3, 1e9, 1e300, -1e-300};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(extremes) - 1);
    for (int round = 0; round < 3000; ++round) {
        Supply s;
        s.networkMva = extremes[pick(rng)];
        s.transformerKva = extremes[pick(rng)];
        s.loadLossKw = extremes[pick(rng)];
        const auto supply = supplyOrigin(s);
        if (!supply) {
            EXPECT_FALSE(supply.failure().empty());
            continue;
        }
        Board board;
        board.reactance = extremes[pick(rng)];
        CircuitInput in = input(round % 2 ? Phases::Three : Phases::Single, extremes[pick(rng)],
                                std::min(1.0, std::abs(extremes[pick(rng)])), cableInfo(cableKinds()[round % 4]).code,
                                "", extremes[pick(rng)], 10 + round % 50, 1 + round % 30);
        const auto r = sizeCircuit(in, board, supply->origin);
        if (!r) {
            EXPECT_FALSE(r.failure().empty());
            continue;
        }
        const double figures[] = {r->cable.capacity.iz,
                                  r->originIk3,
                                  r->withstand->i2t,
                                  r->withstand->k2s2,
                                  r->drop ? r->drop->end : 0,
                                  r->farEnd ? r->farEnd->ik3 : 0,
                                  r->earthFault ? r->earthFault->id + r->earthFault->largestIi : 0};
        for (double v : figures)
            EXPECT_TRUE(std::isfinite(v)) << round;
    }
}
