#pragma once
// A room's unit lighting power from the reference table, its lighting power,
// its number of lamp tubes and its air-conditioning load.

#include "convert.h"

#include <optional>
#include <string>

namespace lighting {

// Whether the height code has a column in the table: 23 (rooms 2 to 3 m
// high) or 46 (4 to 6 m), exactly; a real height such as 2.5 has none.
bool hasColumn(double heightCode);

// Unit power in W/m² for 100 lx, as the text the unit power field shows
// ("15" and "9" without a decimal point). A band holds lower < area ≤ upper;
// no value for an area of 10 m² or less or a code without a column.
std::optional<std::string> unitPower(double heightCode, double area);

// The row of the table that a height code and an area fall in (lower < area
// ≤ upper; the last row of a column has no upper limit) and its unit power;
// none where unitPower() gives none.
struct TableRow {
    double lower;
    std::optional<double> upper;
    std::string unitPower;
};
std::optional<TableRow> tableRow(double heightCode, double area);

// The column a height code stands for, as the reference text heads it:
// "h=2~3 m", "h=4~6 m", or empty for a code without a column.
std::string columnName(double heightCode);
// Where the unit power was found: "h=2~3 m 一列，15 < A ≤ 25 m² 一档".
std::string rowName(double heightCode, const TableRow& row);

// The factor by which the 100 lx unit power is scaled: the illuminance in lx
// divided by 100 (0.75 for the 75 lx option, like every other option).
double illuminanceFactor(int lux);

// P in W = U × (A × f): the area is scaled by the illuminance first.
numeric::Num lightingPower(double unitPower, double area, int lux);

// The plain quotient of the lighting power and the tube wattage; not rounded
// to whole tubes.
numeric::Num lampCount(double power, int watts);

// Air-conditioning load in kW from the load per m² (kW/m²) and the area.
numeric::Num airConditioningLoad(double loadPerArea, double area);

} // namespace lighting
