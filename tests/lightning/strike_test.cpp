#include "strike.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

using namespace lightning;
using numeric::Failure;
using numeric::formatNumber;

namespace {

const std::string ordinarySecond =
    "N>0.3,本建筑为普通建筑，本建筑为二类防雷建筑，网格为10*10m或12*8m，引下线间距不大于18m，滚球半径45m。";
const std::string ordinaryThird =
    "0.06<N<0.3,本建筑为普通建筑，本建筑为三类防雷建筑，网格为20*20m或24*16m，引下线间距不大于25m，滚球半径60m。";
const std::string ordinaryNone = "N<0.06,本建筑为普通建筑，不用设防!";
const std::string importantSecond =
    "N>0.06,本建筑为较重要建筑，本建筑为二类防雷建筑，网格为10*10m或12*8m，引下线间距不大于18m，滚球半径45m。";
const std::string importantThird =
    "0.012<N<=0.06,本建筑为较重要建筑，本建筑为三类防雷建筑，网格为20*20m或24*16m，引下线间距不大于25m，滚球半径60m。";
const std::string importantNone = "N<=0.012,本建筑为较重要建筑，不用设防!";

std::string digits(double v, int significant)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", significant, v);
    return buffer;
}

} // namespace

TEST(StrikeDensity, CitiesToTwelveDigits)
{
    EXPECT_EQ(digits(strikeDensity(thunderstormDays(City::Xingtai)).value(), 12), "2.01474583922");
    EXPECT_EQ(digits(strikeDensity(thunderstormDays(City::Shijiazhuang)).value(), 12), "2.12821236258");
}

TEST(CollectionArea, FormulaChangesAtOneHundredMetres)
{
    EXPECT_TRUE(isLowBuilding(99.9));
    EXPECT_FALSE(isLowBuilding(100));
    // Both formulas agree at 100 m; just below it the first gives slightly less.
    EXPECT_EQ(formatNumber(collectionArea(100, 50, 100).value()), "0.066416");
    EXPECT_EQ(formatNumber(lowBuildingArea(100, 50, 100).value()), "0.066416");
    EXPECT_EQ(digits(collectionArea(100, 50, 99.9).value(), 11), "0.066415953584");
    EXPECT_LT(collectionArea(100, 50, 99.9).value(), collectionArea(100, 50, 100).value());
}

// Whole worked buildings: the texts an engineer reads in the window.
struct Building {
    double l, w, h;
    City city;
    double k;
    const char* area; // 15-digit text, or the leading digits when marked
    int areaDigits;   // 0: the whole 15-digit text must match
    const char* n;
    std::string ordinary, important;
};

class WorkedBuilding : public ::testing::TestWithParam<Building> {};

TEST_P(WorkedBuilding, AreaStrikesAndVerdicts)
{
    const Building& b = GetParam();
    const numeric::Num ng = strikeDensity(thunderstormDays(b.city));
    const numeric::Num ae = collectionArea(b.l, b.w, b.h);
    ASSERT_TRUE(ng && ae);
    if (b.areaDigits == 0)
        EXPECT_EQ(formatNumber(ae.value()), b.area);
    else
        EXPECT_EQ(digits(ae.value(), b.areaDigits), b.area);
    const numeric::Num n = expectedStrikes(ae.value(), ng.value(), b.k);
    ASSERT_TRUE(n);
    EXPECT_EQ(formatNumber(n.value()), b.n);
    EXPECT_EQ(verdict(n.value(), Importance::Ordinary), b.ordinary);
    EXPECT_EQ(verdict(n.value(), Importance::Important), b.important);
}

INSTANTIATE_TEST_SUITE_P(
    Lightning, WorkedBuilding,
    ::testing::Values(
        Building{100, 50, 100, City::Shijiazhuang, 1.5, "0.066416", 0, "0.21", ordinaryThird, importantSecond},
        Building{36, 12, 18, City::Xingtai, 1, "0.0162185714001616", 0, "0.03", ordinaryNone, importantThird},
        Building{200, 80, 50, City::Shijiazhuang, 2, "0.0880594226119", 12, "0.37", ordinarySecond, importantSecond},
        Building{0, 0, 0, City::Xingtai, 1, "0", 0, "0", ordinaryNone, importantNone},
        // N exactly 0.06: an ordinary building is third class.
        Building{60, 20, 30, City::Xingtai, 1, "0.0286484454856686", 0, "0.06", ordinaryThird, importantThird}),
    [](const ::testing::TestParamInfo<Building>& info) {
        const Building& b = info.param;
        std::string name = "L";
        name += digits(b.l, 6) + "_W" + digits(b.w, 6) + "_H" + digits(b.h, 6);
        return name;
    });

TEST(ExpectedStrikes, RoundsHalfUpToTwoDecimals)
{
    // x = Ae × (Ng × k) × 100 + 0.5, floored and divided by 100.
    const struct { double ae, ng, k; const char* n; } cases[] = {
        {0.001, 1, 1, "0"},     // 0.1 strikes ×100 = 0.1 → 0
        {0.005, 1, 1, "0.01"},  // exactly half rounds up
        {0.0049, 1, 1, "0"},
        {0.01, 1, 6, "0.06"},
        {0.06, 1, 5, "0.3"},
        {-0.001, 1, 1, "0"},    // a negative area from negative dimensions
        {-0.009, 1, 1, "-0.01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(expectedStrikes(c.ae, c.ng, c.k).value()), c.n) << c.ae << " " << c.ng << " " << c.k;
}

TEST(ExpectedStrikes, UsesTheFifteenDigitFigures)
{
    // Ng a few units in the last place below 4 shows as "4" in its field. Taken
    // as it is, Ae × Ng × 100 + 0.5 falls just short of 1 and N would be 0;
    // from the figure the engineer sees it is exactly 1, so N is 0.01.
    const double ng = 4 * (1 - 4e-16);
    ASSERT_EQ(formatNumber(ng), "4");
    ASSERT_LT(0.00125 * ng * 100 + 0.5, 1.0);
    EXPECT_EQ(formatNumber(expectedStrikes(0.00125, ng, 1).value()), "0.01");
}

// An area with all its digits gives the N of its 15-digit text, the one the
// window reads back from its field. The areas are those just beside where N
// steps by 0.01, where the digits beyond the fifteenth could tip it.
TEST(ExpectedStrikes, AnAreaGivesTheNOfItsFifteenDigitText)
{
    const auto asShown = [](double v) { return numeric::parseStrict(formatNumber(v)).value(); };
    int tipping = 0; // areas whose digits beyond the fifteenth would move N
    for (const City city : {City::Xingtai, City::Shijiazhuang})
        for (const double k : {1.0, 1.5, 1.7, 2.0})
            for (const int step : {1, 6, 31, 257}) { // N reaching 0.01, 0.06, 0.31, 2.57
                const double ng = asShown(strikeDensity(thunderstormDays(city)).value());
                double ae = (step - 0.5) / (100 * ng * k);
                for (int i = 0; i < 100; ++i)
                    ae = std::nextafter(ae, 0.0);
                std::string wrong; // the first area that gives another N or product than its text
                for (int i = 0; i < 200 && wrong.empty(); ++i, ae = std::nextafter(ae, 1.0)) {
                    const double shown = asShown(ae);
                    const double n = expectedStrikes(shown, ng, k).value();
                    if (expectedStrikes(ae, ng, k).value() != n ||
                        strikeProduct(ae, ng, k).value() != strikeProduct(shown, ng, k).value())
                        wrong = digits(ae, 17);
                    tipping += std::floor(ae * (ng * k) * 100 + 0.5) / 100 != n;
                }
                EXPECT_EQ(wrong, "") << "Ng " << ng << ", k " << k;
            }
    EXPECT_GT(tipping, 0) << "no area beside a step of N where its last digits matter";
}

TEST(Verdict, Limits)
{
    const struct { double n; Importance importance; const std::string& text; } cases[] = {
        {0.31, Importance::Ordinary, ordinarySecond},
        {0.3, Importance::Ordinary, ordinaryThird},
        {0.07, Importance::Ordinary, ordinaryThird},
        {0.06, Importance::Ordinary, ordinaryThird},
        {0.05, Importance::Ordinary, ordinaryNone},
        {0, Importance::Ordinary, ordinaryNone},
        {0.07, Importance::Important, importantSecond},
        {0.06, Importance::Important, importantThird},
        {0.02, Importance::Important, importantThird},
        {0.012, Importance::Important, importantNone},
        {0.01, Importance::Important, importantNone},
        {-0.01, Importance::Important, importantNone},
        // N as computed, not typed: 0.1 + 0.2 is 0.3 once written to 15 digits.
        {0.1 + 0.2, Importance::Ordinary, ordinaryThird},
        {0.03 + 0.03, Importance::Ordinary, ordinaryThird},
    };
    for (const auto& c : cases)
        EXPECT_EQ(verdict(c.n, c.importance), c.text) << c.n;
}

TEST(CollectionArea, FailsOnNegativeHeightAndOverflow)
{
    const struct { double l, w, h; Failure failure; } cases[] = {
        {10, 10, -1, Failure::NegativeRoot},
        {10, 10, 1e200, Failure::Overflow},
        {1e200, 1e200, 10, Failure::Overflow},
        {1e155, 1e155, 10, Failure::Overflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.l << " × " << c.w << " × " << c.h);
        const numeric::Num ae = collectionArea(c.l, c.w, c.h);
        EXPECT_FALSE(ae);
        EXPECT_EQ(ae.failure(), c.failure);
    }
    // Negative length or width is no failure: the area follows the formula.
    EXPECT_TRUE(collectionArea(-10, 10, 10));
    EXPECT_LT(collectionArea(-1000, 10, 10).value(), 0);
}
