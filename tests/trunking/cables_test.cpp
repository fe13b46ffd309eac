#include "cables.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using namespace trunking;
using numeric::formatNumber;

namespace {

std::string text(const numeric::Num& n) { return n ? formatNumber(n.value()) : "failed"; }

// Every entry of every kind as the engineer reads it in the area field.
struct Listed {
    Cable kind;
    std::vector<double> sizes;
    std::vector<std::string> areas;
};
const std::vector<Listed> listed = {
    {Cable::BV, {1.5, 2.5, 4, 6, 10, 16, 25, 35, 50, 70, 95, 120, 150},
     {"18", "21", "26", "31", "52", "69", "98", "121", "170", "211", "298", "320", "390"}},
    {Cable::VV, {4, 6, 10, 16, 25, 35, 50, 70, 95, 120, 150, 185, 240},
     {"130", "176.7", "251.6", "343.1", "373.3", "433.7", "590", "750", "1086.9", "1219.2", "1493", "1780", "2206"}},
    {Cable::RVS, {0.75, 1, 1.5, 2.5}, {"26.4", "30.2", "36.3", "63.6"}},
    {Cable::LGBC, {4, 6, 12}, {"15.21", "30", "38.48"}},
    {Cable::UTP, {4, 25}, {"23.76", "132.7"}},
    {Cable::SYV, {5, 7, 9}, {"36.32", "78.54", "113.1"}},
};

} // namespace

TEST(Catalogue, EveryEntryShowsTheListedDigits)
{
    for (const Listed& l : listed) {
        SCOPED_TRACE(::testing::Message() << "kind " << int(l.kind));
        const auto& entries = catalogue(l.kind);
        EXPECT_EQ(entries.size(), l.sizes.size());
        for (std::size_t i = 0; i < std::min(entries.size(), l.sizes.size()); ++i) {
            SCOPED_TRACE(::testing::Message() << "size " << l.sizes[i]);
            EXPECT_EQ(entries[i].size, l.sizes[i]);
            EXPECT_EQ(areaText(entries[i].area), l.areas[i]);
            const auto found = areaOf(l.kind, l.sizes[i]);
            EXPECT_TRUE(found.has_value());
            if (found) {
                EXPECT_EQ(areaText(*found), l.areas[i]);
            }
        }
    }
}

TEST(Catalogue, LooksUpExactSizesOnly)
{
    struct Case { Cable kind; double size; const char* area; }; // "" for no entry
    const Case cases[] = {
        // one size, every kind
        {Cable::VV, 4, "130"}, {Cable::BV, 4, "26"}, {Cable::UTP, 4, "23.76"}, {Cable::LGBC, 4, "15.21"},
        {Cable::SYV, 4, ""}, {Cable::RVS, 4, ""},
        // four more in each kind, between and beside its sizes
        {Cable::VV, 240, "2206"}, {Cable::VV, 1.5, ""}, {Cable::VV, 2.5, ""}, {Cable::VV, 5, ""},
        {Cable::BV, 2.5, "21"}, {Cable::BV, 2.4, ""}, {Cable::BV, 3, ""}, {Cable::BV, 185, ""}, {Cable::BV, 240, ""},
        {Cable::BV, 1, ""}, {Cable::BV, 15, ""}, {Cable::BV, 150, "390"},
        {Cable::SYV, 5, "36.32"}, {Cable::SYV, 9, "113.1"}, {Cable::SYV, 6, ""}, {Cable::SYV, 0, ""},
        {Cable::UTP, 25, "132.7"}, {Cable::UTP, 6, ""}, {Cable::UTP, 2.5, ""}, {Cable::UTP, -4, ""},
        {Cable::LGBC, 12, "38.48"}, {Cable::LGBC, 6, "30"}, {Cable::LGBC, 10, ""}, {Cable::LGBC, 4.0000001, ""},
        {Cable::RVS, 0.75, "26.4"}, {Cable::RVS, 0.7, ""}, {Cable::RVS, 1, "30.2"}, {Cable::RVS, 2, ""},
    };
    for (const Case& c : cases) {
        const auto found = areaOf(c.kind, c.size);
        EXPECT_EQ(found ? areaText(*found) : "", c.area) << "kind " << int(c.kind) << " size " << c.size;
    }
}

TEST(Rows, TotalIsAreaTimesCount)
{
    struct Case { double area, count; const char* total; };
    const Case cases[] = {
        {176.7, 3, "530.1"}, // VV 6: the representation error of the product stays hidden
        {26.4, 3, "79.2"},   // RVS 0.75
        {21, 2.5, "52.5"},   // a fractional count
        {18, -2, "-36"},     // a negative count
        {21, 0, "0"},        // an empty count reads as 0
        {0, 3, "0"},         // an empty area too
        {130, 3, "390"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(rowTotal(c.area, c.count)), c.total) << c.area << " × " << c.count;
    EXPECT_FALSE(rowTotal(1e300, 1e300));
}

TEST(Fill, AddsTheRunningTotalTypedAreaAndRows)
{
    const double big = std::numeric_limits<double>::max();
    struct Case { double total, typed; std::array<double, 6> rows; const char* sum; };
    const Case cases[] = {
        {0, 0, {}, "0"},
        {0, 12.5, {}, "12.5"},
        {12.5, 12.5, {}, "25"},
        {0, 0, {390, 0, 0, 0, 0, 0}, "390"},
        {390, 10, {1, 2, 3, 4, 5, 6}, "421"},
        // summed left to right from the running total: total + typed overflows
        // before the first row could bring it back
        {big, big, {-big, 0, 0, 0, 0, 0}, "failed"},
        {big, -big, {big, 0, 0, 0, 0, 0}, "1.79769313486231E+308"},
        {big, 0, {0, 0, 0, 0, 0, big}, "failed"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(addToTotal(c.total, c.typed, c.rows)), c.sum) << c.total << " + " << c.typed;
}

TEST(Fill, RequiredSectionDividesThenMultiplies)
{
    struct Case { double total, percent; const char* section; };
    const Case cases[] = {
        {390, 33, "1181.81818181818"},
        {390, 20, "1950"},
        {390, 27.5, "1418.18181818182"},
        {660, 33, "2000"},
        {12402.9, 33, "37584.5454545454"}, // total × 100 ÷ percent would give ...455
        {0, 33, "0"},
        {100, -50, "-200"},   // no range check on the percentage
        {100, 0, "failed"},   // division by zero
        {0, 0, "failed"},
        {1e300, 1e-10, "failed"}, // beyond the double range
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(requiredSection(c.total, c.percent)), c.section) << c.total << " at " << c.percent;
    EXPECT_EQ(requiredSection(100, 0).failure(), numeric::Failure::DivisionByZero);
}
