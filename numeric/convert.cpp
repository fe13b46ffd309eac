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

// The 15 significant digits of a finite, non-zero value: digits[k] is the
// digit of place 10^(exponent − k).
struct Significant {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Significant significant(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    Significant s;
    s.negative = sci.front() == '-';
    const std::size_t ePos = sci.find('e');
    for (char c : sci.substr(0, ePos))
        if (isDigit(c))
            s.digits += c;
    s.exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
    return s;
}

// UTF-8 of the spaces a wide form may carry besides ASCII ones.
constexpr std::string_view ideographicSpace = "\xE3\x80\x80"; // U+3000
constexpr std::string_view noBreakSpace = "\xC2\xA0";         // U+00A0

bool isAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::size_t spaceAtFront(std::string_view text)
{
    if (text.empty())
        return 0;
    if (isAsciiSpace(text.front()))
        return 1;
    for (const std::string_view space : {ideographicSpace, noBreakSpace})
        if (text.starts_with(space))
            return space.size();
    return 0;
}

std::size_t spaceAtBack(std::string_view text)
{
    if (text.empty())
        return 0;
    if (isAsciiSpace(text.back()))
        return 1;
    for (const std::string_view space : {ideographicSpace, noBreakSpace})
        if (text.ends_with(space))
            return space.size();
    return 0;
}

} // namespace

std::string_view trimSpaces(std::string_view text)
{
    while (const std::size_t n = spaceAtFront(text))
        text.remove_prefix(n);
    while (const std::size_t n = spaceAtBack(text))
        text.remove_suffix(n);
    return text;
}

std::string asciiForms(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        char ascii = 0;
        if (i + 2 < text.size() && byte(0) == 0xEF && byte(1) == 0xBC) {
            const unsigned char c = byte(2);
            if (c >= 0x90 && c <= 0x99)
                ascii = static_cast<char>('0' + (c - 0x90)); // ０…９
            else if (c == 0x8E)
                ascii = '.'; // ．
            else if (c == 0x8D)
                ascii = '-'; // －
            else if (c == 0x8B)
                ascii = '+'; // ＋
            else if (c == 0xB0)
                ascii = 'P'; // Ｐ
        } else if (i + 2 < text.size() && byte(0) == 0xEF && byte(1) == 0xBD && byte(2) == 0x90) {
            ascii = 'p'; // ｐ
        } else if (i + 2 < text.size() && byte(0) == 0xE2 && byte(1) == 0x88 && byte(2) == 0x92) {
            ascii = '-'; // −
        }
        if (ascii) {
            out += ascii;
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

Num parseStrict(std::string_view text, Forms forms)
{
    if (forms == Forms::Wide) {
        const std::string_view t = trimSpaces(text);
        for (char c : t)
            if (static_cast<unsigned char>(c) >= 0x80)
                return parseStrict(asciiForms(t));
        return parseStrict(t);
    }
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

    // The value rounded to 15 significant digits.
    Significant s = significant(value);
    const bool negative = s.negative;
    std::string& digits = s.digits;
    const int exponent = s.exponent;
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

std::string formatDecimals(double value, int decimals)
{
    if (!std::isfinite(value))
        return {};
    decimals = decimals < 0 ? 0 : decimals > 20 ? 20 : decimals;
    const Significant s = value == 0 ? Significant{false, "0", 0} : significant(value);
    const std::string& digits = s.digits;

    // The digit of place 10^(exponent − k) is digits[k]; the last one kept is of place 10^−decimals.
    const long keep = static_cast<long>(s.exponent) + decimals + 1;
    std::string kept; // the rounded value in units of 10^−decimals
    if (keep >= 0) {
        const auto n = static_cast<std::size_t>(keep);
        kept = n <= digits.size() ? digits.substr(0, n) : digits + std::string(n - digits.size(), '0');
        if (n < digits.size() && digits[n] >= '5') {
            std::size_t k = kept.size();
            while (k > 0 && kept[k - 1] == '9')
                kept[--k] = '0';
            if (k == 0)
                kept.insert(kept.begin(), '1');
            else
                ++kept[k - 1];
        }
    }
    const std::size_t first = kept.find_first_not_of('0');
    kept = first == std::string::npos ? std::string() : kept.substr(first);
    const auto places = static_cast<std::size_t>(decimals);
    if (kept.size() < places + 1)
        kept.insert(0, places + 1 - kept.size(), '0');

    std::string out = s.negative && first != std::string::npos ? "-" : "";
    out += kept.substr(0, kept.size() - places);
    if (places > 0) {
        out += '.';
        out += kept.substr(kept.size() - places);
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
