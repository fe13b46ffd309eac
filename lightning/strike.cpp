#include "strike.h"

using namespace numeric;

namespace lightning {

namespace {

// A value as the engineer sees it in a field: 15 significant digits.
double throughText(double value) { return parseStrict(formatNumber(value)).value(); }

constexpr double squareMetresToKm2 = 1e-6;

// What the verdicts say of the building and of its class.
const char* const ordinaryKind = "本建筑为普通建筑，";
const char* const importantKind = "本建筑为较重要建筑，";
const char* const secondClass = "本建筑为二类防雷建筑，网格为10*10m或12*8m，引下线间距不大于18m，滚球半径45m。";
const char* const thirdClass = "本建筑为三类防雷建筑，网格为20*20m或24*16m，引下线间距不大于25m，滚球半径60m。";
const char* const noProtection = "不用设防!";

} // namespace

Limits limits(Importance importance)
{
    return importance == Importance::Important ? Limits{0.06, 0.012} : Limits{0.3, 0.06};
}

double thunderstormDays(City city) { return city == City::Xingtai ? 30.2 : 31.5; }

Num strikeDensity(double td) { return multiply(power(td, strikeDensityExponent), strikeDensityFactor); }

bool isLowBuilding(double h) { return h < rollingSphereRadius; }

// [ L×W + (W+L)×2×√(H×(2R−H)) + (2R−H)×(H×π) ] × 10⁻⁶, added left to right.
Num lowBuildingArea(double l, double w, double h)
{
    const double diameter = 2 * rollingSphereRadius;
    const Num plan = multiply(l, w);
    const Num sides = multiply(multiply(add(w, l), 2.0), squareRoot(multiply(h, add(diameter, -h))));
    const Num corners = multiply(add(diameter, -h), multiply(h, pi));
    return multiply(add(add(plan, sides), corners), squareMetresToKm2);
}

// [ L×W + (W+L)×(2×H) + H²×π ] × 10⁻⁶, added left to right.
Num highBuildingArea(double l, double w, double h)
{
    const Num plan = multiply(l, w);
    const Num sides = multiply(add(w, l), multiply(2.0, h));
    const Num corners = multiply(power(h, 2.0), pi);
    return multiply(add(add(plan, sides), corners), squareMetresToKm2);
}

Num collectionArea(double l, double w, double h)
{
    return isLowBuilding(h) ? lowBuildingArea(l, w, h) : highBuildingArea(l, w, h);
}

Num strikeProduct(double ae, double ng, double k)
{
    const Num p = multiply(throughText(ng), throughText(k));
    return multiply(throughText(ae), p);
}

Num twoDecimals(Num n)
{
    const Num x = add(multiply(n, 100.0), 0.5);
    if (!x)
        return x;
    return floorNumber(x.value()) / 100;
}

Num expectedStrikes(double ae, double ng, double k) { return twoDecimals(strikeProduct(ae, ng, k)); }

// The comparisons are written as the window has always written them, the
// first comma ASCII and the later ones full-width.
std::string verdict(double n, Importance importance)
{
    n = throughText(n);
    const Limits limit = limits(importance);
    const std::string second = formatNumber(limit.second), third = formatNumber(limit.third);
    if (importance == Importance::Important) {
        if (n > limit.second)
            return "N>" + second + "," + importantKind + secondClass;
        if (n > limit.third)
            return third + "<N<=" + second + "," + importantKind + thirdClass;
        return "N<=" + third + "," + importantKind + noProtection;
    }
    if (n > limit.second)
        return "N>" + second + "," + ordinaryKind + secondClass;
    // N at the lower limit itself is third class, as the national standard
    // has it (limits included); giving no verdict would leave the previous
    // building's verdict beside this building's figures.
    if (n >= limit.third)
        return third + "<N<" + second + "," + ordinaryKind + thirdClass;
    return "N<" + third + "," + ordinaryKind + noProtection;
}

} // namespace lightning
