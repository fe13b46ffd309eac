#include "trunking_sheet.h"

#include "convert.h"
#include "facts.h"
#include "pick.h"
#include "reference.h"
#include "trunking_window.h"

#include <algorithm>
#include <optional>

using sheet::Facts;
using sheet::shown;

namespace trunking {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

std::optional<double> number(const std::string& text)
{
    const numeric::Num n = numeric::parseStrict(text);
    return n ? std::optional<double>(n.value()) : std::nullopt;
}

// One cable row as an addition into the running total took it: the row's
// total and, where the window made them, the count, area and size behind it.
struct AddedRow {
    const CableRow* row;
    QString size, area, count, total;
};

// One click on 现在总面积 or 输入面积: the total before it, the typed area,
// the rows it added and the total after it.
struct Addition {
    QString before, typed, after;
    std::vector<AddedRow> rows;
};

const ui::Figure* figure(const ui::Record* r, const std::string& name) { return r ? r->figure(name) : nullptr; }

AddedRow addedRow(const CableRow& row, const ui::Figure& total)
{
    AddedRow a{&row, {}, {}, {}, qs(total.value)};
    const ui::Record* made = total.from.get();
    if (const ui::Figure* count = figure(made, row.field(3)))
        a.count = qs(count->value);
    if (const ui::Figure* area = figure(made, row.field(2))) {
        a.area = qs(area->value);
        if (const ui::Figure* size = figure(area->from.get(), row.field(1)))
            a.size = qs(size->value);
    }
    return a;
}

// The additions behind the running total, oldest first. The history ends
// where the total was typed, emptied or began.
std::vector<Addition> history(const Facts& facts)
{
    std::vector<Addition> found;
    QString after = facts.text("sz").trimmed();
    for (const ui::Record* r = facts.record("sz"); r;) {
        const ui::Figure* before = r->figure("sz");
        const ui::Figure* typed = r->figure("s");
        if (!before || !typed)
            break;
        Addition a{qs(before->value), qs(typed->value), after, {}};
        for (const CableRow& row : cableRows())
            if (const ui::Figure* total = r->figure(row.field(4)); total && total->value != "0")
                a.rows.push_back(addedRow(row, *total));
        found.push_back(std::move(a));
        after = qs(before->value);
        r = before->from.get();
    }
    std::reverse(found.begin(), found.end());
    return found;
}

// The group's own sum: typed area and row totals, left to right.
double groupSum(const Addition& a)
{
    double sum = number(a.typed.toStdString()).value_or(0);
    for (const AddedRow& row : a.rows)
        sum += number(row.total.toStdString()).value_or(0);
    return sum;
}

void runningTotal(const Facts& facts, sheet::Section& method, sheet::Section& given)
{
    const std::vector<Addition> additions = history(facts);
    const QString total = facts.text("sz").trimmed();
    if (additions.empty()) {
        method.formula(total.isEmpty() ? QStringLiteral("ΣA = 未计算") : QStringLiteral("ΣA = %1 mm²（输入值）").arg(total));
        return;
    }
    std::vector<QStringList> groups;
    for (std::size_t i = 0; i < additions.size(); ++i) {
        const Addition& a = additions[i];
        const QString group = QStringLiteral("第 %1 组").arg(i + 1);
        if (a.typed != "0")
            groups.push_back({group, QStringLiteral("输入面积"), "", "", "", a.typed});
        for (const AddedRow& r : a.rows)
            groups.push_back({group, qs(r.row->caption), r.size.isEmpty() ? QStringLiteral("—") : r.size,
                              r.area.isEmpty() ? QStringLiteral("—") : r.area, r.count.isEmpty() ? QStringLiteral("—") : r.count,
                              r.total});
        if (a.typed == "0" && a.rows.empty())
            groups.push_back({group, QStringLiteral("（无）"), "", "", "", "0"});
    }
    given.text(QStringLiteral("每次加入现在总面积的电缆（按加入时窗口中的数值）："))
        .table({"组", "种类", "型号", "单根截面(mm²)", "根数", "总截面(mm²)"}, groups);

    // Each addition as the window made it: the total before, the typed area
    // and every row total, summed from left to right.
    for (std::size_t i = 0; i < additions.size(); ++i) {
        const Addition& a = additions[i];
        QStringList terms{a.before};
        if (a.typed != "0")
            terms << a.typed;
        for (const AddedRow& r : a.rows)
            terms << r.total;
        QStringList pattern;
        for (int n = 1; n <= terms.size(); ++n)
            pattern << QStringLiteral("%%1").arg(n);
        method.formula(QStringLiteral("第 %1 次加入：").arg(i + 1) +
                       Facts::equationOf("ΣA", QStringLiteral("原总面积 + 输入面积 + 各行总截面"), pattern.join(" + "),
                                         terms, a.after, QStringLiteral("mm²")));
    }
    if (additions.size() > 1) {
        QStringList terms;
        const bool fromTyped = additions.front().before != "0";
        if (fromTyped)
            terms << additions.front().before;
        for (const Addition& a : additions)
            terms << shown(groupSum(a));
        QStringList pattern;
        for (int n = 1; n <= terms.size(); ++n)
            pattern << QStringLiteral("%%1").arg(n);
        method.formula(Facts::equationOf("ΣA", fromTyped ? QStringLiteral("起始值 + 各组之和") : QStringLiteral("各组之和"),
                                         pattern.join(" + "), terms, total, QStringLiteral("mm²")));
    }
    // The rows of the window are meant to change between additions, so only a
    // failed addition is worth a remark here.
    if (const QString r = facts.failureRemark("sz"); !r.isEmpty())
        method.text(QStringLiteral("注：") + r);
}

// The wire sections of the added rows whose size is a section in mm².
std::vector<double> wireSections(const std::vector<Addition>& additions)
{
    std::vector<double> sections;
    for (const Addition& a : additions)
        for (const AddedRow& r : a.rows)
            if (r.row->kind == Cable::VV || r.row->kind == Cable::BV || r.row->kind == Cable::RVS)
                if (const auto size = number(r.size.toStdString()))
                    sections.push_back(*size);
    return sections;
}

struct Rule {
    double percent;
    QString why;
    QStringList bands = {}; // the bands of the rules the added wires fall in, when more than one
};

// The pipe's own percentage by the rules text: the band of the largest wire
// added, and where the wires fall in several bands, the strictest of them.
Rule pipeRule(const std::vector<Addition>& additions)
{
    const std::vector<PipeRule> rules = pipeRules(fillRules());
    if (rules.empty())
        return {33, QStringLiteral("钢管按 33 %")};
    std::vector<const PipeRule*> bands;
    bool beyond = false;
    for (const double s : wireSections(additions)) {
        const PipeRule* band = nullptr;
        for (const PipeRule& r : rules)
            if (s <= r.upper && (s >= r.lower || &r == &rules.front()))
                band = &r;
        if (!band) {
            band = &rules.back();
            beyond = true;
        }
        if (std::find(bands.begin(), bands.end(), band) == bands.end())
            bands.push_back(band);
    }
    if (bands.empty())
        return {rules.front().percent, QStringLiteral("钢管按规则“%1”取 %2 %").arg(qs(rules.front().line), shown(rules.front().percent))};
    const PipeRule* strictest = *std::min_element(bands.begin(), bands.end(),
                                                  [](auto* a, auto* b) { return a->percent < b->percent; });
    QString why = QStringLiteral("钢管按规则“%1”取 %2 %").arg(qs(strictest->line), shown(strictest->percent));
    std::sort(bands.begin(), bands.end(), [](auto* a, auto* b) { return a->lower < b->lower; });
    QStringList named;
    for (const PipeRule* band : bands)
        named << QStringLiteral("%1~%2mm2 %3 %").arg(shown(band->lower), shown(band->upper), shown(band->percent));
    if (bands.size() > 1)
        why += QStringLiteral("（所穿电线截面分属规则中的 %1 档（%2），取其中最严的一档）").arg(bands.size()).arg(named.join("、"));
    if (beyond)
        why += QStringLiteral("（有电线截面超出规则所列范围，按最后一档计）");
    return {strictest->percent, why, bands.size() > 1 ? named : QStringList()};
}

Rule trunkingRule()
{
    if (const std::optional<TrunkingRule> r = wallTrunkingRule(fillRules()))
        return {r->percent, QStringLiteral("线槽按规则“%1”取 %2 %").arg(qs(r->line), shown(r->percent))};
    return {20, QStringLiteral("线槽按 20 %")};
}

void picks(const Facts& facts, sheet::Sheet& sheet, const std::vector<Addition>& additions)
{
    sheet::Section& s = sheet.section(QStringLiteral("四、选型"));
    const bool pipeShown = facts.state().shown.count("List2") && facts.state().shown.at("List2");
    const QString section = facts.text("xczmj").trimmed();
    const std::optional<double> required = number(section.toStdString());
    const std::optional<QString> totalUsed = facts.used("xczmj", "sz");
    const std::optional<QString> percentUsed = facts.used("xczmj", "bfs");

    struct Catalogue {
        const char* list;
        const char* tab;
        bool pipe;
    };
    const Catalogue catalogues[] = {{"List1", "Label10", false}, {"List2", "Label11", true}};
    std::vector<QStringList> rows;
    for (const Catalogue& c : catalogues) {
        const bool shownNow = c.pipe == pipeShown;
        std::optional<double> at;
        if (shownNow) {
            // The catalogue the window shows: the section the window worked out.
            at = required;
            if (required)
                s.text(QStringLiteral("%1（窗口所示目录）按所需截面 S = %2 mm²%3选。")
                           .arg(qs(facts.table().find(c.tab)->caption), section,
                                percentUsed ? QStringLiteral("（利用百分数 %1 %）").arg(*percentUsed) : QString()));
            // The wires in one pipe may fall under several of the rules.
            if (c.pipe && required && percentUsed) {
                const Rule rule = pipeRule(additions);
                if (!rule.bands.isEmpty())
                    s.text(QStringLiteral("注：所穿电线截面分属规则中的 %1 档（%2），钢管按窗口的利用百分数 %3 % 选；按最严的一档应取 %4 %。")
                               .arg(rule.bands.size()).arg(rule.bands.join("、"), *percentUsed, shown(rule.percent)));
                else if (number(percentUsed->toStdString()) != rule.percent)
                    s.text(QStringLiteral("注：%1，窗口的利用百分数为 %2 %。").arg(rule.why, *percentUsed));
            }
        } else {
            // The other catalogue at its own percentage from the rules text.
            const Rule rule = c.pipe ? pipeRule(additions) : trunkingRule();
            const QString total = totalUsed ? *totalUsed : shown(numeric::parseLenient(facts.text("sz").toStdString()).value());
            const numeric::Num other = numeric::multiply(numeric::divide(number(total.toStdString()).value_or(0), rule.percent), 100.0);
            if (other && (required || !facts.text("sz").trimmed().isEmpty())) {
                at = other.value();
                s.text(QStringLiteral("%1按其自身的利用百分数：%2。")
                           .arg(qs(facts.table().find(c.tab)->caption), rule.why));
                s.formula(Facts::equationOf(c.pipe ? QStringLiteral("S钢管") : QStringLiteral("S线槽"),
                                            QStringLiteral("ΣA / 百分数 × 100"), "%1 / %2 × 100",
                                            {total, shown(rule.percent)}, shown(other.value()), QStringLiteral("mm²")));
            }
        }
        std::vector<std::string> items = facts.table().find(c.list)->items;
        for (const Pick& p : smallestFitting(items, at.value_or(0))) {
            QString chosen = QStringLiteral("未计算");
            if (at)
                chosen = p.item ? qs(*p.item) : QStringLiteral("无合适规格");
            rows.push_back({qs(facts.table().find(c.tab)->caption), qs(p.heading), chosen});
        }
    }
    s.text(QStringLiteral("各组中内截面不小于所需截面的最小规格："))
        .table({"目录", "分组", "最小合适规格"}, rows);

    // Power and low-voltage circuits do not share a trunking.
    bool power = false, signal = false;
    for (const Addition& a : additions)
        for (const AddedRow& r : a.rows)
            (r.row->kind == Cable::SYV || r.row->kind == Cable::UTP ? signal : power) = true;
    if (power && signal)
        s.text(QStringLiteral("注：所加电缆中既有电力电缆（VV、BV、LGBC、RVS）又有弱电电缆（SYV、UTP）；按规则，强弱电线路不应同敷设于一根线槽内。"));
}

} // namespace

sheet::Sheet makeSheet(const ui::State& state)
{
    const Facts facts(window(), state);

    // The cable rows as the window shows them now.
    std::vector<QStringList> cables;
    for (const CableRow& r : cableRows()) {
        QStringList cells{qs(r.caption)};
        bool any = false;
        for (int column = 1; column <= 4; ++column) {
            const QString t = facts.text(r.field(column)).trimmed();
            any = any || !t.isEmpty();
            cells << t;
        }
        if (any)
            cables.push_back(cells);
    }
    const bool pipe = state.shown.count("List2") && state.shown.at("List2");
    const std::vector<Addition> additions = history(facts);

    sheet::Sheet sheet;
    sheet.title = QStringLiteral("线槽计算书");
    sheet::Section& given = sheet.section(QStringLiteral("一、计算条件"));
    std::vector<QStringList> conditions = facts.conditions(rowFields());
    conditions.push_back({QStringLiteral("计算对象"), "", pipe ? QStringLiteral("钢管") : QStringLiteral("线槽"), "", ""});
    given.table(Facts::tableHeader(), conditions);
    given.text(QStringLiteral("窗口中现有的电缆行："));
    if (cables.empty())
        given.text(QStringLiteral("（无）"));
    else
        given.table({"种类", "型号", "单根截面(mm²)", "根数", "总截面(mm²)"}, cables);

    sheet::Section& method = sheet.section(QStringLiteral("二、计算方法及公式"));
    method.text(QStringLiteral("各行总截面为单根截面乘以根数；现在总面积为每次加入时原总面积、输入面积与各行总截面之和；"
                               "所需截面为现在总面积除以利用百分数。各式代入该结果计算时所用的数值。"));
    for (const CableRow& r : cableRows())
        if (!facts.text(r.field(4)).trimmed().isEmpty())
            facts.addEquation(method, r.field(4), qs(r.caption) + QStringLiteral(" 总截面"), QStringLiteral("单根截面 × 根数"),
                              "%1 × %2", {r.field(2), r.field(3)}, QStringLiteral("mm²"));
    runningTotal(facts, method, given);
    facts.addEquation(method, "xczmj", "S", QStringLiteral("ΣA / 百分数 × 100"), "%1 / %2 × 100", {"sz", "bfs"},
                      QStringLiteral("mm²"));

    facts.addResults(sheet.section(QStringLiteral("三、计算结果")), rowFields());
    picks(facts, sheet, additions);
    sheet.section(QStringLiteral("五、计算依据")).text(facts.text("Text1"));
    return sheet;
}

std::string caseName(const ui::State& state)
{
    const bool pipe = state.shown.count("List2") && state.shown.at("List2");
    const std::string total = state.text("sz");
    const std::string what = pipe ? "钢管" : "线槽";
    const std::string percent = state.text("bfs") + " %";
    if (total.empty())
        return what + " " + percent;
    return "ΣA " + sheet::asRead(state, "sz") + " mm² " + what + " " + percent;
}

std::string check(const ui::State& state)
{
    const auto shown = [&state](const char* list) {
        const auto it = state.shown.find(list);
        return it == state.shown.end() ? !window().find(list)->hidden : it->second;
    };
    if (shown("List1") == shown("List2"))
        return "线槽计算窗口须恰好显示一个目录";
    const ui::Control* button = window().find("xcmj");
    const auto caption = state.captions.find("xcmj");
    const std::string showing = caption == state.captions.end() ? button->caption : caption->second;
    if ((showing == button->caption) != shown("List1"))
        return "线槽计算窗口的按钮与所示目录不符";
    return {};
}

std::vector<std::string> rowFields()
{
    std::vector<std::string> fields;
    for (const CableRow& r : cableRows())
        for (int column = 1; column <= 4; ++column)
            fields.push_back(r.field(column));
    return fields;
}

} // namespace trunking
