// The load schedule window as the engineer sees it: its fixed controls, one
// row each; the table of rows grows with the window. Standard C++ only.

#include "schedule_table.h"

using namespace ui;

namespace load {

namespace {

// Fields in rows of eight under their captions.
constexpr int columnWidth = 1770, columnLeft = 120;
Rect captionAt(int column, int top, int width = 1) { return {columnLeft + column * columnWidth, top, width * columnWidth - 90, 300}; }
Rect fieldAt(int column, int top, int width = 1) { return {columnLeft + column * columnWidth, top + 300, width * columnWidth - 90, 345}; }

} // namespace

const Table& scheduleWindow()
{
    static const Table table{
        {"fhb", "负荷计算表", 14400, 8880, "宋体", 10.5, 48, true},
        {
            // name          caption or text           tooltip                                   place                      tab
            label("Label1",  "配电箱",                 "",                                       {120, 150, 840, 345}).captionOf("pdx"),
            choice("pdx",                              "所示的配电箱",                           {960, 120, 2400, 375},     20),
            label("Label2",  "名称",                   "",                                       {3480, 150, 600, 345}).captionOf("mc"),
            field("mc",      "",                       "配电箱名称，如 AL1、总配电",             {4080, 120, 1800, 375},    21),
            button("xjx",    "新建配电箱&N",           "",                                       {6000, 90, 1560, 435},     22),
            button("scx",    "删除配电箱&M",           "",                                       {7680, 90, 1560, 435},     23),
            button("crh",    "插入行&I",               "在所选行前插入一行（Insert）",           {9360, 90, 1140, 435},     24),
            button("sch",    "删除行&D",               "删除所选的行（Ctrl+Delete）",            {10560, 90, 1140, 435},    25),
            button("sy",     "上移&U",                 "所选行上移（Alt+↑）",                    {11760, 90, 1200, 435},    26),
            button("xy",     "下移&W",                 "所选行下移（Alt+↓）",                    {13020, 90, 1260, 435},    27),
            label("Label3",  "负荷计算表",             "",                                       {120, 600, 3000, 300}).captionOf("bg"),
            grid("bg",                                 "用电设备组：Enter 下移，Tab 右移；Ctrl+V 粘贴电子表格中的行",
                                                                                                 {120, 900, 14160, 3960},   0),

            label("Label4",  "有功同时系数KΣp",        "",                                       captionAt(0, 4980)).captionOf("kp"),
            field("kp",      "0.9",                    "",                                       fieldAt(0, 4980),          1),
            label("Label5",  "无功同时系数KΣq",        "",                                       captionAt(1, 4980)).captionOf("kq"),
            field("kq",      "0.95",                   "",                                       fieldAt(1, 4980),          2),
            label("Label6",  "目标cosφ₂",      "",                                       captionAt(2, 4980)).captionOf("mb"),
            field("mb",      "0.90",                   "补偿后要达到的功率因数",                 fieldAt(2, 4980),          3),
            label("Label7",  "实装补偿(kvar)",         "",                                       captionAt(3, 4980)).captionOf("qc"),
            field("qc",      "",                       "空着则按需要的补偿容量",                 fieldAt(3, 4980),          4),
            label("Label8",  "负荷率上限β",            "",                                       captionAt(4, 4980)).captionOf("fhl"),
            field("fhl",     "0.85",                   "",                                       fieldAt(4, 4980),          5),
            label("Label9",  "变压器台数n",            "",                                       captionAt(5, 4980)).captionOf("ts"),
            field("ts",      "1",                      "",                                       fieldAt(5, 4980),          6),
            label("Label10", "变压器容量系列(kVA)",    "",                                       captionAt(6, 4980, 2)).captionOf("xl"),
            field("xl",      "",                       "以逗号分开的容量，可增删",               fieldAt(6, 4980, 2),       7),

            label("Label11", "ΣPe(kW)",                "",                                       captionAt(0, 5700)).captionOf("zpe"),
            field("zpe",     "",                       "",                                       fieldAt(0, 5700),          8).shows(),
            label("Label12", "ΣPjs,i(kW)",             "",                                       captionAt(1, 5700)).captionOf("zp"),
            field("zp",      "",                       "",                                       fieldAt(1, 5700),          9).shows(),
            label("Label13", "ΣQjs,i(kvar)",           "",                                       captionAt(2, 5700)).captionOf("zq"),
            field("zq",      "",                       "",                                       fieldAt(2, 5700),          10).shows(),
            label("Label14", "计算负荷Pjs(kW)",        "",                                       captionAt(3, 5700)).captionOf("pjs"),
            field("pjs",     "",                       "",                                       fieldAt(3, 5700),          11).shows(),
            label("Label15", "Qjs(kvar)",              "",                                       captionAt(4, 5700)).captionOf("qjs"),
            field("qjs",     "",                       "",                                       fieldAt(4, 5700),          12).shows(),
            label("Label16", "Sjs(kVA)",               "",                                       captionAt(5, 5700)).captionOf("sjs"),
            field("sjs",     "",                       "",                                       fieldAt(5, 5700),          13).shows(),
            label("Label17", "功率因数cosφ",           "",                                       captionAt(6, 5700)).captionOf("cos1"),
            field("cos1",    "",                       "",                                       fieldAt(6, 5700),          14).shows(),
            label("Label18", "计算电流Ijs(A)",         "",                                       captionAt(7, 5700)).captionOf("ijs"),
            field("ijs",     "",                       "",                                       fieldAt(7, 5700),          15).shows(),

            label("Label19", "需补偿Qc(kvar)",         "",                                       captionAt(0, 6420)).captionOf("qcx"),
            field("qcx",     "",                       "",                                       fieldAt(0, 6420),          16).shows(),
            label("Label20", "补偿后Q′(kvar)",         "",                                       captionAt(1, 6420)).captionOf("qb"),
            field("qb",      "",                       "",                                       fieldAt(1, 6420),          17).shows(),
            label("Label21", "补偿后S′(kVA)",          "",                                       captionAt(2, 6420)).captionOf("sb"),
            field("sb",      "",                       "",                                       fieldAt(2, 6420),          18).shows(),
            label("Label22", "补偿后cosφ′",            "",                                       captionAt(3, 6420)).captionOf("cos2"),
            field("cos2",    "",                       "",                                       fieldAt(3, 6420),          19).shows(),
            label("Label23", "补偿后I′(A)",            "",                                       captionAt(4, 6420)).captionOf("ib"),
            field("ib",      "",                       "",                                       fieldAt(4, 6420),          28).shows(),
            label("Label24", "变压器Sn(kVA)",          "",                                       captionAt(5, 6420)).captionOf("sn"),
            field("sn",      "",                       "",                                       fieldAt(5, 6420),          29).shows(),
            label("Label25", "负荷率β",                "",                                       captionAt(6, 6420)).captionOf("beta"),
            field("beta",    "",                       "",                                       fieldAt(6, 6420),          30).shows(),

            label("Label26", "说明",                   "",                                       {120, 7140, 840, 300}).captionOf("sm"),
            multiField("sm", "",                       "",                                       {960, 7140, 11640, 1560},  31),
            button("fh",     "返回&F",                 "",                                       {12840, 8220, 1440, 480},  32),
        },
    };
    return table;
}

} // namespace load
