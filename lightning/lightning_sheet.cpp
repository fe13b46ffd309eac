#include "lightning_sheet.h"

#include "app/ui/form.h"
#include "check2010.h"
#include "strike.h"

#include <optional>

using sheet::formula;
using sheet::input;
using sheet::result;

namespace lightning {

namespace {

// Td, k and Ng show their own symbol until the first calculation.
QString calculated(const ui::Form& f, const char* name)
{
    const QString text = f.text(name).trimmed();
    return text == QLatin1String(name) ? QString() : text;
}

std::optional<double> strictly(const QString& text)
{
    const numeric::Num n = numeric::parseStrict(text.toStdString());
    return n ? std::optional<double>(n.value()) : std::nullopt;
}

double leniently(const QString& text) { return numeric::parseLenient(text.toStdString()).value(); }

QString shown(double value) { return QString::fromStdString(numeric::formatNumber(value)); }

// What the correction factor stands for, by the code's own cases.
QString meaningOfK(double k)
{
    if (k == 1)
        return QStringLiteral("一般情况");
    if (k == 1.5)
        return QStringLiteral("位于河边、湖边、山坡下或山地中土壤电阻率较小处、地下水露头处、土山顶部、山谷风口等处的建筑物，"
                              "以及特别潮湿的建筑物");
    if (k == 1.7)
        return QStringLiteral("金属屋面的砖木结构建筑物");
    if (k == 2)
        return QStringLiteral("位于旷野孤立的建筑物");
    return QStringLiteral("—");
}

const char* const kOptions[] = {"j1", "j2", "j3", "j4"};

QString areaExpression(bool low)
{
    return low ? QStringLiteral("[L × W + (W + L) × 2 × √(H × (200 − H)) + (200 − H) × H × π] × 10⁻⁶")
               : QStringLiteral("[L × W + (W + L) × 2 × H + H² × π] × 10⁻⁶");
}

QString areaPattern(bool low)
{
    return low ? QStringLiteral("[%1 × %2 + (%2 + %1) × 2 × √(%3 × (200 − %3)) + (200 − %3) × %3 × 3.1416] × 10⁻⁶")
               : QStringLiteral("[%1 × %2 + (%2 + %1) × 2 × %3 + %3² × 3.1416] × 10⁻⁶");
}

// The 2010 class with the limit that decided it.
QString classLine(double n, Importance importance, Class2010 protection)
{
    const bool important = importance == Importance::Important;
    const QString upper = important ? "0.05" : "0.25", lower = important ? "0.01" : "0.05", value = shown(n);
    switch (protection) {
    case Class2010::Second: return QStringLiteral("N = %1 > %2：第二类防雷建筑物").arg(value, upper);
    case Class2010::Third: return QStringLiteral("%1 ≤ N = %2 ≤ %3：第三类防雷建筑物").arg(lower, value, upper);
    case Class2010::Neither:
        return QStringLiteral("N = %1 < %2：仅按年预计雷击次数，不属第二类或第三类防雷建筑物").arg(value, lower);
    }
    return {};
}

void check(sheet::Sheet& sheet, const ui::Form& f, const QString& l, const QString& w, const QString& h)
{
    sheet::Section& s = sheet.section(QStringLiteral("五、按 GB 50057-2010 复核"));
    const Importance importance = f.isChecked("jz2") ? Importance::Important : Importance::Ordinary;
    s.text(QStringLiteral("按现行《建筑物防雷设计规范》GB 50057-2010（附录A 及第3.0.3、3.0.4条），以窗口计算所用的同一 L、W、H、"
                          "Td、k 及建筑重要程度复核。窗口中的结果不变。"));
    s.text(importance == Importance::Important
               ? QStringLiteral("省部级办公楼：N > 0.05 为第二类防雷建筑物，0.01 ≤ N ≤ 0.05 为第三类防雷建筑物。")
               : QStringLiteral("一般住宅、办公楼：N > 0.25 为第二类防雷建筑物，0.05 ≤ N ≤ 0.25 为第三类防雷建筑物。"));

    // Only a calculation the window has made is checked: its Td and k, and an N beside them.
    const std::optional<double> td = strictly(calculated(f, "Td")), k = strictly(calculated(f, "k"));
    const bool done = td && k && !f.text("n").trimmed().isEmpty();
    QString ng, ae, n, protection;
    if (done) {
        const Check2010 c = check2010(leniently(l), leniently(w), leniently(h), *td, *k, importance);
        ng = c.ng ? shown(c.ng.value()) : QString();
        ae = c.ae ? shown(c.ae.value()) : QString();
        n = c.n ? shown(c.n.value()) : QString();
        if (c.n)
            protection = classLine(c.n.value(), importance, c.protection);
        else
            s.text(QStringLiteral("窗口中的尺寸无法算出等效面积，未复核。"));
    } else {
        s.text(QStringLiteral("窗口尚未计算雷击次数，未复核。"));
    }
    const QString tdText = done ? shown(*td) : QString(), kText = done ? shown(*k) : QString();
    const bool low = isLowBuilding(leniently(h));
    s.formula(formula("Ng", "0.1 × Td", "0.1 × %1", {tdText}, ng, "次/(km²·a)"))
        .formula(formula("Ae", areaExpression(low), areaPattern(low), {l, w, h}, ae, "km²"))
        .formula(formula("N", "k × Ng × Ae", "%1 × %2 × %3", {kText, ng, ae}, n, "次/a"))
        .text(QStringLiteral("复核结论：") + result(protection));
}

} // namespace

sheet::Sheet makeSheet(const ui::Form& f)
{
    const QString l = f.text("l"), w = f.text("w"), h = f.text("H");
    const QString td = calculated(f, "Td"), k = calculated(f, "k"), ng = calculated(f, "Ng");
    const QString ae = f.text("Ae"), n = f.text("n"), verdict = f.text("dj");
    const QString city = f.isChecked("sj") ? f.text("sj") : f.text("xt");
    const QString importance = f.isChecked("jz2") ? f.text("jz2") : f.text("jz1");

    // k means what the factor the calculation used stands for, or before any
    // calculation the selected one.
    QString meaning;
    if (const std::optional<double> used = strictly(k))
        meaning = meaningOfK(*used);
    else
        for (const char* option : kOptions)
            if (f.isChecked(option))
                meaning = meaningOfK(leniently(f.text(option)));

    sheet::Sheet sheet;
    sheet.title = QStringLiteral("防雷计算书");
    sheet.section(QStringLiteral("一、计算条件"))
        .table({"项目", "符号", "数值", "单位"}, {
            {"建筑物长度", "L", input(l), "m"},
            {"建筑物宽度", "W", input(w), "m"},
            {"建筑物高度", "H", input(h), "m"},
            {"所处城市", "", city, ""},
            {"年平均雷暴日", "Td", result(td), "d/a"},
            {"校正系数", "k", result(k), ""},
            {"k 的取值条件", "", meaning, ""},
            {"建筑重要程度", "", importance, ""},
        });

    const bool low = isLowBuilding(leniently(h));
    sheet.section(QStringLiteral("二、计算方法及公式"))
        .text(QStringLiteral("按建筑物年预计雷击次数确定防雷类别：先由年平均雷暴日求雷击大地的年平均密度，再求与建筑物截收"
                             "相同雷击次数的等效面积，最后求年预计雷击次数并与限值比较。各式按窗口的计算顺序列出，代入窗口中的数值。"))
        .formula(formula("Ng", "0.024 × Td^1.3", "0.024 × %1^1.3", {td}, ng, "次/(km²·a)"))
        .text(low ? QStringLiteral("H < 100 m，等效面积按下式（π 取 3.1416）：")
                  : QStringLiteral("H ≥ 100 m，等效面积按下式（π 取 3.1416）："))
        .formula(formula("Ae", areaExpression(low), areaPattern(low), {l, w, h}, ae, "km²"))
        .formula(formula("N", "k × Ng × Ae", "%1 × %2 × %3", {k, ng, ae}, n, "次/a（四舍五入至两位小数）"));

    sheet.section(QStringLiteral("三、计算结果"))
        .table({"项目", "符号", "数值", "单位"}, {
            {"雷击大地的年平均密度", "Ng", result(ng), "次/(km²·a)"},
            {"等效面积", "Ae", result(ae), "km²"},
            {"年预计雷击次数", "N", result(n), "次/a"},
        })
        .text(QStringLiteral("防雷等级：") + result(verdict));

    sheet.section(QStringLiteral("四、计算依据"))
        .text(QStringLiteral("《建筑物防雷设计规范》GB 50057-94：附录一（建筑物年预计雷击次数），第二章（建筑物的防雷分类）。"));

    check(sheet, f, l, w, h);
    return sheet;
}

} // namespace lightning
