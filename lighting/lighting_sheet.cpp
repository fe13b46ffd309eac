#include "lighting_sheet.h"

#include "app/ui/form.h"
#include "unit_power.h"

using sheet::formula;
using sheet::input;
using sheet::result;

namespace lighting {

namespace {

const char* const illuminanceOptions[] = {"zd50", "zd75", "zd100", "zd150", "zd200", "zd300", "zd500", "zd750", "zd1000"};
const char* const wattageOptions[] = {"w20", "w30", "w40"};

template <std::size_t N>
QString selected(const ui::Form& f, const char* const (&options)[N])
{
    for (const char* option : options)
        if (f.isChecked(option))
            return f.text(option);
    return {};
}

QString shown(double value) { return QString::fromStdString(numeric::formatNumber(value)); }

// The column of the table a height code stands for.
QString heightBand(double code)
{
    if (code == 23)
        return QStringLiteral("h=2~3 m");
    if (code == 46)
        return QStringLiteral("h=4~6 m");
    return {};
}

// Where in the table the shown height code and area fall: the window looks
// the unit power up by exactly these two figures.
QString tableRowText(const QString& heightCode, const QString& area)
{
    const numeric::Num code = numeric::parseStrict(heightCode.toStdString());
    const numeric::Num a = numeric::parseStrict(area.toStdString());
    if (!code || !hasColumn(code.value()))
        return QStringLiteral("表16-35 无此高度的一列");
    if (!a)
        return heightBand(code.value()) + QStringLiteral(" 一列，面积未计算");
    const std::optional<TableRow> row = tableRow(code.value(), a.value());
    if (!row)
        return heightBand(code.value()) + QStringLiteral(" 一列，表中无此面积的一档");
    const QString range = row->upper ? QStringLiteral("%1 < A ≤ %2 m²").arg(shown(row->lower), shown(*row->upper))
                                     : QStringLiteral("A > %1 m²").arg(shown(row->lower));
    return heightBand(code.value()) + QStringLiteral(" 一列，") + range + QStringLiteral(" 一档");
}

} // namespace

sheet::Sheet makeSheet(const ui::Form& f)
{
    const QString l = f.text("l"), w = f.text("w"), h = f.text("H"), ps = f.text("ps");
    const QString mj = f.text("mj"), unit = f.text("dwgl"), gl = f.text("gl"), n = f.text("n"), kt = f.text("kt");
    const QString lux = selected(f, illuminanceOptions);
    const QString watts = QString(selected(f, wattageOptions)).remove('W');

    const numeric::Num code = numeric::parseStrict(h.toStdString());
    const QString band = code ? heightBand(code.value()) : QString();
    const QString row = tableRowText(h, mj);

    sheet::Sheet sheet;
    sheet.title = QStringLiteral("照度计算书");
    sheet.section(QStringLiteral("一、计算条件"))
        .table({"项目", "符号", "数值", "单位"}, {
            {"房间长度", "L", input(l), "m"},
            {"房间宽度", "W", input(w), "m"},
            {"房间高度代号", "", input(h) + (band.isEmpty() ? QString() : "（" + band + "）"), ""},
            {"照度标准值", "E", lux, "lx"},
            {"日光灯功率", "Pd", watts, "W"},
            {"单位面积空调负荷", "p", input(ps), "kW/m²"},
        });
    sheet.section(QStringLiteral("二、计算方法及公式"))
        .text(QStringLiteral("单位容量法：按房间高度和面积查表16-35 得每100lx 的单位功率，再按照度标准值折算为照明功率，"
                             "并由灯管功率求灯管支数；空调负荷按单位面积负荷计算。各式按窗口的计算顺序列出，代入窗口中的数值。"))
        .formula(formula("A", "L × W", "%1 × %2", {l, w}, mj, "m²"))
        .formula(QStringLiteral("单位功率 U（每100lx）：查表16-35，") + row + QStringLiteral("，U = ") + result(unit) +
              (unit.trimmed().isEmpty() ? QString() : QStringLiteral(" W/m²")))
        .formula(formula("P", "U × A × E / 100", "%1 × %2 × %3 / 100", {unit, mj, lux}, gl, "W"))
        .formula(formula("n", "P / Pd", "%1 / %2", {gl, watts}, n, "支"))
        .formula(formula("Pkt", "p × A", "%1 × %2", {ps, mj}, kt, "kW"));
    sheet.section(QStringLiteral("三、计算结果"))
        .table({"项目", "符号", "数值", "单位"}, {
            {"房间面积", "A", result(mj), "m²"},
            {"单位功率（每100lx）", "U", result(unit), "W/m²"},
            {"照明功率", "P", result(gl), "W"},
            {"灯管支数", "n", result(n), "支"},
            {"空调负荷", "Pkt", result(kt), "kW"},
        });
    sheet.section(QStringLiteral("四、计算依据"))
        .text(QStringLiteral("建筑电气设计手册 表16-35（第410页，基准每100lx），单位容量法。"));
    return sheet;
}

} // namespace lighting
