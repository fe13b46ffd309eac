#include "strike.h"

using namespace numeric;

namespace lightning {

namespace {

// A value as the engineer sees it in a field: 15 significant digits.
double throughText(double value) { return parseStrict(formatNumber(value)).value(); }

constexpr double pi = 3.1416; // π as the collection area is worked out by hand
constexpr double squareMetresToKm2 = 1e-6;

// The verdicts shown to the engineer: the first comma is ASCII, the later ones
// full-width.
const char* const ordinarySecond =
    "N>0.3,本建筑为普通建筑，本建筑为二类防雷建筑，网格为10*10m或12*8m，引下线间距不大于18m，滚球半径45m。";
const char* const ordinaryThird =
    "0.06<N<0.3,本建筑为普通建筑，本建筑为三类防雷建筑，网格为20*20m或24*16m，引下线间距不大于25m，滚球半径60m。";
const char* const ordinaryNone = "N<0.06,本建筑为普通建筑，不用设防!";
const char* const importantSecond =
    "N>0.06,本建筑为较重要建筑，本建筑为二类防雷建筑，网格为10*10m或12*8m，引下线间距不大于18m，滚球半径45m。";
const char* const importantThird =
    "0.012<N<=0.06,本建筑为较重要建筑，本建筑为三类防雷建筑，网格为20*20m或24*16m，引下线间距不大于25m，滚球半径60m。";
const char* const importantNone = "N<=0.012,本建筑为较重要建筑，不用设防!";

} // namespace

double thunderstormDays(City city) { return city == City::Xingtai ? 30.2 : 31.5; }

Num strikeDensity(double td) { return multiply(power(td, 1.3), 0.024); }

bool isLowBuilding(double h) { return h < 100; }

// [ L×W + (W+L)×2×√(H×(200−H)) + (200−H)×(H×π) ] × 10⁻⁶, added left to right.
Num lowBuildingArea(double l, double w, double h)
{
    const Num plan = multiply(l, w);
    const Num sides = multiply(multiply(add(w, l), 2.0), squareRoot(multiply(h, add(200.0, -h))));
    const Num corners = multiply(add(200.0, -h), multiply(h, pi));
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

Num expectedStrikes(double ae, double ng, double k)
{
    const Num x = add(multiply(strikeProduct(ae, ng, k), 100.0), 0.5);
    if (!x)
        return x;
    return floorNumber(x.value()) / 100;
}

std::string verdict(double n, Importance importance)
{
    n = throughText(n);
    if (importance == Importance::Important) {
        if (n > 0.06)
            return importantSecond;
        if (n > 0.012)
            return importantThird;
        return importantNone;
    }
    if (n > 0.3)
        return ordinarySecond;
    // N = 0.06 itself is third class, as the national standard has it for
    // 0.06 <= N <= 0.3; giving no verdict would leave the previous building's
    // verdict beside this building's figures.
    if (n >= 0.06)
        return ordinaryThird;
    return ordinaryNone;
}

} // namespace lightning
