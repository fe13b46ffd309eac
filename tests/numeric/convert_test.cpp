#include "convert.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

using namespace numeric;

namespace {

struct Reading {
    const char* text;
    double value;
};

struct Writing {
    double value;
    const char* text;
};

} // namespace

TEST(StrictReading, AcceptsOneNumberWithSpacesAround)
{
    const Reading cases[] = {
        {"3.5", 3.5},        {"  3.5  ", 3.5},   {"-0.8", -0.8},      {"+2", 2},          {"1,000", 1000},
        {"1,234,567.5", 1234567.5}, {"2.50", 2.5}, {"2.5E0", 2.5},   {"1e3", 1000},      {"1E+3", 1000},
        {"2.5e-1", 0.25},    {".5", 0.5},        {"5.", 5},           {"-.5", -0.5},      {"0", 0},
        {"007", 7},          {"1E-999", 0},      {"0E999", 0},        {"1E308", 1e308},
        {"1,0", 10},         {"12345678901234567890", 12345678901234567890.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + '"');
        const Num n = parseStrict(c.text);
        EXPECT_TRUE(n.ok());
        EXPECT_DOUBLE_EQ(n.value(), c.value);
    }
}

TEST(StrictReading, RejectsAnythingElse)
{
    const char* cases[] = {
        "",      "   ",    "3.5m",   "1.2.3", ".",     "-",     "+",    "abc",  "1e",   "1e+",  "E5",
        "1 2",   "- 5",    ",1",     "1,",    "1,,0",  "1.0,5", "inf",  "nan",  "infinity", "-inf",
        "0x10",  "&H10",   "１２",    "1e3.5", "++1",   "\t",    "1\n",  "12kW",
    };
    for (const char* c : cases)
        EXPECT_FALSE(parseStrict(c).ok()) << '"' << c << '"';
    EXPECT_EQ(parseStrict("abc").failure(), Failure::NotANumber);
}

TEST(StrictReading, OverflowIsAFailureOfItsOwn)
{
    for (const char* c : {"1E999", "-1E999", "1E309", "2E308", "1E99999999999999999999", "999,999E306"}) {
        SCOPED_TRACE(c);
        const Num n = parseStrict(c);
        EXPECT_FALSE(n.ok());
        EXPECT_EQ(n.failure(), Failure::Overflow);
    }
}

TEST(LenientReading, ReadsTheLeadingNumber)
{
    const Reading cases[] = {
        {"12.5kW", 12.5}, {"1 2", 12},   {"", 0},         {"1.2.3", 1.2},  {"abc", 0},     {"1,000", 1},
        {" 3.5 ", 3.5},   {"-0.8", -0.8}, {"1e3", 1000},  {"0.8abc", 0.8}, {"1E3", 1000},  {"1e", 1},
        {"1e+", 1},       {"2e-1x", 0.2}, {"+4", 4},      {"-", 0},        {".", 0},       {"-.5", -0.5},
        {"3%", 3},        {"33%", 33},    {"\t7\n", 7},   {"inf", 0},      {"nan", 0},     {"infinity", 0},
        {"0x10", 0},      {"&H10", 0},    {"１２", 0},     {"5m", 5},       {"30m", 30},    {"- 5", -5},
        {"1E-999", 0},    {"1 0 0", 100}, {"1\n2", 12},  {"1\r\n2", 1},  {"1\t2", 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + '"');
        const Num n = parseLenient(c.text);
        EXPECT_TRUE(n.ok());
        EXPECT_DOUBLE_EQ(n.value(), c.value);
    }
}

TEST(LenientReading, FailsOnlyBeyondTheDoubleRange)
{
    for (const char* c : {"1E999", "-1E999", "1e400abc", "1 E 999"}) {
        SCOPED_TRACE(c);
        const Num n = parseLenient(c);
        EXPECT_FALSE(n.ok());
        EXPECT_EQ(n.failure(), Failure::Overflow);
    }
}

// Between the smallest double and the far exponents read without converting:
// too small to hold is 0, never an overflow.
TEST(BothReadings, BelowTheDoubleRangeIsZero)
{
    for (const char* c : {"1E-330", "-1e-400", "1e-324", "2.4e-324", "0.0001e-320", "-12.5E-330"}) {
        SCOPED_TRACE(c);
        for (const Num& n : {parseStrict(c), parseLenient(c)}) {
            EXPECT_TRUE(n.ok());
            EXPECT_EQ(n.value(), 0);
        }
    }
    EXPECT_TRUE(parseLenient("1e-330abc").ok());
}

TEST(NumberToText, FifteenSignificantDigits)
{
    const Writing cases[] = {
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2, "2"},
        {12.50, "12.5"},
        {1.7 * 3, "5.1"},
        {100, "100"},
        {0.05, "0.05"},
        {0.5, "0.5"},
        {-0.5, "-0.5"},
        {-75, "-75"},
        {189.68133535660091, "189.681335356601"},
        {1000.0 / 6.0 * 5.0, "833.333333333333"},
        {0.0001, "0.0001"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.4, "999999999999999"},
        {999999999999999.9, "1E+15"},
        {1e15, "1E+15"},
        {1.5e20, "1.5E+20"},
        {-2.5e-7, "-2.5E-07"},
        {0.00001, "1E-05"},
        {1e300, "1E+300"},
        {std::numeric_limits<double>::max(), "1.79769313486231E+308"},
        {-std::numeric_limits<double>::max(), "-1.79769313486231E+308"},
        {1.7976931348623e308, "1.7976931348623E+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {-0.0, "0"},
        {0, "0"},
        {6.0 * 88.35, "530.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(c.value), c.text) << c.value;
}

TEST(NumberToText, ReadsBackToTheSameValueThroughBothConversions)
{
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-320, 307);
    for (int i = 0; i < 20000; ++i) {
        const double v = mantissa(random) * std::pow(10.0, exponent(random));
        if (!std::isfinite(v))
            continue;
        const std::string text = formatNumber(v);
        const Num strict = parseStrict(text);
        const Num lenient = parseLenient(text);
        ASSERT_TRUE(strict.ok()) << text;
        ASSERT_TRUE(lenient.ok()) << text;
        EXPECT_EQ(strict.value(), lenient.value()) << text;
        EXPECT_EQ(formatNumber(strict.value()), text) << v;
        if (v != 0) {
            EXPECT_NEAR(strict.value() / v, 1.0, 1e-14) << text;
        }
    }
}

TEST(SmallIntegerToText, DigitsAndSign)
{
    EXPECT_EQ(formatSmallInt(390), "390");
    EXPECT_EQ(formatSmallInt(-3), "-3");
    EXPECT_EQ(formatSmallInt(0), "0");
    EXPECT_EQ(formatSmallInt(32767), "32767");
    EXPECT_EQ(formatSmallInt(-32768), "-32768");
    EXPECT_EQ(formatSmallInt(20), formatNumber(20));
}

TEST(Floor, TowardsMinusInfinity)
{
    EXPECT_EQ(floorNumber(2.7), 2);
    EXPECT_EQ(floorNumber(-2.5), -3);
    EXPECT_EQ(floorNumber(3), 3);
    EXPECT_EQ(floorNumber(-0.1), -1);
}

TEST(Arithmetic, FailuresInsteadOfInfinityOrNaN)
{
    EXPECT_EQ(divide(1, 0).failure(), Failure::DivisionByZero);
    EXPECT_EQ(divide(0, 0).failure(), Failure::DivisionByZero);
    EXPECT_EQ(multiply(1e200, 1e200).failure(), Failure::Overflow);
    EXPECT_EQ(add(1.7e308, 1.7e308).failure(), Failure::Overflow);
    EXPECT_EQ(divide(1e300, 1e-300).failure(), Failure::Overflow);
    EXPECT_EQ(power(-0.44, 0.5).failure(), Failure::NegativeRoot);
    EXPECT_EQ(power(0, -1).failure(), Failure::DivisionByZero);
    EXPECT_EQ(power(10, 400).failure(), Failure::Overflow);
    EXPECT_DOUBLE_EQ(power(-2, 2).value(), 4);
    EXPECT_DOUBLE_EQ(power(0.36, 0.5).value(), 0.6);
    // A failure travels through every later step unchanged.
    EXPECT_EQ(add(multiply(divide(1, 0), 2), 3).failure(), Failure::DivisionByZero);
    EXPECT_FALSE(Num(std::numeric_limits<double>::quiet_NaN()).ok());
    EXPECT_FALSE(Num(std::numeric_limits<double>::infinity()).ok());
}

TEST(Conversions, NeverYieldInfinityOrNaN)
{
    // Random texts built from the characters numbers are made of, and others.
    const std::string alphabet = "0123456789.,+-eE  \tx%9999999999";
    std::mt19937 random(1208);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int i = 0; i < 50000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n)
            text += alphabet[pick(random)];
        if (i % 7 == 0) {
            text += 'E';
            text += std::to_string(random() % 700);
        }
        for (const Num& n : {parseStrict(text), parseLenient(text)}) {
            if (n.ok()) {
                ASSERT_TRUE(std::isfinite(n.value())) << text;
                const std::string written = formatNumber(n.value());
                ASSERT_EQ(written.find_first_of("in"), std::string::npos) << written;
                ASSERT_TRUE(parseStrict(written).ok()) << written;
            } else {
                ASSERT_EQ(n.value(), 0) << text;
            }
        }
    }
}

// Rounded to places from the 15 digits a value is written with: the text
// is within half a unit of its last place of the 15-digit value, and a half
// rounds away from zero.
TEST(Convert, DecimalsFollowTheFifteenDigits)
{
    const struct {
        double value;
        int places;
        const char* text;
    } cases[] = {{0.285, 2, "0.29"}, {-0.285, 2, "-0.29"}, {-0.001, 2, "0.00"}, {2.5, 0, "3"},
                 {0, 1, "0.0"},      {1e20, 1, "100000000000000000000.0"}, {0.1 + 0.2, 3, "0.300"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numeric::formatDecimals(c.value, c.places), c.text);
    }
    for (const double v : {123.456789, -0.000123456, 98765.4321, 1.0 / 3, 2.0 / 3})
        for (int places = 0; places <= 8; ++places) {
            const double written = numeric::parseStrict(numeric::formatNumber(v)).value();
            const double rounded = numeric::parseStrict(numeric::formatDecimals(v, places)).value();
            EXPECT_LE(std::fabs(rounded - written), 0.5 * std::pow(10.0, -places) * (1 + 1e-9)) << v << " " << places;
        }
}

// The wide forms a Chinese input method or a web page gives read as their
// ASCII forms only where a reading asks for them.
TEST(Convert, WideFormsOnlyWhereAsked)
{
    const char* wide = "\xC2\xA0\xEF\xBC\x91\xEF\xBC\x8E\xEF\xBC\x95\xE3\x80\x80"; // NBSP １．５ U+3000
    EXPECT_FALSE(numeric::parseStrict(wide));
    ASSERT_TRUE(numeric::parseStrict(wide, numeric::Forms::Wide));
    EXPECT_EQ(numeric::parseStrict(wide, numeric::Forms::Wide).value(), 1.5);
    EXPECT_EQ(numeric::parseStrict("\xE2\x88\x92" "2", numeric::Forms::Wide).value(), -2); // U+2212
    EXPECT_EQ(numeric::trimSpaces(" \xE3\x80\x80x\xC2\xA0\t"), "x");
}
