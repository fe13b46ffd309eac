#include "check2010.h"

using namespace numeric;

namespace lightning {

Num strikeDensity2010(double td) { return multiply(strikeDensityFactor2010, td); }

Limits limits2010(Importance importance)
{
    return importance == Importance::Important ? Limits{0.05, 0.01} : Limits{0.25, 0.05};
}

Class2010 class2010(double n, Importance importance)
{
    const Limits limit = limits2010(importance);
    if (n > limit.second)
        return Class2010::Second;
    if (n >= limit.third)
        return Class2010::Third;
    return Class2010::Neither;
}

Check2010 check2010(double l, double w, double h, double td, double k, Importance importance)
{
    Check2010 c;
    c.ng = strikeDensity2010(td);
    c.ae = collectionArea(l, w, h);
    if (!c.ng) {
        c.n = c.ng;
        return c;
    }
    if (!c.ae) {
        c.n = c.ae;
        return c;
    }
    c.n = strikeProduct(c.ae.value(), c.ng.value(), k);
    if (c.n)
        c.protection = class2010(c.n.value(), importance);
    return c;
}

} // namespace lightning
