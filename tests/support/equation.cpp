#include "equation.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace equation {

namespace {

class Parser {
public:
    explicit Parser(const QString& text) : s_(text) { s_.remove(' '); }

    std::optional<double> all()
    {
        const std::optional<double> v = sum();
        if (!v || i_ != s_.size())
            return std::nullopt;
        return v;
    }

private:
    bool eat(const QString& token)
    {
        if (s_.mid(i_, token.size()) != token)
            return false;
        i_ += token.size();
        return true;
    }

    std::optional<double> sum()
    {
        std::optional<double> v = product();
        while (v) {
            if (eat("+")) {
                const auto r = product();
                v = r ? std::optional<double>(*v + *r) : std::nullopt;
            } else if (eat(QStringLiteral("−")) || eat("-")) {
                const auto r = product();
                v = r ? std::optional<double>(*v - *r) : std::nullopt;
            } else {
                break;
            }
        }
        return v;
    }

    std::optional<double> product()
    {
        std::optional<double> v = power();
        while (v) {
            if (eat(QStringLiteral("×"))) {
                const auto r = power();
                v = r ? std::optional<double>(*v * *r) : std::nullopt;
            } else if (eat("/")) {
                const auto r = power();
                v = r && *r != 0 ? std::optional<double>(*v / *r) : std::nullopt;
            } else {
                break;
            }
        }
        return v;
    }

    std::optional<double> power()
    {
        std::optional<double> v = unary();
        while (v) {
            if (eat(QStringLiteral("²"))) {
                v = *v * *v;
            } else if (eat("^")) {
                const auto e = unary();
                v = e ? std::optional<double>(std::pow(*v, *e)) : std::nullopt;
            } else {
                break;
            }
        }
        return v;
    }

    std::optional<double> unary()
    {
        if (eat("-") || eat(QStringLiteral("−"))) {
            const auto v = unary();
            return v ? std::optional<double>(-*v) : std::nullopt;
        }
        return primary();
    }

    std::optional<double> primary()
    {
        if (eat(QStringLiteral("10⁻⁶")))
            return 1e-6;
        if (eat(QStringLiteral("√("))) {
            const auto v = sum();
            if (!v || !eat(")") || *v < 0)
                return std::nullopt;
            return std::sqrt(*v);
        }
        for (const auto& [open, close] : {std::pair{"(", ")"}, std::pair{"[", "]"}}) {
            if (eat(open)) {
                const auto v = sum();
                if (!v || !eat(close))
                    return std::nullopt;
                return v;
            }
        }
        return number();
    }

    std::optional<double> number()
    {
        const qsizetype start = i_;
        while (i_ < s_.size() && (s_[i_].isDigit() || s_[i_] == '.'))
            ++i_;
        if (i_ < s_.size() && (s_[i_] == 'E' || s_[i_] == 'e')) {
            ++i_;
            if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-'))
                ++i_;
            while (i_ < s_.size() && s_[i_].isDigit())
                ++i_;
        }
        if (i_ == start)
            return std::nullopt;
        bool ok = false;
        const double v = s_.mid(start, i_ - start).toDouble(&ok);
        return ok ? std::optional<double>(v) : std::nullopt;
    }

    QString s_;
    qsizetype i_ = 0;
};

// The number a value part starts with ("534 W", "0.21 次/a（…）").
std::optional<double> leadingNumber(const QString& text)
{
    QString t = text.trimmed();
    qsizetype n = 0;
    while (n < t.size() && (t[n].isDigit() || t[n] == '.' || t[n] == '-' || t[n] == '+' || t[n] == 'E' || t[n] == 'e'))
        ++n;
    bool ok = false;
    const double v = t.left(n).toDouble(&ok);
    return ok && n > 0 ? std::optional<double>(v) : std::nullopt;
}

bool hasDigit(const QString& s)
{
    for (const QChar c : s)
        if (c.isDigit())
            return true;
    return false;
}

} // namespace

std::optional<double> evaluate(const QString& figures) { return Parser(figures).all(); }

bool agrees(double a, double b)
{
    const double scale = std::max({std::fabs(a), std::fabs(b), 1e-300});
    return std::fabs(a - b) <= 1e-12 * scale;
}

std::optional<Line> parse(const QString& line)
{
    const QStringList parts = line.split(" = ");
    if (parts.size() < 3)
        return std::nullopt;
    const QString figures = parts[parts.size() - 2];
    const std::optional<double> stated = leadingNumber(parts.back());
    // The symbolic expression holds letters; a figures part holds digits and
    // operators only.
    if (!stated || !hasDigit(figures))
        return std::nullopt;
    return Line{figures, *stated, evaluate(figures)};
}

} // namespace equation
