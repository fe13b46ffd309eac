#include "figures.h"

#include <cmath>
#include <cstdio>

namespace circuits::detail {

namespace {
const double sqrt3 = std::sqrt(3.0);
} // namespace

bool finite(double v) { return std::isfinite(v); }
bool finite(const Impedance& z) { return finite(z.r) && finite(z.x) && finite(z.magnitude()); }

// A figure for a sentence: rounded to `decimals`, without trailing zeros ("5", "5.62", "0.5").
std::string figure(double value, int decimals)
{
    const int n = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    if (n <= 0)
        return "?";
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(s.data(), s.size(), "%.*f", decimals, value);
    s.resize(static_cast<std::size_t>(n));
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
    }
    if (s == "-0")
        s = "0";
    return s;
}

// The same, rounded down: a bound that is "not above" stays true as written.
std::string figureBelow(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return figure(std::floor(value * scale) / scale, decimals);
}

std::string sectionFigure(double section) { return std::string(sectionText(section)) + " mm²"; }

double threePhaseCurrent(const Impedance& z) { return voltageFactor * nominalVoltage / (sqrt3 * z.magnitude()); }

const char* const tooLarge = "数值过大，无法计算";

std::optional<std::string> originProblem(const Origin& origin)
{
    if (!finite(origin.shortCircuit) || !finite(origin.loop) || !finite(origin.drop))
        return "配电箱始端的阻抗或电压损失不是有限的数";
    if (origin.shortCircuit.r < 0 || origin.shortCircuit.x < 0 || origin.loop.r < 0 || origin.loop.x < 0)
        return "配电箱始端的阻抗不能为负";
    if (!(origin.shortCircuit.magnitude() > 0) || !(origin.loop.magnitude() > 0))
        return "配电箱始端的阻抗为 0：须由电源或上级馈线算出";
    if (origin.drop < 0)
        return "配电箱始端的电压损失不能为负";
    if (!finite(threePhaseCurrent(origin.shortCircuit)))
        return tooLarge;
    return std::nullopt;
}


} // namespace circuits::detail
