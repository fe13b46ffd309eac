#pragma once
// An evaluator of the equations a calculation sheet prints, of its own: it
// shares nothing with the code that wrote the sheet, so that a false line on
// a sheet cannot pass for a true one through a shared fault.
//
// A sheet states "symbol = expression = figures = value unit". The figures
// part is arithmetic in the sheet's own notation: + and − (U+2212), × and /,
// brackets ( ) and [ ], √( ), a power as "^1.3" or "²", the factor "10⁻⁶",
// and numbers with an optional exponent ("1.5E-05"); a signed number stands
// in brackets ("(-5)").

#include <QString>
#include <optional>

namespace equation {

struct Line {
    QString figures;       // the substituted part
    double stated = 0;     // the value the line states
    std::optional<double> evaluated; // the figures worked out, or none if they are not arithmetic
};

// The line as an equation with figures, or none when it states no
// arithmetic (a plain value, 未计算, an input value).
std::optional<Line> parse(const QString& line);

// The value of arithmetic in the sheet's notation, or none.
std::optional<double> evaluate(const QString& figures);

// Whether two figures agree to the 15 significant digits a sheet writes.
bool agrees(double a, double b);

} // namespace equation
