#include "sheet_figures.h"

#include "convert.h"
#include "facts.h"
#include "schedule_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace load::figures {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

} // namespace

QString fig(double value) { return qs(numeric::formatNumber(value)); }

QString exact(double value)
{
    const std::string text = numeric::formatNumber(value);
    const numeric::Num back = numeric::parseStrict(text);
    if (back && back.value() == value)
        return qs(text);
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    std::string shortest(buffer, end);
    std::replace(shortest.begin(), shortest.end(), 'e', 'E');
    return qs(shortest);
}

double valueOf(const QString& figure)
{
    const numeric::Num n = numeric::parseStrict(figure.toStdString());
    return n ? n.value() : 0;
}

bool holds(double worked, double value)
{
    return std::fabs(worked - value) <= 1e-14 * std::max(std::fabs(worked), std::fabs(value));
}

QString rounded(double value, int decimals) { return qs(shown(value, decimals)); }

QString factor(double value)
{
    const std::string two = shown(value, 2);
    return valueOf(qs(two)) == value ? qs(two) : rounded(value, 3);
}

QString roundingOf(double value, int decimals, const QString& unit)
{
    static const char* const places[] = {"整数", "一位小数", "两位小数", "三位小数"};
    return QStringLiteral("四舍五入至%1为 %2%3")
        .arg(QString::fromUtf8(places[decimals]), rounded(value, decimals), unit.isEmpty() ? QString() : " " + unit);
}

QString roundedTo(double value, int decimals, const QString& unit)
{
    return QStringLiteral("（%1）").arg(roundingOf(value, decimals, unit));
}

QString line(const QString& symbol, const QString& expression, const QString& figures, const QString& value,
             const QString& unit)
{
    return symbol + " = " + expression + " = " + figures + " = " + value + (unit.isEmpty() ? QString() : " " + unit);
}

QString equation(const QString& symbol, const QString& expression, const QString& pattern, const QStringList& figures,
                 double value, const QString& unit, const QString& after)
{
    return sheet::Facts::equationOf(symbol, expression, pattern, figures, fig(value), unit) + after;
}

} // namespace load::figures
