#pragma once
// The cable catalogue behind the six cable rows of the trunking window, and
// the arithmetic of the window: row totals, the running total of cable area
// and the inner section a trunking or pipe must offer. Areas are in mm².

#include "convert.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace trunking {

// The six cable kinds, in the order of the rows on screen.
enum class Cable { VV, BV, SYV, UTP, LGBC, RVS };

struct Entry {
    double size; // the figure the catalogue knows the cable by (mm² for VV, BV, RVS)
    double area; // cross-section of one cable, mm²
};

// The kind's entries, sizes ascending and distinct.
const std::vector<Entry>& catalogue(Cable kind);

// The area of one cable of this size; none when the kind has no entry of
// exactly that size (no tolerance, no range).
std::optional<double> areaOf(Cable kind, double size);

// An area as the engineer reads it in the catalogue: whole areas without a
// decimal point, others with their listed digits.
std::string areaText(double area);

// A row's total: area of one cable × number of cables.
numeric::Num rowTotal(double area, double count);

// The running total after one more addition: total + typed area + the six
// row totals in screen order, summed from left to right.
numeric::Num addToTotal(double total, double typed, const std::array<double, 6>& rows);

// The inner section the trunking or pipe must offer for a total cable area
// at a fill percentage: total ÷ percent × 100. A percentage of 0 fails.
numeric::Num requiredSection(double total, double percent);

} // namespace trunking
