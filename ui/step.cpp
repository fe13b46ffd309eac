#include "step.h"

#include <cmath>

namespace ui {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

QString reasonText(numeric::Failure failure)
{
    switch (failure) {
    case numeric::Failure::NotANumber: return QStringLiteral("不是一个数");
    case numeric::Failure::DivisionByZero: return QStringLiteral("除数为零，无法计算");
    case numeric::Failure::Overflow: return QStringLiteral("数值超出可计算的范围");
    case numeric::Failure::NegativeRoot: return QStringLiteral("负数不能开方");
    }
    return {};
}

Step::Step(Form& form, bool quiet) : form_(form), quiet_(quiet), by_(form.trigger()), step_(form.nextStep()) {}

Step::~Step()
{
    if (quiet_)
        return;
    if (failed_) {
        form_.stepFailed({by_, step_, failedField_, why_.toStdString()});
        form_.showFailure(failedField_, why_);
    } else {
        form_.stepSucceeded(by_);
        form_.clearFailure();
    }
}

void Step::use(std::string_view name, Figure::Kind kind, std::string value)
{
    Figure f{std::string(name), kind, std::move(value), nullptr};
    if (kind == Figure::Kind::Strict || kind == Figure::Kind::Lenient) {
        f.from = form_.record(name);
        if (f.from && f.from->depth >= maxRecordDepth)
            f.from = nullptr; // the oldest history goes; the figure itself stays
    }
    // A field read again counts once, as last read.
    for (Figure& earlier : used_)
        if (earlier.name == f.name) {
            earlier = std::move(f);
            return;
        }
    used_.push_back(std::move(f));
}

RecordPtr Step::record() const
{
    auto r = std::make_shared<Record>();
    r->by = by_;
    r->step = step_;
    r->figures = used_;
    for (const Figure& f : used_)
        if (f.from)
            r->depth = std::max(r->depth, f.from->depth + 1);
    return r;
}

bool Step::checked(std::string_view name)
{
    const bool on = form_.isChecked(name);
    if (on && !failed_)
        use(name, Figure::Kind::Option, form_.text(name).toStdString());
    return on;
}

void Step::lookedUp(std::string_view table, std::string_view row)
{
    if (!failed_)
        use(table, Figure::Kind::Lookup, std::string(row));
}

void Step::fail(std::string_view name, numeric::Failure failure, const QString& why)
{
    if (failed_)
        return;
    failed_ = true;
    failedField_ = std::string(name);
    why_ = why.isEmpty() ? reasonText(failure) : why;
}

double Step::strict(std::string_view name) { return read(name, Figure::Kind::Strict); }

double Step::lenient(std::string_view name) { return read(name, Figure::Kind::Lenient); }

double Step::read(std::string_view name, Figure::Kind kind)
{
    if (failed_)
        return 0;
    const std::string text = form_.text(name).toStdString();
    const numeric::Num n = kind == Figure::Kind::Strict ? numeric::parseStrict(text) : numeric::parseLenient(text);
    if (n) {
        use(name, kind, numeric::formatNumber(n.value()));
        return n.value();
    }
    // An empty field is not a wrong number: it is one still to be given, or
    // one an earlier step of the window works out.
    QString why;
    if (QString::fromStdString(text).trimmed().isEmpty()) {
        const Control* c = form_.table().find(std::string(name));
        why = c && c->quantity.role == Role::Result ? QStringLiteral("请先计算") + qs(c->quantity.term)
                                                     : QStringLiteral("未填写");
    }
    fail(name, n.failure(), why);
    return 0;
}

std::pair<std::string, QString> Step::blame(std::string_view result, numeric::Failure failure) const
{
    if (const Blame* b = form_.table().blameFor(result, failure))
        return {b->input, qs(b->why)};
    const Figure* on = nullptr;
    if (failure == numeric::Failure::Overflow) {
        // The figure farthest from 1: the larger factor of a product, the
        // smaller divisor of a quotient. A zero never makes an overflow.
        double farthest = -1;
        for (const Figure& f : used_) {
            if (f.kind != Figure::Kind::Strict && f.kind != Figure::Kind::Lenient)
                continue;
            const double magnitude = std::fabs(numeric::parseStrict(f.value).value());
            if (magnitude == 0)
                continue;
            if (const double away = std::fabs(std::log(magnitude)); away > farthest) {
                farthest = away;
                on = &f;
            }
        }
    } else {
        for (const Figure& f : used_)
            if (f.kind == Figure::Kind::Strict || f.kind == Figure::Kind::Lenient)
                on = &f; // the last input read
    }
    return {on ? on->name : std::string(result), QString()};
}

void Step::write(std::string_view name, numeric::Num value)
{
    if (failed_)
        return;
    if (!value) {
        const auto [input, why] = blame(name, value.failure());
        fail(input, value.failure(), why);
        return;
    }
    const std::string text = numeric::formatNumber(value.value());
    form_.write(name, qs(text), record());
    used_.clear();
}

void Step::writeText(std::string_view name, std::string_view text)
{
    if (failed_)
        return;
    form_.write(name, qs(text), text.empty() ? nullptr : record());
    used_.clear();
}

} // namespace ui
