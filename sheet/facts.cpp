#include "facts.h"

#include "convert.h"

#include <algorithm>
#include <map>

namespace sheet {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A caption as it reads in a sentence: no access key, no padding.
QString plainCaption(const std::string& caption)
{
    QString c = qs(caption);
    const qsizetype amp = c.indexOf('&');
    if (amp >= 0)
        c.remove(amp, amp + 2 == c.size() ? 2 : 1); // "计算雷击次数&C" → "计算雷击次数"
    return c.trimmed();
}

const QString notANumberNote = QStringLiteral("不是一个数");

// A caption that holds its unit after a figure ("40W"): the figure alone.
QString withoutUnit(const QString& caption, const QString& unit)
{
    if (unit.isEmpty() || !caption.endsWith(unit))
        return caption;
    const QString figure = caption.left(caption.size() - unit.size()).trimmed();
    return numeric::parseStrict(figure.toStdString()) ? figure : caption;
}

} // namespace

QString notANumber(const QString& fieldText)
{
    const QString t = fieldText.trimmed();
    if (t.isEmpty() || numeric::parseStrict(t.toStdString()))
        return {};
    return QStringLiteral("窗口中为“%1”，%2").arg(t, notANumberNote);
}

QString result(const QString& fieldText)
{
    const QString t = fieldText.trimmed();
    return t.isEmpty() ? QStringLiteral("未计算") : t;
}

QString input(const QString& fieldText)
{
    const QString t = fieldText.trimmed();
    return t.isEmpty() ? QStringLiteral("未填写") : t;
}

QString shown(double value) { return qs(numeric::formatNumber(value)); }
QString shown(const std::string& text) { return qs(text); }

std::string asRead(const ui::State& state, const std::string& field)
{
    return numeric::formatNumber(numeric::parseLenient(state.text(field)).value());
}

QString bracketed(const QString& figure)
{
    const QString f = figure.trimmed();
    return f.startsWith('-') || f.startsWith('+') ? "(" + f + ")" : f;
}

QString Facts::text(const std::string& field) const { return qs(state_.text(field)); }

bool Facts::placeholder(const std::string& field) const
{
    const ui::Control* c = table_.find(field);
    return c && c->quantity.role == ui::Role::Result && !c->caption.empty() && !record(field) &&
           state_.text(field) == c->caption;
}

std::optional<QString> Facts::used(const std::string& result, const std::string& name) const
{
    const ui::Record* r = record(result);
    if (!r)
        return std::nullopt;
    const ui::Figure* f = r->figure(name);
    if (!f)
        return std::nullopt;
    return qs(f->value);
}

const ui::Control* Facts::optionNow(const std::string& member) const
{
    const auto group = table_.group(member);
    for (const ui::Control* o : group)
        if (state_.isChecked(o->name))
            return o;
    for (const ui::Control* o : group)
        if (o->selected)
            return o;
    return group.empty() ? nullptr : group.front();
}

const ui::Control* Facts::optionUsed(const std::string& result, const std::string& member) const
{
    if (const ui::Record* r = record(result))
        for (const ui::Control* o : table_.group(member))
            if (const ui::Figure* f = r->figure(o->name); f && f->kind == ui::Figure::Kind::Option)
                return o;
    return optionNow(member);
}

QString Facts::nameOf(const std::string& control) const
{
    const ui::Control* c = table_.find(control);
    if (!c)
        return qs(control);
    if (!c->quantity.symbol.empty())
        return qs(c->quantity.symbol);
    if (!c->quantity.term.empty())
        return qs(c->quantity.term);
    if (c->kind == ui::Kind::Button || c->kind == ui::Kind::Option || c->kind == ui::Kind::Label)
        return plainCaption(c->caption);
    if (const ui::Control* label = table_.labelOf(control))
        return plainCaption(label->caption);
    return qs(c->tooltip.empty() ? c->name : c->tooltip);
}

namespace {

// What the failure note calls a field: what it stands for, else its label.
QString termOf(const ui::Table& table, const std::string& field)
{
    const ui::Control* c = table.find(field);
    if (c && !c->quantity.term.empty())
        return qs(c->quantity.term);
    if (const ui::Control* label = table.labelOf(field))
        return plainCaption(label->caption);
    return c ? plainCaption(c->caption.empty() ? c->tooltip : c->caption) : qs(field);
}

} // namespace

QString Facts::equationOf(const QString& symbol, const QString& expression, const QString& pattern,
                          const QStringList& figures, const QString& value, const QString& unit)
{
    QString line = symbol + " = " + expression;
    // One pass, so that a figure's own text is never substituted again.
    QString substituted;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const int n = i + 1 < pattern.size() && pattern[i] == '%' ? pattern[i + 1].digitValue() : -1;
        if (n >= 1 && n <= figures.size()) {
            substituted += bracketed(figures[n - 1]);
            ++i;
        } else {
            substituted += pattern[i];
        }
    }
    if (!substituted.isEmpty())
        line += " = " + substituted;
    line += " = " + value.trimmed();
    if (!unit.isEmpty())
        line += " " + unit;
    return line;
}

QString Facts::equation(const std::string& result, const QString& symbol, const QString& expression,
                        const QString& pattern, const std::vector<std::string>& figures, const QString& unit) const
{
    const QString value = text(result).trimmed();
    if (value.isEmpty() || placeholder(result))
        return symbol + " = " + expression + QStringLiteral(" = 未计算");
    if (!record(result))
        return !notANumber(value).isEmpty()
                   ? symbol + QStringLiteral("：") + notANumber(value)
                   : symbol + " = " + value + (unit.isEmpty() ? QString() : " " + unit) + QStringLiteral("（输入值）");
    QStringList put;
    for (const std::string& name : figures) {
        const std::optional<QString> f = used(result, name);
        if (!f)
            return equationOf(symbol, expression, {}, {}, value, unit);
        put << *f;
    }
    return equationOf(symbol, expression, pattern, put, value, unit);
}

QString Facts::value(const std::string& result, const QString& symbol, const QString& unit, const QString& why) const
{
    const QString v = text(result).trimmed();
    const QString u = unit.isEmpty() ? QString() : " " + unit;
    if (v.isEmpty() || placeholder(result))
        return symbol + QStringLiteral(" = 未计算");
    if (!record(result))
        return !notANumber(v).isEmpty() ? symbol + QStringLiteral("：") + notANumber(v)
                                        : symbol + " = " + v + u + QStringLiteral("（输入值）");
    return symbol + " = " + v + u + (why.isEmpty() ? QString() : QStringLiteral("（%1）").arg(why));
}

const ui::Record* Facts::madeFrom(const std::string& result, const std::string& name) const
{
    const ui::Record* r = record(result);
    const ui::Figure* f = r ? r->figure(name) : nullptr;
    return f ? f->from.get() : nullptr;
}

std::optional<QString> Facts::differs(const ui::Figure& f) const
{
    switch (f.kind) {
    case ui::Figure::Kind::Strict:
    case ui::Figure::Kind::Lenient: {
        const std::string now = state_.text(f.name);
        const numeric::Num n =
            f.kind == ui::Figure::Kind::Strict ? numeric::parseStrict(now) : numeric::parseLenient(now);
        if (n && numeric::formatNumber(n.value()) == f.value)
            return std::nullopt;
        const QString t = qs(now).trimmed();
        return t.isEmpty() ? QStringLiteral("空") : t;
    }
    case ui::Figure::Kind::Option: {
        if (state_.isChecked(f.name))
            return std::nullopt;
        const ui::Control* now = optionNow(f.name);
        return now ? plainCaption(now->caption) : QString();
    }
    case ui::Figure::Kind::Lookup: return std::nullopt;
    }
    return std::nullopt;
}

QString Facts::remark(const std::string& result) const
{
    const ui::Record* r = record(result);
    if (!r) {
        const QString t = text(result).trimmed();
        if (t.isEmpty() || placeholder(result))
            return {};
        return notANumber(t).isEmpty() ? QStringLiteral("输入值") : notANumberNote;
    }
    // A running total reads itself and the figures it adds are meant to
    // change between additions: only a failure is worth saying.
    if (r->figure(result))
        return failureRemark(result);
    QStringList parts;
    if (const QString failed = failureRemark(result); !failed.isEmpty())
        parts << failed;
    QStringList was, now;
    for (const ui::Figure& f : r->figures) {
        const std::optional<QString> d = differs(f);
        if (!d)
            continue;
        if (f.kind == ui::Figure::Kind::Option) {
            was << qs(f.value);
            now << QStringLiteral("现选 %1").arg(*d);
        } else {
            const QString name = nameOf(f.name);
            was << QStringLiteral("%1 = %2").arg(name, qs(f.value));
            now << (*d == QStringLiteral("空") ? QStringLiteral("%1 现为空").arg(name)
                                               : QStringLiteral("%1 现为 %2").arg(name, *d));
        }
    }
    if (!was.isEmpty())
        parts << QStringLiteral("按 %1 算得；窗口中 %2，未重新计算").arg(was.join("、"), now.join("、"));
    return parts.join("；");
}

QString Facts::failureRemark(const std::string& result) const
{
    const ui::Record* r = record(result);
    if (!r)
        return {};
    if (const auto it = state_.failures.find(r->by); it != state_.failures.end() && it->second.step > r->step)
        return QStringLiteral("最后一次计算在%1处失败：%2，此为上一次计算的结果")
            .arg(termOf(table_, it->second.field), qs(it->second.why));
    return {};
}

QStringList Facts::failures() const
{
    QStringList lines;
    for (const auto& [by, f] : state_.failures)
        lines << QStringLiteral("最后一次“%1”在%2处失败：%3。").arg(nameOf(by), termOf(table_, f.field), qs(f.why));
    return lines;
}

QStringList Facts::tableHeader() { return {"项目", "符号", "数值", "单位", "说明"}; }

std::vector<QStringList> Facts::conditions(const std::vector<std::string>& skip) const
{
    auto skipped = [&skip](const std::string& name) { return std::find(skip.begin(), skip.end(), name) != skip.end(); };
    std::vector<QStringList> rows;
    for (const ui::Control& c : table_.controls) {
        if (skipped(c.name))
            continue;
        const bool isField = c.kind == ui::Kind::Field || c.kind == ui::Kind::Combo || c.kind == ui::Kind::MultiField;
        if (isField && c.quantity.role == ui::Role::Input) {
            // Every figure of this field that a result was made from, with
            // the results made from it.
            std::map<std::string, QStringList> values;
            const ui::Figure* any = nullptr;
            for (const auto& [field, record] : state_.records)
                if (record)
                    if (const ui::Figure* f = record->figure(c.name)) {
                        values[f->value] << nameOf(field);
                        any = f;
                    }
            QString value, note;
            if (!any) {
                value = input(text(c.name));
            } else if (values.size() == 1) {
                value = qs(values.begin()->first);
                if (const std::optional<QString> d = differs(*any))
                    note = QStringLiteral("窗口中现为 %1").arg(*d);
            } else {
                QStringList each;
                for (const auto& [v, results] : values)
                    each << QStringLiteral("%1（%2）").arg(qs(v), results.join("、"));
                value = each.join("；");
                note = QStringLiteral("窗口中现为 %1").arg(input(text(c.name)));
            }
            rows.push_back({qs(c.quantity.term), qs(c.quantity.symbol), value, qs(c.quantity.unit), note});
        } else if (c.kind == ui::Kind::Option) {
            const auto group = table_.group(c.name);
            const ui::Quantity* q = table_.groupQuantity(c.name);
            if (group.empty() || group.front() != &c || !q || q->role != ui::Role::Input)
                continue;
            std::map<std::string, QStringList> usedOptions;
            for (const auto& [field, record] : state_.records)
                if (record)
                    for (const ui::Control* o : group)
                        if (const ui::Figure* f = record->figure(o->name); f && f->kind == ui::Figure::Kind::Option)
                            usedOptions[o->name] << nameOf(field);
            const ui::Control* now = optionNow(c.name);
            QString value, note;
            // A caption that already says the unit ("40W") gives its figure, the unit its own column.
            const QString unit = qs(q->unit);
            auto caption = [&](const ui::Control* o) { return withoutUnit(plainCaption(o->caption), unit); };
            if (usedOptions.empty()) {
                value = now ? caption(now) : QString();
            } else {
                QStringList each;
                for (const auto& [o, results] : usedOptions)
                    each << (usedOptions.size() == 1
                                 ? caption(table_.find(o))
                                 : QStringLiteral("%1（%2）").arg(caption(table_.find(o)), results.join("、")));
                value = each.join("；");
                if (now && (usedOptions.size() > 1 || !usedOptions.count(now->name)))
                    note = QStringLiteral("窗口中现选 %1").arg(plainCaption(now->caption));
            }
            rows.push_back({qs(q->term), qs(q->symbol), value, unit, note});
        }
    }
    return rows;
}

std::vector<QStringList> Facts::results(const std::vector<std::string>& skip) const
{
    std::vector<QStringList> rows;
    for (const ui::Control& c : table_.controls) {
        if (c.quantity.role != ui::Role::Result || c.kind == ui::Kind::MultiField ||
            std::find(skip.begin(), skip.end(), c.name) != skip.end())
            continue;
        const QString shownText = placeholder(c.name) ? QString() : text(c.name);
        const bool typed = !record(c.name) && !notANumber(shownText).isEmpty();
        rows.push_back({qs(c.quantity.term), qs(c.quantity.symbol), result(shownText),
                        typed ? QString() : qs(c.quantity.unit), remark(c.name)});
    }
    return rows;
}

void Facts::addResults(Section& section, const std::vector<std::string>& skip) const
{
    const std::vector<QStringList> rows = results(skip);
    section.table(tableHeader(), rows);
    for (const QStringList& row : rows)
        if (row.back().contains(QStringLiteral("未重新计算"))) {
            section.text(QStringLiteral("注：窗口中有输入在计算后改过而未重新计算，见上表说明；各式均按计算时所用的数值列出。"));
            break;
        }
    for (const QString& line : failures())
        section.text(line);
}

void Facts::addEquation(Section& section, const std::string& result, const QString& symbol,
                        const QString& expression, const QString& pattern, const std::vector<std::string>& figures,
                        const QString& unit) const
{
    section.formula(equation(result, symbol, expression, pattern, figures, unit));
    addRemark(section, result);
}

void Facts::addRemark(Section& section, const std::string& result) const
{
    // An input value or a text that is no number: its line already says so.
    if (const QString r = remark(result); !r.isEmpty() && r != QStringLiteral("输入值") && r != notANumberNote)
        section.text(QStringLiteral("注：") + r);
}

} // namespace sheet
