#pragma once
// How often lightning is expected to strike a building, and the protection
// class that follows from it. Pure standard C++: numbers in, numbers or
// verdict texts out.

#include "convert.h"

#include <string>

namespace lightning {

enum class City { Xingtai, Shijiazhuang };
enum class Importance {
    Ordinary,  // 一般住宅、办公楼
    Important, // 省部级办公楼
};

// The figures of the formulas, each stated here once: the calculation uses
// them and the sheet writes them into the formulas it states.

// π as the collection area is worked out by hand.
inline constexpr double pi = 3.1416;
// The radius in metres of the rolling sphere that bounds the collection area
// of a building lower than it; from that height up the height itself does.
inline constexpr double rollingSphereRadius = 100;
// Strikes per km² and year: Td^exponent × factor.
inline constexpr double strikeDensityFactor = 0.024;
inline constexpr double strikeDensityExponent = 1.3;

// The limits of N at which the protection class changes, for one kind of
// building: above `second` the second class, from or above `third` the third.
struct Limits {
    double second;
    double third;
};
// The window's limits, which its verdicts state.
Limits limits(Importance importance);

// Thunderstorm days per year of the city.
double thunderstormDays(City city);

numeric::Num strikeDensity(double td);

// Collection area in km² of a building L × W × H metres, by the formula its
// height calls for.
bool isLowBuilding(double h); // H < rollingSphereRadius
numeric::Num lowBuildingArea(double l, double w, double h);
numeric::Num highBuildingArea(double l, double w, double h);
numeric::Num collectionArea(double l, double w, double h);

// Expected strikes per year with all their digits: Ae × (Ng × k), each first
// passed through its 15-digit text as the window passes them through fields.
numeric::Num strikeProduct(double ae, double ng, double k);

// N as the window shows it: rounded half up to two decimals.
numeric::Num twoDecimals(numeric::Num n);

// Expected strikes per year, rounded half up to two decimals. Ae, Ng and k are
// first passed through their 15-digit text, as the window passes them through
// its fields, so that both give the same two decimals.
numeric::Num expectedStrikes(double ae, double ng, double k);

// The verdict text for N (also passed through its text first).
std::string verdict(double n, Importance importance);

} // namespace lightning
