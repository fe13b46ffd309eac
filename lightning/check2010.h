#pragma once
// The same building checked against the 2010 edition of the lightning code,
// which the window's verdicts predate: the strike density follows from the
// thunderstorm days alone, and the two protection classes have other limits.
// The collection area is the same for a single building. Pure standard C++.

#include "convert.h"
#include "strike.h"

namespace lightning {

enum class Class2010 {
    Second,
    Third,
    Neither, // N alone puts the building in neither class
};

// Strikes per km² and year: factor × Td.
inline constexpr double strikeDensityFactor2010 = 0.1;
numeric::Num strikeDensity2010(double td);

// The 2010 limits, limits included: N > second is the second class, third ≤
// N ≤ second the third; below third neither.
Limits limits2010(Importance importance);

// The class for N as it is, not its rounding: a limit is a limit of the
// value itself.
Class2010 class2010(double n, Importance importance);

struct Check2010 {
    numeric::Num ng = 0;
    numeric::Num ae = 0;
    numeric::Num n = 0; // k × Ng × Ae with all its digits
    Class2010 protection = Class2010::Neither; // meaningful only when n holds a number
};

// From the same L, W, H, Td, k and importance as the window's own calculation.
Check2010 check2010(double l, double w, double h, double td, double k, Importance importance);

} // namespace lightning
