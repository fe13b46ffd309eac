// The trunking and conduit fill window as the engineer sees it: the six cable
// rows under their column captions, then one row per control. Standard C++
// only, so that everything that needs the window's fields reads this table.

#include "trunking_table.h"

#include "reference.h"

using namespace ui;

namespace trunking {

namespace {

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

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

const CableRow rows[] = {
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
    for (const CableRow& r : rows) {
        // The options form one group on the window, VV selected at start.
        Control kind = option(r.option, r.caption, {columns[0].left, r.optionTop, columns[0].width, r.optionHeight}, r.tabs[0]);
        grid.push_back(r.kind == Cable::VV ? std::move(kind).checked() : std::move(kind));
        for (int column = 1; column <= 4; ++column) {
            const Column& c = columns[column];
            // No label names a row field alone: it is called by its row and column.
            const std::string spoken = std::string(r.caption) + " " + trimmed(c.caption);
            Control f = field(r.field(column), "", "", {c.left, r.top, c.width, r.height}, r.tabs[column]).knownAs(spoken);
            // Size and count are the engineer's; the area of one cable and the
            // row total are worked out.
            const bool given = column == 1 || column == 3;
            const char* unit = column == 3 ? "根" : column == 1 ? "" : "mm²";
            grid.push_back(given ? std::move(f).input(spoken, "", unit) : std::move(f).result(spoken, "", unit));
        }
    }
    return grid;
}

} // namespace

std::span<const CableRow> cableRows() { return rows; }

const Table& window()
{
    static const Table table{
        {"XCJS", "线槽计算", 9390, 8040, "宋体", 15.75, 48},
        [] {
            std::vector<Control> all = cableGrid();
            std::vector<Control> rest = {
                // name         caption or text     tooltip                 left, top, width, height  tab
                button("END",     "退出&E",          "",                     {7560, 360, 1095, 435},   39),
                button("ql",      "清零&L",          "",                     {7080, 1320, 1935, 495},  44),
                label("Label8",   "  输入面积",      "",                     {7080, 1920, 1935, 375},  43).at(1).captionOf("s"),
                field("s",        "",                "在此输入导线面积",     {7080, 2400, 1935, 435},  42).input("输入面积", "", "mm²"),
                label("Label8",   "现在总面积",      "加入总面积请点击此处", {7080, 3000, 1935, 375},  41).at(0).captionOf("sz"),
                field("sz",       "",                "此处为现在总面积",     {7080, 3480, 1935, 435},  40).result("现在总面积", "ΣA", "mm²"),
                label("Label9",   "占用百分比",      "",                     {7320, 4080, 1455, 375},  46).pt(12).captionOf("Text1"),
                multiField("Text1", fillRules(),     "",                     {7080, 4560, 2055, 3375}, 45).pt(9),
                label("Label6",   "利用百分数",      "",                     {240, 4800, 1935, 495},   32).captionOf("bfs"),
                combo("bfs",      "33",              "",                     {240, 5400, 1335, 435},   49).withItems(fillPercentages())
                                                                                                                 .input("利用百分数", "", "%"),
                label("Label7",   " %",              "",                     {1680, 5400, 495, 495},   33),
                button("xcmj",    "计算线槽截面&X",  "",                     {0, 6000, 2175, 495},     30).pt(14.25).orCaption("计算钢管截面&X"),
                field("xczmj",    "",                "",                     {360, 6600, 1815, 435},   31).knownAs("所需截面").result("所需截面", "S", "mm²"),
                label("Label10",  "可选线槽面积",    "",                     {2400, 4680, 1815, 375},  48).pt(14.25).captionOf("List1"),
                label("Label11",  "钢管管径",        "",                     {5160, 4680, 1575, 375},  50).captionOf("List2"),
                list("List1",                                                {2400, 5160, 4455, 2790}, 47).pt(10.5).withItems(trunkingCatalogue()),
                list("List2",                                                {2520, 5160, 4455, 2580}, 51).pt(10.5).withItems(pipeCatalogue()).startHidden(),
            };
            for (Control& c : rest)
                all.push_back(std::move(c));
            return all;
        }(),
        {
            {"xczmj", numeric::Failure::DivisionByZero, "bfs", "须填一个不为 0 的数"},
        },
    };
    return table;
}

} // namespace trunking
