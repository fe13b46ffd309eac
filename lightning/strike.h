#pragma once
// How often lightning is expected to strike a building, and the protection
// class that follows from it. Pure standard C++: numbers in, numbers or
// verdict texts out.

#include "app/numeric/convert.h"

#include <string>

namespace lightning {

enum class City { Xingtai, Shijiazhuang };
enum class Importance {
    Ordinary,  // 一般住宅、办公楼
    Important, // 省部级办公楼
};

// Thunderstorm days per year of the city.
double thunderstormDays(City city);

// Strikes per km² and year: Td^1.3 × 0.024.
numeric::Num strikeDensity(double td);

// Collection area in km² of a building L × W × H metres. Below 100 m the
// rolling sphere of 100 m radius bounds it; from 100 m up the height itself.
bool isLowBuilding(double h); // H < 100
numeric::Num lowBuildingArea(double l, double w, double h);
numeric::Num highBuildingArea(double l, double w, double h);
numeric::Num collectionArea(double l, double w, double h);

// Expected strikes per year with all their digits: Ae × (Ng × k), each first
// passed through its 15-digit text as the window passes them through fields.
numeric::Num strikeProduct(double ae, double ng, double k);

// Expected strikes per year, rounded half up to two decimals. Ae, Ng and k are
// first passed through their 15-digit text, as the window passes them through
// its fields, so that both give the same two decimals.
numeric::Num expectedStrikes(double ae, double ng, double k);

// The verdict text for N (also passed through its text first).
std::string verdict(double n, Importance importance);

} // namespace lightning
