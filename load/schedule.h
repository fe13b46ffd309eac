#pragma once
// The load schedule (负荷计算表) by the demand-factor method: each 用电设备组 of a
// board gives Pjs = Kx × Pe, Qjs = Pjs × tanφ; the board sums them under its
// 同时系数 KΣp, KΣq, is compensated to a target cosφ₂ and sized a transformer.
// A row may stand for another board of the schedule, by that board's name:
// it is that board's feeder. Every row is an outgoing circuit, sized as it is
// typed (circuit.h): its breaker and cable, its voltage drop along the chain of
// feeders from the transformer, the short-circuit and earth-fault currents at
// its far end. The rows keep the texts the engineer typed; evaluation reads
// them, and every figure it gives is finite. Pure standard C++.

#include "circuit.h"
#include "convert.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace load {

// The transformer ratings offered unless the engineer edits the list, kVA.
std::vector<double> standardRatings();

// One 用电设备组, or another board when `board` names one.
struct ScheduleRow {
    std::string name;
    std::string pe;     // 设备容量 Pe, kW
    std::string kx;     // 需要系数 Kx
    std::string cos;    // 功率因数 cosφ
    std::string phases; // 三相 / 单相 (also 3, 1, 三, 单, 3P, 1P); blank: three-phase
    std::string board;  // not blank: the row stands for the board of this name; pe, kx and cos are not read
    // The row as a circuit; blank is the default in brackets.
    std::string number{};   // 回路编号 [WL and the row's number]
    std::string cable{};    // 线缆 BV, VV, YJV, YJLV [YJV]
    std::string method{};   // 敷设方式 A1, B1, C, E [B1 for BV, E for the others]
    std::string length{};   // 长度, m [none: sized by current alone]
    std::string ambient{};  // 环境温度, °C [35]
    std::string circuits{}; // 并列回路数 [1]
    std::string breaker{};  // 指定In, A [chosen from the board's series]

    bool operator==(const ScheduleRow&) const = default;
};

// The cable a row without one is given.
constexpr const char* defaultCable = "YJV";
// 回路编号 of the row of index `row` when none is typed.
std::string defaultNumber(std::size_t row);

struct Board {
    std::string name;
    std::vector<ScheduleRow> rows;
    std::string kp = "0.9";        // 有功同时系数 KΣp
    std::string kq = "0.95";       // 无功同时系数 KΣq
    std::string cosTarget = "0.90"; // 补偿后的目标 cosφ₂
    std::string installedQc;       // 实装补偿容量, kvar; blank: the required one
    std::string betaMax = "0.85";  // 变压器负荷率上限
    std::string transformers = "1"; // 台数 n
    std::vector<double> series = standardRatings(); // kVA, any order
    // For the circuits the board feeds: its breakers, the cables' reactance,
    // the limit of 末端ΔU, the short-circuit withstand time; and, for a board
    // at the top of its chain, the supply network and the transformers'
    // impedance voltage and load loss.
    std::vector<double> breakers = circuits::standardBreakerRatings(); // A, any order
    std::string reactance = numeric::formatNumber(circuits::defaultReactance);          // X′, Ω/km
    std::string dropLimit = numeric::formatNumber(circuits::defaultDropLimit);          // %
    std::string networkMva = numeric::formatNumber(circuits::defaultNetworkMva);        // S″kQ, MVA
    std::string uk = numeric::formatNumber(circuits::defaultUkPercent);                 // uk, %
    std::string loadLoss;                                                               // Pk, kW; blank: RT neglected
    std::string withstandTime = numeric::formatNumber(circuits::defaultWithstandTime); // t, s

    bool operator==(const Board&) const = default;

    // A board of that name with no rows and every factor as it starts.
    static Board named(std::string name)
    {
        Board b;
        b.name = std::move(name);
        return b;
    }
};

// The cell a problem is about: a row's cells, then the board's own.
enum class Cell {
    Name, Pe, Kx, Cos, Phases, Board,
    Number, Cable, Method, Length, Ambient, Circuits, Breaker,
    Rows, // the rows as a whole: their sums
    Kp, Kq, CosTarget, InstalledQc, BetaMax, Transformers, Series,
    Breakers, Reactance, DropLimit, NetworkMva, Uk, LoadLoss, WithstandTime,
};

struct Problem {
    Cell cell;
    std::string reason; // a sentence for the window, e.g. "需要系数须在 0 与 1 之间"

    bool operator==(const Problem&) const = default;
};

enum class Phases { Three, Single };

// Active, reactive and apparent power of a load and its current.
struct Load {
    double p = 0; // kW
    double q = 0; // kvar
    double s = 0; // kVA
    std::optional<double> cos; // P / S; none when S is 0
    double i = 0; // A: S / (√3 × 0.38 kV) three-phase, S / 0.22 kV single-phase
};

struct RowResult {
    bool blank = false;            // nothing typed: neither counted nor a problem
    std::vector<Problem> problems; // not empty: the row is left out of the totals
    Phases phases = Phases::Three;
    // As read; for a board row Pe is that board's ΣPe, Kx is none and cosφ, tanφ follow from its P and Q.
    std::optional<double> pe, kx, cos, tan;
    Load load;                     // Pjs, Qjs, Sjs, Ijs when the row has no problem

    // The row as a circuit. Its cells that cannot be read leave it out of the
    // circuits' results (not of the load totals).
    std::string number; // 回路编号 as shown: typed, or the default
    std::vector<Problem> circuitProblems;
    std::optional<circuits::CircuitFigures> circuit;
    std::string circuitNote; // why a row with sound cells has no circuit (a sentence)
};

struct Totals {
    double installed = 0; // ΣPe of the rows counted, kW
    double sumP = 0;      // ΣPjs,i
    double sumQ = 0;      // ΣQjs,i
    double kp = 0, kq = 0;
    Load load;                 // Pjs = KΣp × ΣPjs,i, Qjs = KΣq × ΣQjs,i
    std::optional<double> tan; // tanφ₁; none when Pjs is 0
};

struct Compensation {
    double target = 0;    // cosφ₂
    double required = 0;  // Qc = Pjs × (tanφ₁ − tanφ₂); 0 when the board already reaches cosφ₂
    std::optional<double> installed; // as the engineer gave it
    double used = 0;      // the installed Qc, or else the required one
    Load load;            // Q′ = Qjs − Qc, S′, cosφ′, I′
    bool leading = false; // more installed than the board's Qjs: Q′ is negative
};

struct TransformerChoice {
    double count = 1;   // n
    double betaMax = 0; // the limit on β
    std::optional<double> rating; // Sn, kVA: the smallest of the series with β not above the limit
    std::optional<double> beta;   // β = S′ / (n × Sn)
    std::string note;   // why none fits, when none does
};

struct BoardResult {
    std::vector<RowResult> rows;       // one per row of the board
    std::vector<std::size_t> excluded; // indexes of the rows left out for a problem, ascending
    std::vector<Problem> problems;     // of the board's own cells; each stops the stages after it
    std::optional<Totals> totals;      // none when KΣp or KΣq cannot be read
    std::optional<Compensation> compensation;
    std::optional<TransformerChoice> transformer;

    // Where the board's circuits start. A board no other board takes in is at
    // the top of its chain, fed by its own transformers; any other is fed by
    // the first row of another board that stands for it.
    struct Feeder {
        std::size_t board = 0, row = 0;
    };
    std::optional<Feeder> feeder;
    std::optional<circuits::SupplyFigures> supply; // at the top of a chain
    std::optional<circuits::Origin> origin;        // the busbar
    std::string originNote;                        // why the busbar is not known
    std::vector<std::size_t> circuitsLeftOut;      // rows with a circuit cell that cannot be read, ascending
};

// The board `board` of the schedule, with every board it takes in as a row.
BoardResult evaluate(const std::vector<Board>& boards, std::size_t board);
// Every board of the schedule, each sub-board evaluated once.
std::vector<BoardResult> evaluateAll(const std::vector<Board>& boards);

} // namespace load
