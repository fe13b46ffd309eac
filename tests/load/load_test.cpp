#include "convert.h"
#include "load.h"

#include <gtest/gtest.h>

using namespace numeric;

namespace {

struct Case {
    double p, c;
    const char* q; // nullptr: the step fails
    const char* s;
};

std::string text(const Num& n) { return n.ok() ? formatNumber(n.value()) : "fails"; }

} // namespace

TEST(Load, ReactiveAndApparentPower)
{
    const Case cases[] = {
        {100, 0.8, "75", "125"},
        {100, 1, "0", "100"},
        {100, -0.8, "-75", "-125"},
        {100, 1.2, nullptr, "83.3333333333333"},
        {100, -1.01, nullptr, "-99.009900990099"},
        {100, 0, nullptr, nullptr},
        {0, 0, nullptr, nullptr},
        {0, 0.8, "0", "0"},
        {12.5, 0.85, "7.74680423003878", "14.7058823529412"},
        // Multiplied first and divided last: dividing the root by c first gives ...804.
        {659, 0.415, "1444.75255392803", "1587.95180722892"},
        {1e308, 0.5, "1.73205080756888E+308", nullptr},
        {1e308, 0.1, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text(load::reactivePower(c.p, c.c)), c.q ? c.q : "fails") << c.p << " at " << c.c;
        EXPECT_EQ(text(load::apparentPower(c.p, c.c)), c.s ? c.s : "fails") << c.p << " at " << c.c;
    }
}

TEST(Load, CurrentUsesTheLiteralDivisor)
{
    EXPECT_EQ(text(load::current(125)), "189.681335356601");
    EXPECT_EQ(text(load::current(0)), "0");
    EXPECT_EQ(text(load::current(-65.9)), "-100");
    EXPECT_EQ(load::current(1.7e308).failure(), Failure::Overflow);
}

TEST(Load, FailuresSayWhy)
{
    EXPECT_EQ(load::reactivePower(100, 1.2).failure(), Failure::NegativeRoot);
    EXPECT_EQ(load::reactivePower(100, 0).failure(), Failure::DivisionByZero);
    EXPECT_EQ(load::apparentPower(100, 0).failure(), Failure::DivisionByZero);
}
