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
        {"fhb", "负荷计算表", 14400, 9600, "宋体", 10.5, 48, true},
        {
            // name          caption or text           tooltip                                   place                      tab
            label("Label1",  "配电箱",                 "",                                       {120, 150, 840, 345}).captionOf("pdx"),
            choice("pdx",                              "所示的配电箱",                           {960, 120, 2400, 375},     1),
            label("Label2",  "名称",                   "",                                       {3480, 150, 600, 345}).captionOf("mc"),
            field("mc",      "",                       "配电箱名称，如 AL1、总配电",             {4080, 120, 1800, 375},    2),
            button("xjx",    "新建配电箱&N",           "",                                       {6000, 90, 1560, 435},     3),
            button("scx",    "删除配电箱&M",           "",                                       {7680, 90, 1560, 435},     4),
            button("crh",    "插入行&I",               "在所选行前插入一行（Insert）",           {9360, 90, 1140, 435},     5),
            button("sch",    "删除行&D",               "删除所选的行（Ctrl+Delete）",            {10560, 90, 1140, 435},    6),
            button("sy",     "上移&U",                 "所选行上移（Alt+↑）",                    {11760, 90, 1200, 435},    7),
            button("xy",     "下移&W",                 "所选行下移（Alt+↓）",                    {13020, 90, 1260, 435},    8),
            label("Label3",  "负荷计算表",             "",                                       {120, 600, 3000, 300}).captionOf("bg"),
            grid("bg",                                 "用电设备组：Enter 下移，Tab 右移，Ctrl+Tab 离开表格；Ctrl+V 粘贴电子表格中的行",
                                                                                                 {120, 900, 14160, 3960},   23),

            label("Label4",  "有功同时系数KΣp",        "",                                       captionAt(0, 4980)).captionOf("kp"),
            field("kp",      "0.9",                    "",                                       fieldAt(0, 4980),          9),
            label("Label5",  "无功同时系数KΣq",        "",                                       captionAt(1, 4980)).captionOf("kq"),
            field("kq",      "0.95",                   "",                                       fieldAt(1, 4980),          10),
            label("Label6",  "目标cosφ₂",              "",                                       captionAt(2, 4980)).captionOf("mb"),
            field("mb",      "0.90",                   "补偿后要达到的功率因数",                 fieldAt(2, 4980),          11),
            label("Label7",  "实装补偿(kvar)",         "",                                       captionAt(3, 4980)).captionOf("qc"),
            field("qc",      "",                       "空着则按需要的补偿容量",                 fieldAt(3, 4980),          12),
            label("Label8",  "负荷率上限β",            "",                                       captionAt(4, 4980)).captionOf("fhl"),
            field("fhl",     "0.85",                   "",                                       fieldAt(4, 4980),          13),
            label("Label9",  "变压器台数n",            "",                                       captionAt(5, 4980)).captionOf("ts"),
            field("ts",      "1",                      "",                                       fieldAt(5, 4980),          14),
            label("Label10", "变压器容量系列(kVA)",    "",                                       captionAt(6, 4980, 2)).captionOf("xl"),
            field("xl",      "",                       "以逗号分开的容量，可增删",               fieldAt(6, 4980, 2),       15),

            label("Label27", "断路器系列(A)",          "",                                       captionAt(0, 5700, 2)).captionOf("dlq"),
            field("dlq",     "",                       "以逗号分开的额定电流，可增删",           fieldAt(0, 5700, 2),       16),
            label("Label28", "电缆X′(Ω/km)",           "",                                       captionAt(2, 5700)).captionOf("dk"),
            field("dk",      "0.08",                   "电缆每千米的电抗",                       fieldAt(2, 5700),          17),
            label("Label29", "末端ΔU限值(%)",          "",                                       captionAt(3, 5700)).captionOf("yj"),
            field("yj",      "5",                      "",                                       fieldAt(3, 5700),          18),
            label("Label30", "系统S″kQ(MVA)",          "",                                       captionAt(4, 5700)).captionOf("xtrl"),
            field("xtrl",    "300",                    "电源系统的短路容量",                     fieldAt(4, 5700),          19),
            label("Label31", "阻抗电压uk(%)",          "",                                       captionAt(5, 5700)).captionOf("zkdy"),
            field("zkdy",    "6",                      "变压器的阻抗电压",                       fieldAt(5, 5700),          20),
            label("Label32", "负载损耗Pk(kW)",         "",                                       captionAt(6, 5700)).captionOf("fzsh"),
            field("fzsh",    "",                       "变压器的负载损耗；空着则忽略变压器电阻", fieldAt(6, 5700),          21),
            label("Label33", "短路时间t(s)",           "",                                       captionAt(7, 5700)).captionOf("dlsj"),
            field("dlsj",    "0.1",                    "热稳定校验的短路持续时间",               fieldAt(7, 5700),          22),

            label("Label11", "ΣPe(kW)",                "",                                       captionAt(0, 6420)).captionOf("zpe"),
            field("zpe",     "",                       "",                                       fieldAt(0, 6420),          -1).shows(),
            label("Label12", "ΣPjs,i(kW)",             "",                                       captionAt(1, 6420)).captionOf("zp"),
            field("zp",      "",                       "",                                       fieldAt(1, 6420),          -1).shows(),
            label("Label13", "ΣQjs,i(kvar)",           "",                                       captionAt(2, 6420)).captionOf("zq"),
            field("zq",      "",                       "",                                       fieldAt(2, 6420),          -1).shows(),
            label("Label14", "计算负荷Pjs(kW)",        "",                                       captionAt(3, 6420)).captionOf("pjs"),
            field("pjs",     "",                       "",                                       fieldAt(3, 6420),          -1).shows(),
            label("Label15", "Qjs(kvar)",              "",                                       captionAt(4, 6420)).captionOf("qjs"),
            field("qjs",     "",                       "",                                       fieldAt(4, 6420),          -1).shows(),
            label("Label16", "Sjs(kVA)",               "",                                       captionAt(5, 6420)).captionOf("sjs"),
            field("sjs",     "",                       "",                                       fieldAt(5, 6420),          -1).shows(),
            label("Label17", "功率因数cosφ",           "",                                       captionAt(6, 6420)).captionOf("cos1"),
            field("cos1",    "",                       "",                                       fieldAt(6, 6420),          -1).shows(),
            label("Label18", "计算电流Ijs(A)",         "",                                       captionAt(7, 6420)).captionOf("ijs"),
            field("ijs",     "",                       "",                                       fieldAt(7, 6420),          -1).shows(),

            label("Label19", "需补偿Qc(kvar)",         "",                                       captionAt(0, 7140)).captionOf("qcx"),
            field("qcx",     "",                       "",                                       fieldAt(0, 7140),          -1).shows(),
            label("Label20", "补偿后Q′(kvar)",         "",                                       captionAt(1, 7140)).captionOf("qb"),
            field("qb",      "",                       "",                                       fieldAt(1, 7140),          -1).shows(),
            label("Label21", "补偿后S′(kVA)",          "",                                       captionAt(2, 7140)).captionOf("sb"),
            field("sb",      "",                       "",                                       fieldAt(2, 7140),          -1).shows(),
            label("Label22", "补偿后cosφ′",            "",                                       captionAt(3, 7140)).captionOf("cos2"),
            field("cos2",    "",                       "",                                       fieldAt(3, 7140),          -1).shows(),
            label("Label23", "补偿后I′(A)",            "",                                       captionAt(4, 7140)).captionOf("ib"),
            field("ib",      "",                       "",                                       fieldAt(4, 7140),          -1).shows(),
            label("Label24", "变压器Sn(kVA)",          "",                                       captionAt(5, 7140)).captionOf("sn"),
            field("sn",      "",                       "",                                       fieldAt(5, 7140),          -1).shows(),
            label("Label25", "负荷率β",                "",                                       captionAt(6, 7140)).captionOf("beta"),
            field("beta",    "",                       "",                                       fieldAt(6, 7140),          -1).shows(),
            label("Label34", "母线Ik3(kA)",            "",                                       captionAt(7, 7140)).captionOf("mxdl"),
            field("mxdl",    "",                       "本配电箱母线处的三相短路电流",           fieldAt(7, 7140),          -1).shows(),

            label("Label26", "说明",                   "",                                       {120, 7860, 840, 300}).captionOf("sm"),
            multiField("sm", "",                       "",                                       {960, 7860, 11640, 1560},  24),
            button("fh",     "返回&F",                 "",                                       {12840, 8940, 1440, 480},  25),
        },
    };
    return table;
}

const Column& columnOf(int c)
{
    // Each at least as wide as its figures; a name of six Chinese characters.
    static const Column columns[column::Count] = {
        {"用电设备组", 110},    {"设备容量Pe(kW)", 105}, {"需要系数Kx", 85},         {"功率因数cosφ", 100},
        {"相数", 45},           {"子配电箱", 80},        {"回路编号", 70},           {"线缆", 60},
        {"敷设方式", 70},       {"长度(m)", 65},         {"环境温度(℃)", 90},        {"并列回路数", 80},
        {"指定In(A)", 75},      {"tanφ", 55},            {"Pjs(kW)", 75},            {"Qjs(kvar)", 80},
        {"Sjs(kVA)", 75},       {"Ijs(A)", 65},          {"断路器In(A)", 85},        {"电缆规格", 140},
        {"载流量Iz(A)", 90},    {"电压损失ΔU(%)", 105},  {"末端ΔU(%)", 85},          {"末端短路电流Ik3(kA)", 135},
        {"接地故障电流Id(kA)", 135}, {"校验", 220},
    };
    return columns[c];
}

} // namespace load
