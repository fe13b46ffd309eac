#include "lighting_sheet.h"

#include "convert.h"
#include "facts.h"
#include "lighting_window.h"
#include "unit_power.h"

#include <optional>

using sheet::Facts;
using sheet::shown;

namespace lighting {

namespace {

// Where the unit power came from: the height code and the area the lookup
// took, and the column and band of the table that gave it.
QString lookupLine(const Facts& facts)
{
    const QString start = QStringLiteral("单位功率 U（每100lx）：");
    const QString unit = facts.text("dwgl").trimmed();
    if (unit.isEmpty())
        return start + QStringLiteral("未计算");
    const ui::Record* r = facts.record("dwgl");
    const ui::Figure* row = r ? r->figure("表16-35") : nullptr;
    if (!row) {
        const QString typed = sheet::notANumber(unit);
        return start + (typed.isEmpty() ? QStringLiteral("U = %1 W/m²（输入值）").arg(unit) : typed);
    }
    return start + QStringLiteral("按房间高度代号 %1、A = %2 m² 查表16-35，%3，U = %4 W/m²")
                       .arg(*facts.used("dwgl", "H"), *facts.used("dwgl", "mj"), QString::fromStdString(row->value), unit);
}

// Tubes are bought whole: the count to install is the n shown rounded up, for
// an n the window shows as a number of none or more tubes.
std::optional<QString> tubesToInstall(const QString& shownCount)
{
    const numeric::Num n = numeric::parseStrict(shownCount.toStdString());
    if (!n || n.value() < 0)
        return std::nullopt;
    return shown(-numeric::floorNumber(-n.value()));
}

} // namespace

sheet::Sheet makeSheet(const ui::State& state)
{
    const Facts facts(window(), state);

    sheet::Sheet sheet;
    sheet.title = QStringLiteral("照度计算书");
    sheet.section(QStringLiteral("一、计算条件")).table(Facts::tableHeader(), facts.conditions());

    sheet::Section& method = sheet.section(QStringLiteral("二、计算方法及公式"));
    method.text(QStringLiteral("单位容量法：按房间高度和面积查表16-35 得每100lx 的单位功率，再按照度标准值折算为照明功率，"
                               "并由灯管功率求灯管支数；空调负荷按单位面积负荷计算。各式代入该结果计算时所用的数值。"));
    facts.addEquation(method, "mj", "A", "L × W", "%1 × %2", {"l", "w"}, QStringLiteral("m²"));
    method.formula(lookupLine(facts));
    facts.addRemark(method, "dwgl");

    // The options the step found selected, as figures: E in lx, Pd in W.
    const QStringList lux = {facts.used("gl", "dwgl").value_or(""), facts.used("gl", "mj").value_or(""),
                             shown(facts.optionValue(facts.optionUsed("gl", "zd300")))};
    const QString power = facts.text("gl").trimmed();
    if (facts.record("gl"))
        method.formula(Facts::equationOf("P", "U × A × E / 100", "%1 × %2 × %3 / 100", lux, power, "W"));
    else
        method.formula(facts.equation("gl", "P", "U × A × E / 100", {}, {}, "W"));
    facts.addRemark(method, "gl");

    if (facts.record("n"))
        method.formula(Facts::equationOf("n", "P / Pd", "%1 / %2",
                                         {*facts.used("n", "gl"), shown(facts.optionValue(facts.optionUsed("n", "w40")))},
                                         facts.text("n"), QStringLiteral("支")));
    else
        method.formula(facts.equation("n", "n", "P / Pd", {}, {}, QStringLiteral("支")));
    const QString count = facts.text("n").trimmed();
    if (const std::optional<QString> whole = tubesToInstall(count))
        method.formula(QStringLiteral("n 向上取整至整支：n = %1 支，取 %2 支").arg(count, *whole));
    facts.addRemark(method, "n");

    facts.addEquation(method, "kt", "Pkt", "p × A", "%1 × %2", {"ps", "mj"}, "kW");

    facts.addResults(sheet.section(QStringLiteral("三、计算结果")));
    sheet.section(QStringLiteral("四、计算依据"))
        .text(QStringLiteral("建筑电气设计手册 表16-35（第410页，基准每100lx），单位容量法。"));
    return sheet;
}

std::string caseName(const ui::State& state)
{
    const auto read = [&state](const char* field) { return sheet::asRead(state, field); };
    std::string lux;
    for (const ui::Control* option : window().group("zd300"))
        if (state.isChecked(option->name))
            lux = option->caption;
    return read("l") + "×" + read("w") + " m " + lux + " lx";
}

} // namespace lighting
