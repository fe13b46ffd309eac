#pragma once
// What the sizing and the supply share: finite figures, figures in sentences,
// the three-phase short-circuit current of an impedance and a busbar that
// cannot be worked from. Inside the circuits library only.

#include "circuit.h"

#include <optional>
#include <string>

namespace circuits::detail {

bool finite(double v);
bool finite(const Impedance& z);
// A figure for a sentence: rounded to `decimals`, without trailing zeros ("5", "5.62", "0.5").
std::string figure(double value, int decimals);
// The same, rounded down: a bound that is "not above" stays true as written.
std::string figureBelow(double value, int decimals);
std::string sectionFigure(double section);
// c × Un / (√3 × |Z|), kA for Z in Ω.
double threePhaseCurrent(const Impedance& z);
extern const char* const tooLarge;
// Why a busbar cannot be worked from, or none.
std::optional<std::string> originProblem(const Origin& origin);

} // namespace circuits::detail
