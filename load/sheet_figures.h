#pragma once
// How the schedule's sheets write their figures, so that every line a
// checker works out again gives the value it states: a worked-out figure
// with the 15 significant digits the calculation kept, a typed one exactly
// as it was read, a rounded one as the tables show it.

#include <QString>
#include <QStringList>

namespace load::figures {

// A worked-out figure: the 15 significant digits the sheet writes.
QString fig(double value);
// A figure as it was read: its 15 digits when they give the value back, else
// the shortest text that does, so that a line worked with it is exactly the
// line the schedule worked.
QString exact(double value);
// The value a figure's text stands for.
double valueOf(const QString& figure);
// Whether a line worked with 15-digit figures still gives its value to 15 digits.
bool holds(double worked, double value);
QString rounded(double value, int decimals);
// Kx and cosφ as a schedule writes them: two decimals, three when two would not show the factor.
QString factor(double value);
// "四舍五入至两位小数为 453.33 kVA": how a line's value stands in the table.
QString roundingOf(double value, int decimals, const QString& unit);
QString roundedTo(double value, int decimals, const QString& unit);
// "symbol = expression = figures = value unit" with the figures already put in.
QString line(const QString& symbol, const QString& expression, const QString& figures, const QString& value,
             const QString& unit);
// The same from a pattern with %1, %2 …; `after` follows the unit: how the
// value is rounded for the table, or what it decides.
QString equation(const QString& symbol, const QString& expression, const QString& pattern, const QStringList& figures,
                 double value, const QString& unit, const QString& after = {});

} // namespace load::figures
