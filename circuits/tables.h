#pragma once
// The engineering data behind the sizing of a circuit, each table once, with
// the standard and table it comes from (tables.cpp holds the figures): the
// cable kinds and installation methods offered, the current-carrying
// capacities, the correction factors for ambient temperature and grouping,
// the conductor resistances, the protective conductor rule, the breaker series
// and conventions and the constants of the short-circuit method. Pure
// standard C++.

#include <optional>
#include <string_view>
#include <vector>

namespace circuits {

enum class Conductor { Copper, Aluminium };
enum class Insulation { PVC, XLPE };

// The reference installation methods of GB/T 16895.6-2014 (IEC 60364-5-52:2009) table B.52.1 offered.
enum class Method { A1, B1, C, E };

enum class CableKind { BV, VV, YJV, YJLV };

struct CableInfo {
    CableKind kind;
    const char* code; // "YJV"
    Conductor conductor;
    Insulation insulation;
    double maxTemperature; // θ, the conductor's maximum operating temperature, °C
    Method usualMethod;
    double k; // of k²S² ≥ I²t
};

struct MethodInfo {
    Method method;
    const char* code;        // "B1"
    const char* description; // "穿管明敷或暗敷在墙面"
};

// Every kind and method, in the order they are offered.
const std::vector<CableKind>& cableKinds();
const std::vector<Method>& methods();
const CableInfo& cableInfo(CableKind kind);
const MethodInfo& methodInfo(Method method);
// By code, without the spaces around and whatever the case of its ASCII letters; none when unknown.
std::optional<CableKind> cableByCode(std::string_view code);
std::optional<Method> methodByCode(std::string_view code);

// GB/T 3956-2008 (IEC 60228:2004) nominal cross-sections the tables cover, mm², ascending: 1.5 to 240.
const std::vector<double>& standardSections();
// The smallest section a circuit is given: 2.5 mm² copper, 16 mm² aluminium (not offered below).
double minimumSection(Conductor conductor);
// The smallest standard section not below `section`; none above 240 mm².
std::optional<double> sectionAtLeast(double section);
// "2.5", "35": a section as a designation writes it.
const char* sectionText(double section);

// Iz0 of a section at 30 °C ambient air, one circuit, and where it was read.
struct BaseCapacity {
    double iz0;         // A
    const char* table;  // "GB/T 16895.6-2014 表B.52.5"
    const char* column; // "敷设方式 C" / "敷设方式 E 多芯电缆，三根负载导体"
};
// `loaded` is 2 or 3; none for a section the table has no row of (aluminium below 16 mm²) or another count.
std::optional<BaseCapacity> baseCapacity(Insulation insulation, Conductor conductor, Method method, int loaded,
                                         double section);

// Kt for an ambient air temperature: a temperature between two rows takes the higher row.
struct AmbientFactor {
    double kt;
    double row; // the table row taken, °C
    const char* table;
};
// None outside the table's range of the insulation (see lowestAmbient, highestAmbient).
std::optional<AmbientFactor> ambientFactor(Insulation insulation, double ambient);
double lowestAmbient(Insulation insulation);
double highestAmbient(Insulation insulation);

// Kg for a number of circuits grouped together, by the arrangement the method stands for.
struct GroupingFactor {
    double kg;
    int item;   // of table B.52.17: 1 bunched, 2 single layer on a wall, 4 single layer on a perforated tray
    int column; // the number of circuits of the column taken
    const char* table;
};
// circuits ≥ 1; beyond the last column the last column.
GroupingFactor groupingFactor(Method method, int circuits);

// R20 of a class 2 conductor, Ω/km; none for a section without a row.
std::optional<double> resistance20(Conductor conductor, double section);
// α of R′ = R20 × (1 + α(θ − 20)), 1/K.
double temperatureCoefficient(Conductor conductor);
const char* resistanceTable();

// The protective conductor of a phase section (GB/T 16895.3-2017 table 54.2, IEC 60364-5-54:2011): the phase
// section up to 16 mm², 16 mm² up to 35 mm², above that the smallest standard section not below half of it.
double peSection(double phase);
const char* peTable();

// The breaker ratings a board offers unless its series is edited, A.
std::vector<double> standardBreakerRatings();

// Breaker conventions: up to 63 A a miniature breaker, GB/T 10963.1 (IEC 60898-1), conventional tripping current
// 1.45 In; above, a moulded-case breaker, GB/T 14048.2 (IEC 60947-2), 1.30 In. Instantaneous trip at 10 In.
constexpr double largestMiniatureBreaker = 63;
constexpr double miniatureTrippingFactor = 1.45;
constexpr double mouldedCaseTrippingFactor = 1.30;
constexpr double instantaneousMultiple = 10;
// GB/T 16895.5-2012 (IEC 60364-4-43:2008) 433.1: I2 ≤ 1.45 Iz.
constexpr double overloadFactor = 1.45;

// Voltages of the voltage drop: the line voltage of a three-phase circuit, the phase voltage of a single-phase one, kV.
constexpr double threePhaseVoltage = 0.38;
constexpr double singlePhaseVoltage = 0.22;

// GB/T 15544.1-2013 (IEC 60909-0:2001): the nominal voltage of the low-voltage system, kV; the voltage factor cmax
// of table 1 (systems with a tolerance of +6 %); a network feeder of unknown R/X: XQ = 0.995 ZQ, RQ = 0.1 XQ (6.2.1).
constexpr double nominalVoltage = 0.4;
constexpr double voltageFactor = 1.05;
constexpr double networkReactanceShare = 0.995;
constexpr double networkResistanceRatio = 0.1;
// U0 of a TN-S system, kV; a fault is cut off instantaneously when Id ≥ 1.3 Ii.
constexpr double phaseVoltage = 0.22;
constexpr double instantaneousMargin = 1.3;

// A board's settings unless edited.
constexpr double defaultNetworkMva = 300;    // S″kQ of the supply network
constexpr double defaultUkPercent = 6;       // uk of the transformer
constexpr double defaultReactance = 0.08;    // X′ of a low-voltage cable, Ω/km
constexpr double defaultDropLimit = 5;       // % of the nominal voltage at a circuit's far end
constexpr double defaultWithstandTime = 0.1; // s, of the short-circuit withstand check
constexpr double defaultAmbient = 35;        // °C

} // namespace circuits
