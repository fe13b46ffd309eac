#include "lightning/check2010.h"

#include <gtest/gtest.h>

using namespace lightning;

TEST(Check2010, LimitsOfBothKindsOfBuilding)
{
    struct Case {
        double n;
        Importance importance;
        Class2010 expected;
    };
    const Case cases[] = {
        {0.26, Importance::Ordinary, Class2010::Second},  {0.25, Importance::Ordinary, Class2010::Third},
        {0.05, Importance::Ordinary, Class2010::Third},   {0.04, Importance::Ordinary, Class2010::Neither},
        {0.06, Importance::Important, Class2010::Second}, {0.05, Importance::Important, Class2010::Third},
        {0.01, Importance::Important, Class2010::Third},  {0, Importance::Important, Class2010::Neither},
    };
    for (const Case& c : cases)
        EXPECT_EQ(class2010(c.n, c.importance), c.expected) << c.n << " " << static_cast<int>(c.importance);
}

TEST(Check2010, LimitsMeetTheTwoDecimalNOfACalculation)
{
    // N rounded from real buildings onto the limits, at Td 31.5 and k 1.
    const Check2010 onLower = check2010(36, 12, 18, 31.5, 1, Importance::Ordinary);    // 0.0511
    const Check2010 onUpper = check2010(150, 90, 50, 31.5, 1, Importance::Ordinary);   // 0.2477
    ASSERT_TRUE(onLower.n && onUpper.n);
    EXPECT_EQ(numeric::formatNumber(onLower.n.value()), "0.05");
    EXPECT_EQ(numeric::formatNumber(onUpper.n.value()), "0.25");
    EXPECT_EQ(onLower.protection, Class2010::Third);
    EXPECT_EQ(onUpper.protection, Class2010::Third);
    EXPECT_EQ(check2010(36, 12, 18, 31.5, 1, Importance::Important).protection, Class2010::Third);
}

TEST(Check2010, WorkedBuilding)
{
    // 100 × 50 × 100 m in 石家庄, k 1.5: third class by the window, second by 2010.
    const Check2010 c = check2010(100, 50, 100, 31.5, 1.5, Importance::Ordinary);
    EXPECT_EQ(numeric::formatNumber(c.ng.value()), "3.15");
    EXPECT_EQ(numeric::formatNumber(c.ae.value()), "0.066416");
    EXPECT_EQ(numeric::formatNumber(c.n.value()), "0.31");
    EXPECT_EQ(c.protection, Class2010::Second);
}

TEST(Check2010, FailureOfTheAreaIsAValue)
{
    const Check2010 c = check2010(10, 10, -5, 31.5, 1, Importance::Ordinary);
    EXPECT_TRUE(c.ng);
    EXPECT_FALSE(c.ae);
    EXPECT_FALSE(c.n);
}
