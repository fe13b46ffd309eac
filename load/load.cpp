#include "load.h"

using namespace numeric;

namespace load {

Num reactivePower(double p, double c)
{
    const Num r = add(1.0, multiply(-1.0, power(c, 2.0)));
    const Num s = power(r, 0.5);
    return divide(multiply(p, s), c); // multiplied first, divided last
}

Num apparentPower(double p, double c) { return divide(p, c); }

Num current(double s) { return divide(s, 0.659); }

} // namespace load
