#pragma once
// Text <-> number conventions shared by every calculator. Pure standard C++:
// the decimal separator is "." whatever the user's locale says.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace numeric {

// Why a step could not produce its number.
enum class Failure {
    NotANumber,     // a strict reading met text that is not one number
    DivisionByZero, // x / 0, also 0 / 0
    Overflow,       // beyond the double range (1E999, a product too large)
    NegativeRoot,   // square root of, or fractional power of, a negative number
};

// A number or the reason there is none. Never holds an infinite or NaN value.
class Num {
public:
    Num(double v); // NOLINT: a finite double is a valid result; a non-finite one becomes a failure
    static Num fail(Failure f) { return Num(f); }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    double value() const { return value_; }
    Failure failure() const { return failure_; }

private:
    explicit Num(Failure f) : ok_(false), failure_(f) {}
    bool ok_ = true;
    double value_ = 0;
    Failure failure_ = Failure::NotANumber;
};

// The forms a number may be typed in. A calculator's field takes ASCII only;
// a cell of the load schedule also takes what a Chinese input method or a web
// page gives: full-width digits, point, signs and spaces (U+FF10…, U+3000),
// the minus sign U+2212 and no-break spaces (U+00A0) around.
enum class Forms { Ascii, Wide };

// Text of a whole field that is exactly one number: optional sign, digits with
// at most one decimal point (grouping commas between digits of the whole part
// are ignored), optional exponent; spaces around are allowed.
Num parseStrict(std::string_view text, Forms forms = Forms::Ascii);

// The text without the spaces around it: ASCII spaces, tabs and line ends,
// and, of the wide forms, U+3000 and U+00A0.
std::string_view trimSpaces(std::string_view text);
// The wide forms of digits, point, plus, minus and P/p (as in "3P") in their
// ASCII forms, everything else as it is.
std::string asciiForms(std::string_view text);

// Reads the leading number after every space, tab and line feed is removed;
// text with no leading number reads as 0. Fails only on overflow.
Num parseLenient(std::string_view text);

// 15 significant digits, no trailing zeros, "0." before fractions, never "-0".
// Magnitudes from 1E15 up and below 1E-4 are written as d.dddE+xx.
std::string formatNumber(double value);

// The value rounded half away from zero to `decimals` places (0 to 20), from
// the 15 significant digits it is written with, so 0.285 gives "0.29"; never
// "-0.00". Empty for a value that is not finite.
std::string formatDecimals(double value, int decimals);

std::string formatSmallInt(std::int16_t value);

double floorNumber(double value);

// Arithmetic that reports what the double type would hide as inf or NaN.
Num add(Num a, Num b);
Num multiply(Num a, Num b);
Num divide(Num a, Num b);
Num power(Num base, Num exponent);
Num squareRoot(Num x);

} // namespace numeric
