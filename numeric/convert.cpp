#include "convert.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace numeric {

Num::Num(double v) : value_(v)
{
    if (!std::isfinite(v)) {
        ok_ = false;
        value_ = 0;
        failure_ = Failure::Overflow;
    }
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The pieces of a decimal number as read from text, digits only (no commas).
struct Decimal {
    bool negative = false;
    std::string whole;
    std::string fraction;
    bool exponentNegative = false;
    std::string exponent;
};

// Turns the pieces into a double. Only a magnitude beyond the double range is
// a failure; one too small to represent becomes 0.
Num toNumber(const Decimal& d)
{
    const std::size_t firstWhole = d.whole.find_first_not_of('0');
    const std::size_t firstFraction = d.fraction.find_first_not_of('0');
    if (firstWhole == std::string::npos && firstFraction == std::string::npos)
        return 0.0;

    // The exponent may be typed with any number of digits; anything beyond
    // six of them is far outside the double range either way.
    const std::size_t firstExp = d.exponent.find_first_not_of('0');
    long exponent = 0;
    if (firstExp != std::string::npos) {
        const std::string_view digits = std::string_view(d.exponent).substr(firstExp);
        exponent = digits.size() > 6 ? 1000000 : std::strtol(std::string(digits).c_str(), nullptr, 10);
    }
    if (d.exponentNegative)
        exponent = -exponent;

    // Decimal position of the leading significant digit.
    const long magnitude = firstWhole != std::string::npos
        ? static_cast<long>(d.whole.size() - firstWhole) - 1 + exponent
        : -static_cast<long>(firstFraction) - 1 + exponent;
    if (magnitude > 308)
        return Num::fail(Failure::Overflow);
    if (magnitude < -400)
        return 0.0;

    std::string text;
    text.reserve(d.whole.size() + d.fraction.size() + 16);
    if (d.negative)
        text += '-';
    text += d.whole.empty() ? std::string("0") : d.whole;
    if (!d.fraction.empty()) {
        text += '.';
        text += d.fraction;
    }
    text += 'e';
    text += std::to_string(exponent);

    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return magnitude > 0 ? Num::fail(Failure::Overflow) : Num(0.0);
    if (ec != std::errc() || end != text.data() + text.size())
        return Num::fail(Failure::NotANumber);
    return value;
}

} // namespace

Num parseStrict(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    const std::string_view s = text.substr(begin, end - begin);

    Decimal d;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        d.negative = s[i++] == '-';
    while (i < s.size()) {
        if (isDigit(s[i])) {
            d.whole += s[i++];
        } else if (s[i] == ',' && !d.whole.empty() && i + 1 < s.size() && isDigit(s[i + 1])) {
            ++i; // a grouping comma between two digits
        } else {
            break;
        }
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            d.fraction += s[i++];
    }
    if (d.whole.empty() && d.fraction.empty())
        return Num::fail(Failure::NotANumber);
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            d.exponentNegative = s[i++] == '-';
        while (i < s.size() && isDigit(s[i]))
            d.exponent += s[i++];
        if (d.exponent.empty())
            return Num::fail(Failure::NotANumber);
    }
    if (i != s.size())
        return Num::fail(Failure::NotANumber);
    return toNumber(d);
}

Num parseLenient(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;

    Decimal d;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        d.negative = s[i++] == '-';
    while (i < s.size() && isDigit(s[i]))
        d.whole += s[i++];
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            d.fraction += s[i++];
    }
    if (d.whole.empty() && d.fraction.empty())
        return 0.0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        const bool negative = j < s.size() && s[j] == '-';
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        std::string digits;
        while (j < s.size() && isDigit(s[j]))
            digits += s[j++];
        if (!digits.empty()) { // "1e" or "1e+" keep the value read so far
            d.exponentNegative = negative;
            d.exponent = std::move(digits);
        }
    }
    return toNumber(d);
}

std::string formatNumber(double value)
{
    if (value == 0 || !std::isfinite(value))
        return "0";

    // d.dddddddddddddde+XX: the value rounded to 15 significant digits.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));

    const bool negative = sci.front() == '-';
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, ePos))
        if (isDigit(c))
            digits += c;
    const int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
    // Next to the largest double, rounding to 15 digits can step past it; such
    // a text would not read back, so the last digit is taken down instead.
    if (exponent == 308 && digits > "179769313486231")
        digits = "179769313486231";
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const std::string e = std::to_string(std::abs(exponent));
        out += (e.size() < 2 ? "0" : "") + e;
    } else if (exponent >= 0) {
        const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= wholeDigits) {
            out += digits + std::string(wholeDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, wholeDigits) + '.' + digits.substr(wholeDigits);
        }
    } else {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return out;
}

std::string formatSmallInt(std::int16_t value) { return std::to_string(value); }

double floorNumber(double value) { return std::floor(value); }

Num add(Num a, Num b)
{
    if (!a) return a;
    if (!b) return b;
    return a.value() + b.value();
}

Num multiply(Num a, Num b)
{
    if (!a) return a;
    if (!b) return b;
    return a.value() * b.value();
}

Num divide(Num a, Num b)
{
    if (!a) return a;
    if (!b) return b;
    if (b.value() == 0)
        return Num::fail(Failure::DivisionByZero);
    return a.value() / b.value();
}

Num power(Num base, Num exponent)
{
    if (!base) return base;
    if (!exponent) return exponent;
    const double b = base.value();
    const double e = exponent.value();
    if (b < 0 && std::floor(e) != e)
        return Num::fail(Failure::NegativeRoot);
    if (b == 0 && e < 0)
        return Num::fail(Failure::DivisionByZero);
    return std::pow(b, e);
}

Num squareRoot(Num x)
{
    if (!x)
        return x;
    if (x.value() < 0)
        return Num::fail(Failure::NegativeRoot);
    return std::sqrt(x.value());
}

} // namespace numeric
