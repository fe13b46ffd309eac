#pragma once
// The load schedule (负荷计算表) by the demand-factor method: each 用电设备组 of a
// board gives Pjs = Kx × Pe, Qjs = Pjs × tanφ; the board sums them under its
// 同时系数 KΣp, KΣq, is compensated to a target cosφ₂ and sized a transformer.
// A row may stand for another board of the schedule, by that board's name.
// The rows keep the texts the engineer typed; evaluation reads them, and every
// figure it gives is finite. Pure standard C++.

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

    bool operator==(const ScheduleRow&) const = default;
};

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
    Rows, // the rows as a whole: their sums
    Kp, Kq, CosTarget, InstalledQc, BetaMax, Transformers, Series,
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
};

// The board `board` of the schedule, with every board it takes in as a row.
BoardResult evaluate(const std::vector<Board>& boards, std::size_t board);
// Every board of the schedule, each sub-board evaluated once.
std::vector<BoardResult> evaluateAll(const std::vector<Board>& boards);

} // namespace load
