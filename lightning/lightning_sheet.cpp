#include "lightning_sheet.h"

#include "convert.h"
#include "facts.h"
#include "check2010.h"
#include "lightning_window.h"
#include "strike.h"

#include <QRegularExpression>
#include <optional>

using sheet::Facts;
using sheet::shown;

namespace lightning {

namespace {

std::optional<double> number(const std::optional<QString>& text)
{
    if (!text)
        return std::nullopt;
    const numeric::Num n = numeric::parseStrict(text->toStdString());
    return n ? std::optional<double>(n.value()) : std::nullopt;
}

// What the correction factor of an option stands for, by the code's own
// cases; the factor itself is the table's.
QString meaningOfK(const ui::Control* option)
{
    const std::string name = option ? option->name : std::string();
    if (name == "j1")
        return QStringLiteral("一般情况");
    if (name == "j2")
        return QStringLiteral("位于河边、湖边、山坡下或山地中土壤电阻率较小处、地下水露头处、土山顶部、山谷风口等处的建筑物，"
                              "以及特别潮湿的建筑物");
    if (name == "j3")
        return QStringLiteral("金属屋面的砖木结构建筑物");
    if (name == "j4")
        return QStringLiteral("位于旷野孤立的建筑物");
    return QStringLiteral("—");
}

// The rolling sphere's diameter as the low building's formula states it.
QString diameter() { return shown(2 * rollingSphereRadius); }

QString areaExpression(bool low)
{
    const QString d = diameter();
    return low ? QStringLiteral("[L × W + (W + L) × 2 × √(H × (") + d + QStringLiteral(" − H)) + (") + d +
                     QStringLiteral(" − H) × H × π] × 10⁻⁶")
               : QStringLiteral("[L × W + (W + L) × 2 × H + H² × π] × 10⁻⁶");
}

// π stands in the figures as the calculation takes it.
QString areaPattern(bool low)
{
    const QString d = diameter(), p = shown(pi);
    return low ? QStringLiteral("[%1 × %2 + (%2 + %1) × 2 × √(%3 × (") + d + QStringLiteral(" − %3)) + (") + d +
                     QStringLiteral(" − %3) × %3 × ") + p + QStringLiteral("] × 10⁻⁶")
               : QStringLiteral("[%1 × %2 + (%2 + %1) × 2 × %3 + %3² × ") + p + QStringLiteral("] × 10⁻⁶");
}

Importance importanceOf(const Facts& facts, const std::string& result)
{
    return facts.optionUsed(result, "jz1")->name == "jz2" ? Importance::Important : Importance::Ordinary;
}

// N with all its digits from the figures its step used, and the line that
// says how the window's two decimals follow from it.
void strikes(const Facts& facts, sheet::Section& s)
{
    const auto k = facts.used("n", "k"), ng = facts.used("n", "Ng"), ae = facts.used("n", "Ae");
    const auto kv = number(k), ngv = number(ng), aev = number(ae);
    if (!kv || !ngv || !aev) {
        facts.addEquation(s, "n", "N", "k × Ng × Ae", {}, {}, QStringLiteral("次/a"));
        return;
    }
    const numeric::Num product = strikeProduct(*aev, *ngv, *kv);
    if (!product)
        return;
    s.formula(Facts::equationOf("N", "k × Ng × Ae", "%1 × %2 × %3", {*k, *ng, *ae}, shown(product.value()),
                                QStringLiteral("次/a")));
    s.formula(QStringLiteral("N 四舍五入至两位小数：N = %1 次/a").arg(facts.text("n").trimmed()));
    if (const QString r = facts.remark("n"); !r.isEmpty())
        s.text(QStringLiteral("注：") + r);
}

// The 2010 class with the limit that decided it; N is compared as it is.
QString classLine(double n, Importance importance, Class2010 protection)
{
    const Limits limit = limits2010(importance);
    const QString upper = shown(limit.second), lower = shown(limit.third), value = shown(n);
    switch (protection) {
    case Class2010::Second: return QStringLiteral("N = %1 > %2：第二类防雷建筑物").arg(value, upper);
    case Class2010::Third: return QStringLiteral("%1 ≤ N = %2 ≤ %3：第三类防雷建筑物").arg(lower, value, upper);
    case Class2010::Neither:
        return QStringLiteral("N = %1 < %2：仅按年预计雷击次数，不属第二类或第三类防雷建筑物").arg(value, lower);
    }
    return {};
}

std::optional<QString> figureOf(const ui::Record* r, const std::string& name)
{
    const ui::Figure* f = r ? r->figure(name) : nullptr;
    return f ? std::optional<QString>(QString::fromStdString(f->value)) : std::nullopt;
}

// Whether N satisfies the comparison a verdict text opens with ("0.06<N<0.3",
// "N>0.3", "0.012<N<=0.06"), read literally.
bool satisfies(const QString& comparison, double n)
{
    const qsizetype at = comparison.indexOf(u'N');
    if (at < 0)
        return true;
    auto holds = [n](QString op, const QString& figure, bool left) {
        const numeric::Num limit = numeric::parseStrict(figure.toStdString());
        if (!limit)
            return true;
        if (left) // "a<" reads N > a
            op = op == "<" ? ">" : op == "<=" ? ">=" : op == ">" ? "<" : op == ">=" ? "<=" : op;
        const double v = limit.value();
        return op == "<" ? n < v : op == "<=" ? n <= v : op == ">" ? n > v : op == ">=" ? n >= v : true;
    };
    static const QRegularExpression leftPart(QStringLiteral("^([0-9.]+)(<=|<|>=|>)$")),
        rightPart(QStringLiteral("^(<=|<|>=|>)([0-9.]+)$"));
    const QRegularExpressionMatch l = leftPart.match(comparison.left(at)), r = rightPart.match(comparison.mid(at + 1));
    return (!l.hasMatch() || holds(l.captured(2), l.captured(1), true)) &&
           (!r.hasMatch() || holds(r.captured(1), r.captured(2), false));
}

// N on a limit gets a verdict text whose comparison leaves the limit out
// (N = 0.06 and "0.06<N<0.3,…三类…"): the sheet keeps the text and says that
// it is the window's verdict for that value.
void boundaryRemark(const Facts& facts, sheet::Section& s)
{
    const std::optional<double> n = number(facts.used("dj", "n"));
    const QString verdictText = facts.text("dj").trimmed();
    if (!n || !facts.record("dj"))
        return;
    const QString comparison = verdictText.section(u',', 0, 0);
    if (verdictText != QString::fromStdString(verdict(*n, importanceOf(facts, "dj"))) || satisfies(comparison, *n))
        return;
    s.text(QStringLiteral("注：N = %1 恰为限值，窗口对此值给出“%2”一档的结论。").arg(shown(*n), comparison));
}

void check(sheet::Sheet& sheet, const Facts& facts)
{
    sheet::Section& s = sheet.section(QStringLiteral("五、按 GB 50057-2010 复核"));
    const Importance importance = facts.record("dj") ? importanceOf(facts, "dj") : importanceOf(facts, "n");
    s.text(QStringLiteral("按现行《建筑物防雷设计规范》GB 50057-2010（附录A 及第3.0.3、3.0.4条），以窗口计算所用的同一 L、W、H、"
                          "Td、k 及建筑重要程度复核；N 取全部位数与限值比较。窗口中的结果不变。"));
    const Limits limit = limits2010(importance);
    s.text(QStringLiteral("%1：N > %2 为第二类防雷建筑物，%3 ≤ N ≤ %2 为第三类防雷建筑物。")
               .arg(importance == Importance::Important ? QStringLiteral("省部级办公楼")
                                                        : QStringLiteral("一般住宅、办公楼"),
                    shown(limit.second), shown(limit.third)));

    // Only a calculation the window has made is checked, with the figures it
    // was made from: Td behind Ng, and k and Ae as N used them.
    const auto td = figureOf(facts.madeFrom("n", "Ng"), "Td"), k = facts.used("n", "k"), ae = facts.used("n", "Ae");
    const auto tdv = number(td), kv = number(k), aev = number(ae);
    if (!tdv || !kv || !aev) {
        s.text(QStringLiteral("窗口尚未计算雷击次数，未复核。"));
        return;
    }
    const numeric::Num ng = strikeDensity2010(*tdv);
    const numeric::Num n = ng ? strikeProduct(*aev, ng.value(), *kv) : ng;
    if (!ng || !n) {
        s.text(QStringLiteral("窗口中的数值无法复核。"));
        return;
    }
    const numeric::Num rounded = twoDecimals(n);
    const QString factor = shown(strikeDensityFactor2010);
    s.formula(Facts::equationOf("Ng", factor + " × Td", factor + " × %1", {*td}, shown(ng.value()),
                                QStringLiteral("次/(km²·a)")))
        .formula(QStringLiteral("Ae = %1 km²（同上）").arg(*ae))
        .formula(Facts::equationOf(
            "N", "k × Ng × Ae", "%1 × %2 × %3", {*k, shown(ng.value()), *ae}, shown(n.value()),
            rounded ? QStringLiteral("次/a（四舍五入至两位小数为 %1；分类按未取舍的 N）").arg(shown(rounded.value()))
                    : QStringLiteral("次/a（分类按未取舍的 N）")))
        .text(QStringLiteral("复核结论：") + classLine(n.value(), importance, class2010(n.value(), importance)));
}

} // namespace

sheet::Sheet makeSheet(const ui::State& state)
{
    const Facts facts(window(), state);

    // k means what the factor the calculation used stands for, or before any
    // calculation the selected one.
    const ui::Control* kOption = facts.optionUsed("k", "j1");
    std::vector<QStringList> conditions = facts.conditions();
    for (QStringList& row : conditions)
        if (row[0] == QString::fromStdString(window().find("Frame1")->quantity.term))
            row[4] = (row[4].isEmpty() ? QString() : row[4] + "；") + meaningOfK(kOption);

    sheet::Sheet sheet;
    sheet.title = QStringLiteral("防雷计算书");
    sheet.section(QStringLiteral("一、计算条件")).table(Facts::tableHeader(), conditions);

    sheet::Section& method = sheet.section(QStringLiteral("二、计算方法及公式"));
    method.text(QStringLiteral("按建筑物年预计雷击次数确定防雷类别：先由年平均雷暴日求雷击大地的年平均密度，再求与建筑物截收"
                               "相同雷击次数的等效面积，最后求年预计雷击次数并与限值比较。各式代入该结果计算时所用的数值。"));
    const ui::Control* city = facts.optionUsed("Td", "xt");
    method.formula(facts.value("Td", "Td", "d/a", QStringLiteral("%1的年平均雷暴日").arg(QString::fromStdString(city->caption))));
    facts.addRemark(method, "Td");
    const QString density = shown(strikeDensityFactor) + " × ", exponent = "^" + shown(strikeDensityExponent);
    facts.addEquation(method, "Ng", "Ng", density + "Td" + exponent, density + "%1" + exponent, {"Td"},
                      QStringLiteral("次/(km²·a)"));
    // The formula is the one the height the step read calls for.
    const std::optional<double> h = number(facts.used("Ae", "H"));
    const bool low = isLowBuilding(h.value_or(0));
    if (facts.record("Ae"))
        method.text(QStringLiteral("H %1 %2 m，等效面积按下式（π 取 %3）：")
                        .arg(low ? QStringLiteral("<") : QStringLiteral("≥"), shown(rollingSphereRadius), shown(pi)));
    facts.addEquation(method, "Ae", "Ae", areaExpression(low), areaPattern(low), {"l", "w", "H"}, QStringLiteral("km²"));
    method.formula(facts.value(
        "k", "k", {},
        QStringLiteral("校正系数选 %1：%2").arg(QString::fromStdString(kOption->caption), meaningOfK(kOption))));
    facts.addRemark(method, "k");
    strikes(facts, method);

    sheet::Section& results = sheet.section(QStringLiteral("三、计算结果"));
    facts.addResults(results);
    results.text(QStringLiteral("防雷等级：") + sheet::result(facts.text("dj")));
    boundaryRemark(facts, results);
    if (const QString r = facts.remark("dj"); !r.isEmpty())
        results.text(QStringLiteral("注：") + r);

    sheet.section(QStringLiteral("四、计算依据"))
        .text(QStringLiteral("《建筑物防雷设计规范》GB 50057-94：附录一（建筑物年预计雷击次数），第二章（建筑物的防雷分类）。"));

    check(sheet, facts);
    return sheet;
}

std::string caseName(const ui::State& state)
{
    const auto read = [&state](const char* field) { return sheet::asRead(state, field); };
    std::string city;
    for (const ui::Control* option : window().group("xt"))
        if (state.isChecked(option->name))
            city = option->caption;
    return read("l") + "×" + read("w") + "×" + read("H") + " m " + city;
}

QString protectionClass(const ui::State& state)
{
    const QString verdictText = QString::fromStdString(state.text("dj")).trimmed();
    if (verdictText.isEmpty())
        return sheet::result({});
    for (const char* named : {"二类", "三类", "不用设防"})
        if (verdictText.contains(QString::fromUtf8(named)))
            return QString::fromUtf8(named);
    return verdictText;
}

} // namespace lightning
