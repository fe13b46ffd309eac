#include "unit_power.h"

#include <limits>
#include <span>

using namespace numeric;

namespace lighting {

namespace {

struct Band {
    double lower; // excluded
    double upper; // included
    const char* text;
};

constexpr double beyond = std::numeric_limits<double>::infinity();

// The same values and limits as the reference text the window shows.
constexpr Band low[] = {
    {10, 15, "10.4"}, {15, 25, "8.9"}, {25, 50, "7.7"}, {50, 150, "6.8"}, {150, 300, "6.3"}, {300, beyond, "5.9"},
};
constexpr Band high[] = {
    {10, 15, "15"},   {15, 20, "12.4"}, {20, 30, "10.6"},      {30, 50, "9"},
    {50, 120, "7.7"}, {120, 300, "6.8"}, {300, beyond, "6.3"},
};

const Band* find(std::span<const Band> column, double area)
{
    for (const Band& b : column)
        if (b.lower < area && area <= b.upper)
            return &b;
    return nullptr;
}

const Band* band(double heightCode, double area)
{
    if (heightCode == 23)
        return find(low, area);
    if (heightCode == 46)
        return find(high, area);
    return nullptr;
}

} // namespace

bool hasColumn(double heightCode) { return heightCode == 23 || heightCode == 46; }

std::optional<std::string> unitPower(double heightCode, double area)
{
    if (const Band* b = band(heightCode, area))
        return std::string(b->text);
    return std::nullopt;
}

std::optional<TableRow> tableRow(double heightCode, double area)
{
    const Band* b = band(heightCode, area);
    if (!b)
        return std::nullopt;
    return TableRow{b->lower, b->upper == beyond ? std::nullopt : std::optional<double>(b->upper), b->text};
}

std::string columnName(double heightCode)
{
    if (heightCode == 23)
        return "h=2~3 m";
    if (heightCode == 46)
        return "h=4~6 m";
    return {};
}

std::string rowName(double heightCode, const TableRow& row)
{
    const std::string band = row.upper ? formatNumber(row.lower) + " < A ≤ " + formatNumber(*row.upper) + " m²"
                                       : "A > " + formatNumber(row.lower) + " m²";
    return columnName(heightCode) + " 一列，" + band + " 一档";
}

double illuminanceFactor(int lux) { return lux / 100.0; }

Num lightingPower(double unitPower, double area, int lux)
{
    return multiply(unitPower, multiply(area, illuminanceFactor(lux)));
}

Num lampCount(double power, int watts) { return divide(power, watts); }

Num airConditioningLoad(double loadPerArea, double area) { return multiply(loadPerArea, area); }

} // namespace lighting
