#include "trunking_sheet.h"

#include "app/ui/form.h"
#include "pick.h"

#include <QListWidget>

using sheet::formula;
using sheet::input;
using sheet::result;

namespace trunking {

namespace {

// Each cable row: the option that names its kind and the stem of its four
// fields (size, area of one cable, count, row total).
struct Row {
    const char* option;
    const char* fields;
};
const Row rows[] = {{"vv", "VV"}, {"bv", "BV"}, {"SYV", "SYV"}, {"UTP", "UTP"}, {"LGBC", "LGB"}, {"RVS", "RVS"}};

// The items of a catalogue list as the window prints them.
std::vector<std::string> items(const ui::Form& f, const char* list)
{
    std::vector<std::string> texts;
    if (auto* box = qobject_cast<QListWidget*>(f.control(list)))
        for (int i = 0; i < box->count(); ++i)
            texts.push_back(box->item(i)->text().toStdString());
    return texts;
}

} // namespace

sheet::Sheet makeSheet(const ui::Form& f)
{
    const QString typed = f.text("s"), total = f.text("sz"), percent = f.text("bfs"), section = f.text("xczmj");
    auto field = [&f](const Row& r, int column) { return f.text(QStringLiteral("%1%2").arg(r.fields).arg(column).toStdString()); };

    std::vector<QStringList> cables;
    std::vector<QString> rowFormulas;
    for (const Row& r : rows) {
        const QString size = field(r, 1), area = field(r, 2), count = field(r, 3), rowTotal = field(r, 4);
        if ((size + area + count + rowTotal).trimmed().isEmpty())
            continue;
        const QString kind = f.text(r.option);
        cables.push_back({kind, size.trimmed(), area.trimmed(), count.trimmed(), result(rowTotal)});
        rowFormulas.push_back(formula(kind + QStringLiteral(" 总截面"), QStringLiteral("单根截面 × 根数"), "%1 × %2",
                                      {area, count}, rowTotal, "mm²"));
    }
    const bool pipe = f.control("List2") && f.control("List2")->isVisibleTo(f.window());

    sheet::Sheet sheet;
    sheet.title = QStringLiteral("线槽计算书");
    sheet::Section& given = sheet.section(QStringLiteral("一、计算条件"));
    if (cables.empty())
        given.text(QStringLiteral("电缆行：无"));
    else
        given.table({"种类", "型号", "单根截面(mm²)", "根数", "总截面(mm²)"}, cables);
    given.table({"项目", "数值", "单位"}, {
        {"输入面积", input(typed), "mm²"},
        {"利用百分数", input(percent), "%"},
        {"计算对象", pipe ? QStringLiteral("钢管") : QStringLiteral("线槽"), ""},
    });

    sheet::Section& method = sheet.section(QStringLiteral("二、计算方法及公式"));
    method.text(QStringLiteral("各行总截面为单根截面乘以根数；现在总面积为每次加入时原总面积、输入面积与各行总截面之和；"
                               "所需截面为现在总面积除以利用百分数。各式按窗口的计算顺序列出，代入窗口中的数值。"));
    for (const QString& line : rowFormulas)
        method.formula(line);
    method.formula(QStringLiteral("ΣA = ") + result(total) + (total.trimmed().isEmpty() ? QString() : " mm²"));
    method.formula(formula("S", "ΣA / 百分数 × 100", "%1 / %2 × 100", {total, percent}, section, "mm²"));

    sheet.section(QStringLiteral("三、计算结果"))
        .table({"项目", "符号", "数值", "单位"}, {
            {"现在总面积", "ΣA", result(total), "mm²"},
            {"所需截面", "S", result(section), "mm²"},
        });

    // Per group of each catalogue, the smallest item whose printed area is
    // at least the section the window requires.
    const numeric::Num required = numeric::parseStrict(section.toStdString());
    std::vector<QStringList> picks;
    for (const auto& [list, label] : {std::pair{"List1", "Label10"}, std::pair{"List2", "Label11"}}) {
        for (const Pick& p : smallestFitting(items(f, list), required ? required.value() : 0)) {
            QString chosen = QStringLiteral("未计算");
            if (required)
                chosen = p.item ? QString::fromStdString(*p.item) : QStringLiteral("无合适规格");
            picks.push_back({f.text(label), QString::fromStdString(p.heading), chosen});
        }
    }
    sheet.section(QStringLiteral("四、选型"))
        .text(QStringLiteral("各组中内截面不小于所需截面的最小规格："))
        .table({"目录", "分组", "最小合适规格"}, picks);

    sheet.section(QStringLiteral("五、计算依据")).text(f.text("Text1"));
    return sheet;
}

} // namespace trunking
