#include "load_sheet.h"

#include "app/ui/form.h"

using sheet::formula;
using sheet::input;
using sheet::result;

namespace load {

sheet::Sheet makeSheet(const ui::Form& f)
{
    const QString p = f.text("Pjs"), c = f.text("Cos"), q = f.text("Qjs"), s = f.text("Sjs"), i = f.text("dl");

    sheet::Sheet sheet;
    sheet.title = QStringLiteral("负荷计算书");
    sheet.section(QStringLiteral("一、计算条件"))
        .table({"项目", "符号", "数值", "单位"}, {
            {"有功功率", "P", input(p), "kW"},
            {"功率因数", "cosφ", input(c), ""},
        });
    sheet.section(QStringLiteral("二、计算方法及公式"))
        .text(QStringLiteral("由有功功率和功率因数按功率三角形求无功功率和视在功率，再由视在功率求三相 380 V "
                             "系统的计算电流。各式按窗口的计算顺序列出，代入窗口中的数值。"))
        .formula(formula("Q", "P × √(1 − cos²φ) / cosφ", "%1 × √(1 − %2²) / %2", {p, c}, q, "kvar"))
        .formula(formula("S", "P / cosφ", "%1 / %2", {p, c}, s, "kVA"))
        .formula(formula("I", "S / 0.659", "%1 / 0.659", {s}, i, "A"))
        .text(QStringLiteral("式中 0.659 为窗口所用的常数，相应于 √3 × 0.38 kV。"));
    sheet.section(QStringLiteral("三、计算结果"))
        .table({"项目", "符号", "数值", "单位"}, {
            {"无功功率", "Q", result(q), "kvar"},
            {"视在功率", "S", result(s), "kVA"},
            {"计算电流", "I", result(i), "A"},
        });
    sheet.section(QStringLiteral("四、计算依据"))
        .text(QStringLiteral("三相交流系统功率关系：S = P / cosφ，Q = P × tanφ = P × √(1 − cos²φ) / cosφ；"
                             "线电压 380 V 时 I = S / (√3 × 0.38 kV)。"));
    return sheet;
}

} // namespace load
