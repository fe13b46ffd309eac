#include "unit_power.h"

#include <gtest/gtest.h>
#include <cfloat>
#include <optional>
#include <string>

using namespace lighting;

namespace {

struct Lookup {
    double code;
    double area;
    std::optional<std::string> text;
};

const Lookup lookups[] = {
    // A limit belongs to the band below it; just above it starts the next.
    {23, 10.01, "10.4"}, {23, 15, "10.4"}, {23, 15.01, "8.9"}, {23, 25, "8.9"},   {23, 25.01, "7.7"},
    {23, 50, "7.7"},     {23, 50.01, "6.8"}, {23, 150, "6.8"}, {23, 150.01, "6.3"}, {23, 300, "6.3"},
    {23, 300.01, "5.9"}, {23, 1e300, "5.9"},
    {46, 10.01, "15"},   {46, 12, "15"},     {46, 15, "15"},   {46, 15.01, "12.4"}, {46, 20, "12.4"},
    {46, 20.01, "10.6"}, {46, 30, "10.6"},   {46, 30.01, "9"}, {46, 40, "9"},       {46, 50, "9"},
    {46, 50.01, "7.7"},  {46, 120, "7.7"},   {46, 120.01, "6.8"}, {46, 300, "6.8"}, {46, 300.01, "6.3"},
    // The two columns split at different areas.
    {23, 18, "8.9"}, {46, 18, "12.4"}, {23, 28, "7.7"}, {46, 28, "10.6"}, {23, 130, "6.8"}, {46, 130, "6.8"},
    // Nothing at 10 m² or less.
    {23, 10, std::nullopt}, {46, 10, std::nullopt}, {23, 0, std::nullopt}, {46, 0, std::nullopt},
    {23, 5, std::nullopt},  {46, 9.99, std::nullopt}, {23, -20, std::nullopt}, {46, -400, std::nullopt},
    // Only the codes 23 and 46 have a column, whatever the area.
    {2, 20, std::nullopt},  {3, 20, std::nullopt},  {4, 20, std::nullopt},  {6, 20, std::nullopt},
    {23.5, 20, std::nullopt}, {24, 20, std::nullopt}, {0, 20, std::nullopt}, {2.5, 20, std::nullopt},
    {5, 400, std::nullopt}, {22.999999, 20, std::nullopt}, {46.000001, 20, std::nullopt}, {-23, 20, std::nullopt},
};

TEST(UnitPower, LooksUpTheBandOfTheHeightColumn)
{
    for (const Lookup& c : lookups) {
        EXPECT_EQ(unitPower(c.code, c.area), c.text) << "code " << c.code << ", area " << c.area;
        EXPECT_EQ(hasColumn(c.code), c.code == 23 || c.code == 46) << c.code;
    }
}

TEST(UnitPower, WholeValuesAreWrittenWithoutDecimalPoint)
{
    EXPECT_EQ(unitPower(46, 12).value(), "15");
    EXPECT_EQ(unitPower(46, 40).value(), "9");
}

struct Power {
    double unit, area;
    int lux;
    double watts;
};

const Power powers[] = {
    {8.9, 20, 300, 534}, {12.4, 18, 50, 111.6}, {8.9, 20, 100, 178},  {10.4, 12, 150, 187.2},
    {7.7, 40, 200, 616}, {6.8, 100, 500, 3400},  {6.3, 200, 750, 9450}, {5.9, 400, 1000, 23600},
    {8.9, 20, 75, 133.5}, {0, 20, 300, 0},
};

TEST(LightingPower, ScalesTheAreaByTheIlluminanceFirst)
{
    for (const Power& c : powers) {
        SCOPED_TRACE(::testing::Message() << "U " << c.unit << ", A " << c.area << ", " << c.lux << " lx");
        const numeric::Num p = lightingPower(c.unit, c.area, c.lux);
        EXPECT_TRUE(p.ok());
        // The window writes 15 significant digits, so compare as the engineer reads it.
        EXPECT_EQ(numeric::formatNumber(p.value()), numeric::formatNumber(c.watts));
        // The product A × f is formed before U multiplies it.
        EXPECT_EQ(p.value(), c.unit * (c.area * (c.lux / 100.0)));
    }
}

TEST(LightingPower, FactorIsTheIlluminanceOverHundred)
{
    const std::pair<int, double> factors[] = {{50, 0.5}, {75, 0.75}, {100, 1},  {150, 1.5}, {200, 2},
                                              {300, 3},  {500, 5},   {750, 7.5}, {1000, 10}};
    for (const auto& [lux, f] : factors)
        EXPECT_EQ(illuminanceFactor(lux), f) << lux;
}

TEST(LightingPower, OverflowFails)
{
    // A × f alone already leaves the double range.
    const numeric::Num first = lightingPower(1e-300, DBL_MAX, 1000);
    ASSERT_FALSE(first.ok());
    EXPECT_EQ(first.failure(), numeric::Failure::Overflow);
    const numeric::Num last = lightingPower(1e300, 1e300, 100);
    ASSERT_FALSE(last.ok());
    EXPECT_EQ(last.failure(), numeric::Failure::Overflow);
}

TEST(LampsAndAirConditioning, PlainQuotientAndProduct)
{
    const std::pair<int, const char*> lamps[] = {{40, "13.35"}, {30, "17.8"}, {20, "26.7"}};
    for (const auto& [watts, text] : lamps)
        EXPECT_EQ(numeric::formatNumber(lampCount(534, watts).value()), text) << watts;
    EXPECT_EQ(numeric::formatNumber(airConditioningLoad(0.05, 20).value()), "1");
    EXPECT_EQ(numeric::formatNumber(airConditioningLoad(0.065, 36).value()), "2.34");
    EXPECT_FALSE(airConditioningLoad(1e300, 1e300).ok());
}

} // namespace
