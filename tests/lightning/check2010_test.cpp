#include "check2010.h"

#include <gtest/gtest.h>

using namespace lightning;

// The class follows from N itself: values just beside a limit fall on their
// own side of it, wherever their two-decimal rounding lands.
TEST(Check2010, LimitsOfBothKindsOfBuilding)
{
    struct Case {
        double n;
        Importance importance;
        Class2010 expected;
    };
    const Case cases[] = {
        {0.2531, Importance::Ordinary, Class2010::Second},  {0.25, Importance::Ordinary, Class2010::Third},
        {0.05, Importance::Ordinary, Class2010::Third},     {0.0499, Importance::Ordinary, Class2010::Neither},
        {0.0501, Importance::Important, Class2010::Second}, {0.05, Importance::Important, Class2010::Third},
        {0.0101, Importance::Important, Class2010::Third},  {0.0099, Importance::Important, Class2010::Neither},
        {0.01, Importance::Important, Class2010::Third},    {0, Importance::Important, Class2010::Neither},
    };
    for (const Case& c : cases)
        EXPECT_EQ(class2010(c.n, c.importance), c.expected) << c.n << " " << static_cast<int>(c.importance);
}

TEST(Check2010, WorkedBuildings)
{
    // 174 × 80 × 54 m in 邢台, k 1: N = 0.2531, which rounds to 0.25 but is
    // above the limit, so an ordinary building is of the second class.
    const Check2010 xingtai = check2010(174, 80, 54, 30.2, 1, Importance::Ordinary);
    ASSERT_TRUE(xingtai.n);
    EXPECT_EQ(numeric::formatNumber(xingtai.ae.value()), "0.0837946552930198");
    EXPECT_NEAR(xingtai.n.value(), 0.2531, 5e-5);
    EXPECT_EQ(xingtai.protection, Class2010::Second);

    // 100 × 50 × 100 m in 石家庄, k 1.5: third class by the window, second by 2010.
    const Check2010 c = check2010(100, 50, 100, 31.5, 1.5, Importance::Ordinary);
    EXPECT_EQ(numeric::formatNumber(c.ng.value()), "3.15");
    EXPECT_EQ(numeric::formatNumber(c.ae.value()), "0.066416");
    EXPECT_EQ(numeric::formatNumber(c.n.value()), "0.3138156");
    EXPECT_EQ(c.protection, Class2010::Second);
}

TEST(Check2010, FailureOfTheAreaIsAValue)
{
    const Check2010 c = check2010(10, 10, -5, 31.5, 1, Importance::Ordinary);
    EXPECT_TRUE(c.ng);
    EXPECT_FALSE(c.ae);
    EXPECT_FALSE(c.n);
}
