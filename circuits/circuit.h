#pragma once
// Sizing one outgoing circuit of a low-voltage board (0.38 kV three-phase,
// 0.22 kV single-phase, TN-S): its breaker, its cable by current-carrying
// capacity, its voltage drop, the short-circuit current at its far end by the
// impedance method of GB/T 15544.1 (IEC 60909-0), the earth-fault current at
// its far end and the cable's short-circuit withstand. Numbers and codes in;
// every figure a calculation sheet states comes back with the result, or a
// short sentence saying why there is none. Every figure is finite.
// Pure standard C++.

#include "tables.h"

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace circuits {

// A value, or the sentence saying why there is none.
template <class T> class Result {
public:
    Result(T value) : value_(std::move(value)) {} // NOLINT: a value is a result
    static Result fail(std::string why)
    {
        Result r;
        r.failure_ = std::move(why);
        return r;
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *value_; }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    const std::string& failure() const { return failure_; } // empty when there is a value

private:
    Result() = default;
    std::optional<T> value_;
    std::string failure_;
};

enum class Phases {
    Three,  // three loaded conductors at 0.38 kV
    Single, // two loaded conductors at 0.22 kV
};

// R + jX, Ω.
struct Impedance {
    double r = 0;
    double x = 0;

    double magnitude() const { return std::hypot(r, x); }
    Impedance operator+(const Impedance& o) const { return {r + o.r, x + o.x}; }
};

// One element of the path from the supply to a board's busbar.
struct PathPart {
    std::string name; // "系统", "变压器", "YJV-4×35+1×16，80 m"
    Impedance phase;  // in the three-phase short-circuit path: a cable at R20 and X′
    Impedance loop;   // in the phase–PE loop: a cable's phase and PE at R′, 2X′; the network is not in it
};

// A board's busbar: what every circuit it feeds starts from.
struct Origin {
    std::vector<PathPart> parts; // from the supply down
    Impedance shortCircuit;      // Σ phase: ZQ + ZT + every feeder above
    Impedance loop;              // Σ loop: ZT + every feeder's loop above
    double ik3 = 0;              // kA, c × Un / (√3 × |Z|) of shortCircuit
    double drop = 0;             // ΔU % at the busbar: the sum along the feeders from the transformer
};

// The supply of the top board: the network and the board's transformers.
struct Supply {
    double networkMva = defaultNetworkMva; // S″kQ
    double transformerKva = 0;             // SrT, the board's chosen rating
    double ukPercent = defaultUkPercent;
    std::optional<double> loadLossKw; // Pk; none: RT is neglected
    int transformers = 1;             // n in parallel
};

struct SupplyFigures {
    Supply given; // what the figures are made from
    double c = voltageFactor;
    double un = nominalVoltage; // kV
    // ZQ = c × Un² / S″kQ, XQ = 0.995 ZQ, RQ = 0.1 XQ, Ω.
    double zq = 0, xq = 0, rq = 0;
    // One transformer: ZT = uk/100 × Un² / SrT, RT = Pk × Un² / SrT², XT = √(ZT² − RT²), Ω.
    double zt = 0, rt = 0, xt = 0;
    bool rtNeglected = false; // no Pk was given: RT = 0
    std::string note;         // says so for the sheet: "未给负载损耗 Pk，忽略变压器电阻 RT"; else empty
    int transformers = 1;
    Impedance transformer; // (RT + jXT) / n
    Origin origin;         // the top board's busbar: network and transformers, ΔU 0
};

// The top board's busbar from its supply.
Result<SupplyFigures> supplyOrigin(const Supply& supply);

// A board's own settings for the circuits it feeds.
struct Board {
    std::vector<double> breakers = standardBreakerRatings(); // A, any order
    double reactance = defaultReactance;                     // X′, Ω/km
    double dropLimit = defaultDropLimit;                     // %, of 末端ΔU
    double withstandTime = defaultWithstandTime;             // t of I²t, s
};

struct CircuitInput {
    Phases phases = Phases::Three;
    double ijs = 0;                  // A
    double cos = 1;                  // 0 < cosφ ≤ 1
    std::string cable;               // "YJV"; see cableByCode
    std::string method;              // "E"; blank: the cable's usual method
    std::optional<double> length;    // m; none: sized by current alone
    double ambient = defaultAmbient; // °C
    int circuits = 1;                // grouped together, this one included
    std::optional<double> breaker;   // a typed In, A, instead of the one chosen from the series
    std::optional<double> atLeast;   // a section, mm², the cable is not to be smaller than
};

enum class BreakerKind { Miniature, MouldedCase };

struct BreakerFigures {
    double in = 0;
    bool typed = false;    // In as typed rather than chosen from the series
    bool belowIjs = false; // a typed In below Ijs
    BreakerKind kind = BreakerKind::Miniature;
    double i2Factor = 0, i2 = 0;   // conventional tripping current I2 = factor × In
    double iiMultiple = 0, ii = 0; // instantaneous trip Ii = multiple × In
};

struct Derating {
    double kt = 0;
    double ktRow = 0; // the row of table B.52.14 taken, °C
    const char* ktTable = "";
    double kg = 0;
    int kgItem = 0;   // of table B.52.17
    int kgColumn = 0; // the number of circuits of the column taken
    const char* kgTable = "";
};

// One section as installed, against the breaker.
struct Capacity {
    double section = 0;
    double iz0 = 0;
    const char* table = "";
    const char* column = "";
    double iz = 0;            // Iz0 × Kt × Kg
    bool carries = false;     // In ≤ Iz
    double overloadLimit = 0; // 1.45 Iz
    bool overload = false;    // I2 ≤ 1.45 Iz
    bool passes() const { return carries && overload; }
};

struct CableChoice {
    CableKind kind = CableKind::BV;
    Method method = Method::B1;
    int loaded = 3;
    double section = 0;
    double pe = 0;           // by table 54.2
    std::string designation; // "YJV-4×35+1×16", "BV-3×2.5"
    Capacity capacity;       // of the section chosen
    // The next smaller section from the conductor's smallest on: what it would give. None when the section
    // chosen is the smallest allowed.
    std::optional<Capacity> smaller;
    bool raisedByAtLeast = false; // larger than current alone asks, for the section the caller asked for
};

// R′ = R20 × (1 + α(θ − 20)), Ω/km.
struct Resistance {
    double section = 0;
    double r20 = 0;
    double alpha = 0;
    double theta = 0;
    double r = 0;
};

struct VoltageDrop {
    bool originKnown = true; // else only `own` holds: the busbar's ΔU is not known, nor 末端ΔU
    double lengthKm = 0;
    Resistance phase;
    double x = 0; // X′, Ω/km
    double cos = 0, sin = 0;
    // Three-phase √3 × Ijs × L × (R′cosφ + X′sinφ) / (10 × 0.38), single-phase 2 × … / (10 × 0.22), %.
    double own = 0;
    double origin = 0; // at the board's busbar
    double end = 0;    // 末端ΔU = origin + own
    double limit = 0;
    bool within = false;
    // When over the limit: the smallest section of this kind that would keep 末端ΔU within it, if any.
    std::optional<double> sectionWithin;
};

struct FarEndShortCircuit {
    Impedance cable; // R20 × L, X′ × L of the phase conductor
    Impedance total; // origin + cable
    double z = 0;    // |Z|, Ω
    double ik3 = 0;  // kA
};

struct EarthFault {
    Resistance phase, pe;
    Impedance cable;  // (R′phase + R′pe) × L, 2X′ × L
    Impedance origin; // the loop at the board's busbar: ZT and every feeder above
    Impedance total;
    double zs = 0; // |Zs|, Ω
    double u0 = phaseVoltage;
    double id = 0;       // kA, U0 / |Zs|
    double required = 0; // 1.3 Ii, kA
    bool trips = false;  // Id ≥ 1.3 Ii
    // When it does not trip: the smallest section (PE by its rule) with which it would, if any, and the largest
    // instantaneous setting with which it would, Id / 1.3, A.
    std::optional<double> sectionTrips;
    double largestIi = 0;
};

struct Withstand {
    double k = 0;
    double section = 0;
    double k2s2 = 0;    // A²s
    double current = 0; // Ik3 at the board's busbar, A
    double time = 0;    // s
    double i2t = 0;     // A²s
    bool withstands = false;
};

struct CircuitFigures {
    Phases phases = Phases::Three;
    double ijs = 0;
    double cos = 0, sin = 0;
    std::optional<double> length; // m
    double ambient = defaultAmbient; // °C, as given
    int circuits = 1;                // grouped together, as given
    BreakerFigures breaker;
    Derating derating;
    CableChoice cable;
    bool originKnown = true; // the board's busbar could be worked out
    double originIk3 = 0;    // kA at the board's busbar
    // None without a length; the short-circuit figures none without the busbar either.
    std::optional<VoltageDrop> drop;
    std::optional<FarEndShortCircuit> farEnd;
    std::optional<EarthFault> earthFault;
    std::optional<Withstand> withstand;
    // The sentences of the 校验 cell, each a finding; none when everything passes.
    std::vector<std::string> findings;
    std::string check; // the findings joined by "；", or "合格"
    bool passes() const { return findings.empty(); }
};

// Sizes a circuit fed from the busbar `origin` of `board`.
Result<CircuitFigures> sizeCircuit(const CircuitInput& input, const Board& board, const Origin& origin);
// The same where the busbar is not known (`why`, a sentence): the breaker, the
// cable and its own ΔU only.
Result<CircuitFigures> sizeCircuitAlone(const CircuitInput& input, const Board& board, const std::string& why);

// The busbar of a sub-board fed by `feeder`, sized from `parent`: the feeder's cable added to the path, its ΔU to
// the parent's. A feeder without a length has none.
Result<Origin> subBoardOrigin(const Origin& parent, const CircuitFigures& feeder);

} // namespace circuits
