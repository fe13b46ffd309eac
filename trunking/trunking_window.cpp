#include "trunking_window.h"

#include "app/ui/builder.h"
#include "cables.h"
#include "reference.h"

#include <array>
#include <string>

using namespace ui;

namespace trunking {

namespace {

// The columns of the cable rows, each under its caption label; the digit at
// the end of a row field's name is its column (BV1 size, BV2 area, BV3 count,
// BV4 total).
struct Column {
    int left, width;
    const char* label;
    const char* caption;
    int tab;
};
const Column columns[] = {
    // left  width  caption label  caption      tab
    {600,  1095, "Label1",       "种类",      8},  // kind option
    {1800, 735,  "Label2",       "型号",      9},  // 1: size
    {2640, 1335, "Label3",       "单根截面",  10}, // 2: area of one cable
    {4080, 855,  "Label4",       "根数",      15}, // 3: number of cables
    {5040, 1695, "Label5",       "  总截面",  20}, // 4: row total
};
const int captionTop = 360, captionHeight = 375;

// One cable row: its option and the option's caption, the stem of its four
// field names, its place and the tab indexes of option, size, area, count and
// total.
struct CableRow {
    Cable kind;
    const char* option;
    const char* caption;
    const char* fields;
    int top, height;
    int optionTop, optionHeight;
    std::array<int, 5> tabs;

    std::string field(int column) const { return fields + std::to_string(column); }
};
const CableRow cableRows[] = {
    // kind        option  caption  fields  top   height  option top, height  tab: option size area count total
    {Cable::VV,   "vv",   "VV",    "VV",   960,  435,    960,  435,          {21, 22, 23, 24, 25}},
    {Cable::BV,   "bv",   "BV",    "BV",   1560, 435,    1560, 435,          {34, 35, 36, 37, 38}},
    {Cable::SYV,  "SYV",  "SYV",   "SYV",  2160, 435,    2160, 435,          {0, 4, 11, 16, 26}},
    {Cable::UTP,  "UTP",  "UTP",   "UTP",  2820, 435,    2880, 315,          {1, 5, 12, 17, 27}},
    {Cable::LGBC, "LGBC", "LGBC",  "LGB",  3480, 435,    3480, 435,          {2, 6, 13, 18, 28}},
    {Cable::RVS,  "RVS",  "RVS",   "RVS",  4080, 495,    4080, 495,          {3, 7, 14, 19, 29}},
};

// The column captions and the six rows as rows of the window's table.
std::vector<Control> cableGrid()
{
    std::vector<Control> grid;
    for (const Column& c : columns)
        grid.push_back(label(c.label, c.caption, "", {c.left, captionTop, c.width, captionHeight}, c.tab));
    for (const CableRow& r : cableRows) {
        // The options form one group on the window, VV selected at start.
        Control kind = option(r.option, r.caption, {columns[0].left, r.optionTop, columns[0].width, r.optionHeight}, r.tabs[0]);
        grid.push_back(r.kind == Cable::VV ? std::move(kind).checked() : std::move(kind));
        for (int column = 1; column <= 4; ++column) {
            const Column& c = columns[column];
            // No label names a row field alone: it is called by its row and column.
            const std::string spoken = std::string(r.caption) + " " + QString(c.caption).trimmed().toStdString();
            grid.push_back(field(r.field(column), "", "", {c.left, r.top, c.width, r.height}, r.tabs[column]).knownAs(spoken));
        }
    }
    return grid;
}

} // namespace

ui::Form* buildWindow(std::function<void()> back)
{
    static const WindowDef window{"XCJS", "线槽计算", 9390, 8040, "宋体", 15.75, 48};
    static const std::vector<Control> controls = [] {
        std::vector<Control> all = cableGrid();
        std::vector<Control> rest = {
            // name         caption or text     tooltip                 left, top, width, height  tab
            button("END",     "退出&E",          "",                     {7560, 360, 1095, 435},   39),
            button("ql",      "清零&L",          "",                     {7080, 1320, 1935, 495},  44),
            label("Label8",   "  输入面积",      "",                     {7080, 1920, 1935, 375},  43).at(1).captionOf("s"),
            field("s",        "",                "在此输入导线面积",     {7080, 2400, 1935, 435},  42),
            label("Label8",   "现在总面积",      "加入总面积请点击此处", {7080, 3000, 1935, 375},  41).at(0).captionOf("sz"),
            field("sz",       "",                "此处为现在总面积",     {7080, 3480, 1935, 435},  40),
            label("Label9",   "占用百分比",      "",                     {7320, 4080, 1455, 375},  46).pt(12).captionOf("Text1"),
            multiField("Text1", fillRules(),     "",                     {7080, 4560, 2055, 3375}, 45).pt(9),
            label("Label6",   "利用百分数",      "",                     {240, 4800, 1935, 495},   32).captionOf("bfs"),
            combo("bfs",      "33",              "",                     {240, 5400, 1335, 435},   49).withItems(fillPercentages()),
            label("Label7",   " %",              "",                     {1680, 5400, 495, 495},   33),
            button("xcmj",    "计算线槽截面&X",  "",                     {0, 6000, 2175, 495},     30).pt(14.25),
            field("xczmj",    "",                "",                     {360, 6600, 1815, 435},   31).knownAs("所需截面"),
            label("Label10",  "可选线槽面积",    "",                     {2400, 4680, 1815, 375},  48).pt(14.25).captionOf("List1"),
            label("Label11",  "钢管管径",        "",                     {5160, 4680, 1575, 375},  50).captionOf("List2"),
            list("List1",                                                {2400, 5160, 4455, 2790}, 47).pt(10.5).withItems(trunkingCatalogue()),
            list("List2",                                                {2520, 5160, 4455, 2580}, 51).pt(10.5).withItems(pipeCatalogue()).startHidden(),
        };
        for (Control& c : rest)
            all.push_back(std::move(c));
        return all;
    }();

    Form* form = build(window, controls);
    Form& f = *form;

    for (const CableRow& r : cableRows) {
        const Cable kind = r.kind;
        const std::string size = r.field(1), area = r.field(2), count = r.field(3), total = r.field(4);

        // A row's total always follows its count and its area, so that the
        // running total never adds cables at an area they no longer have.
        auto recompute = [&f, area, count, total] {
            Step step(f);
            const double n = step.lenient(count);
            const double a = step.lenient(area);
            step.write(total, rowTotal(a, n), count);
        };
        f.onChange(count, recompute);
        f.onChange(area, recompute);

        // Runs at every keystroke: an unfinished number is part of typing, and
        // a size the catalogue does not know leaves the area as it was.
        f.onChange(size, [&f, kind, size, area] {
            Step step(f, true);
            const double typed = step.strict(size);
            if (!step.ok())
                return;
            if (const auto found = areaOf(kind, typed))
                step.writeText(area, areaText(*found));
        });
    }

    // Either element of the label adds the typed area and every row total once more.
    f.onClick("Label8", [&f] {
        Step step(f);
        const double typed = step.lenient("s");
        std::array<double, 6> rows{};
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = step.lenient(cableRows[i].field(4));
        const double running = step.lenient("sz");
        step.write("sz", addToTotal(running, typed, rows));
    });
    f.onClick("xcmj", [&f] {
        Step step(f);
        const double percent = step.lenient("bfs");
        const double total = step.lenient("sz");
        const numeric::Num section = requiredSection(total, percent);
        const bool zero = !section && section.failure() == numeric::Failure::DivisionByZero;
        step.write("xczmj", section, "bfs", zero ? QStringLiteral("须填一个不为 0 的数") : QString());
    });
    f.onClick("Label10", [&f] {
        f.setText("bfs", QString::fromStdString(numeric::formatSmallInt(20)));
        f.setCaption("xcmj", QStringLiteral("计算线槽截面&X"));
        f.setShown("List1", true);
        f.setShown("List2", false);
    });
    f.onClick("Label11", [&f] {
        f.setText("bfs", QString::fromStdString(numeric::formatSmallInt(33)));
        f.setShown("List1", false);
        f.setShown("List2", true);
        f.setCaption("xcmj", QStringLiteral("计算钢管截面&X"));
    });
    // Each count is emptied before its total: emptying the count writes 0
    // into the total, which the next step empties.
    f.onClick("ql", [&f] {
        Step step(f);
        for (const CableRow& r : cableRows) {
            step.writeText(r.field(3), "");
            step.writeText(r.field(4), "");
        }
    });
    f.onClick("END", std::move(back));
    return form;
}

} // namespace trunking
