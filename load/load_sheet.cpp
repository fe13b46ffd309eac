#include "load_sheet.h"

#include "convert.h"
#include "facts.h"
#include "load_window.h"

namespace load {

sheet::Sheet makeSheet(const ui::State& state)
{
    const sheet::Facts facts(window(), state);

    sheet::Sheet sheet;
    sheet.title = QStringLiteral("负荷计算书");
    sheet.section(QStringLiteral("一、计算条件")).table(sheet::Facts::tableHeader(), facts.conditions());

    sheet::Section& method = sheet.section(QStringLiteral("二、计算方法及公式"));
    method.text(QStringLiteral("由有功功率和功率因数按功率三角形求无功功率和视在功率，再由视在功率求三相 380 V "
                               "系统的计算电流。各式代入该结果计算时所用的数值。"));
    facts.addEquation(method, "Qjs", "Q", "P × √(1 − cos²φ) / cosφ", "%1 × √(1 − %2²) / %2", {"Pjs", "Cos"}, "kvar");
    facts.addEquation(method, "Sjs", "S", "P / cosφ", "%1 / %2", {"Pjs", "Cos"}, "kVA");
    facts.addEquation(method, "dl", "I", "S / 0.659", "%1 / 0.659", {"Sjs"}, "A");
    method.text(QStringLiteral("式中 0.659 为窗口所用的常数，相应于 √3 × 0.38 kV。"));

    facts.addResults(sheet.section(QStringLiteral("三、计算结果")));
    sheet.section(QStringLiteral("四、计算依据"))
        .text(QStringLiteral("三相交流系统功率关系：S = P / cosφ，Q = P × tanφ = P × √(1 − cos²φ) / cosφ；"
                             "线电压 380 V 时 I = S / (√3 × 0.38 kV)。"));
    return sheet;
}

std::string caseName(const ui::State& state)
{
    const auto read = [&state](const char* field) { return sheet::asRead(state, field); };
    return "P " + read("Pjs") + " kW cosφ " + read("Cos");
}

} // namespace load
