#pragma once
// Reactive power, apparent power and current of a load.

#include "convert.h"

namespace load {

// Q in kvar from P in kW and the power factor c: P × (1 − c²)^0.5 / c.
numeric::Num reactivePower(double p, double c);
// S in kVA: P / c.
numeric::Num apparentPower(double p, double c);
// I in A from S in kVA at 380 V three-phase: S / 0.659.
numeric::Num current(double s);

} // namespace load
