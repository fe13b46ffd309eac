// The load calculation window as the engineer sees it: one row per control.
// Standard C++ only, so that everything that needs the window's fields reads
// this one table.

#include "load_table.h"

using namespace ui;

namespace load {

const Table& window()
{
    static const Table table{
        {"fhjs", "负荷计算", 7095, 6390, "宋体", 15.75, 80},
        {
            // name         text or caption       tooltip                          left, top, width, height  tab
            field("Pjs",      "",                 "输入有功功率单位千瓦",          {0, 0, 3135, 495},        9).input("有功功率", "P", "kW"),
            field("Cos",      "0.8",              "输入功率因数",                  {0, 720, 3135, 495},      8).input("功率因数", "cosφ"),
            field("Qjs",      "",                 "此数据为无功负荷单位千乏",      {3000, 2760, 3255, 495},  4).result("无功功率", "Q", "kvar"),
            field("Sjs",      "",                 "此数据为视在功率单位千伏安",    {3000, 3960, 3255, 495},  3).result("视在功率", "S", "kVA"),
            field("dl",       "",                 "此处数据为计算电流单位安培",    {3000, 5040, 3255, 495},  0).result("计算电流", "I", "A"),
            button("Command1", "计算无功负荷&C",  "若计算无功功率请点击",          {360, 2760, 2415, 495},   7),
            button("Command4", "计算视在功率&S",  "若计算视在功率请点击此处",      {360, 3960, 2415, 495},   2),
            button("Command5", "计算电流&A",      "计算电流请您点击此处",          {360, 5040, 2415, 495},   1),
            button("Command3", "清零&Q",          "真的要清零？！",                {4320, 1560, 1815, 495},  5),
            button("Command2", "退出&E",          "真的要退出？！",                {2640, 1560, 1455, 495},  6),
            label("Label1",    "有功功率（KW）",  "",                              {3360, 0, 2295, 495}).captionOf("Pjs"),
            label("Label2",    "功率因数",        "",                              {3360, 720, 2295, 495}).captionOf("Cos"),
            label("Label3",    "无功功率值(kVar)", "",                             {3000, 2280, 3255, 375}).captionOf("Qjs"),
            label("Label4",    "视在功率值(kVA)", "",                              {3000, 3480, 3255, 375}).at(0).captionOf("Sjs"),
            label("Label4",    "计算电流(A)",     "",                              {3000, 4560, 3255, 375}).at(1).captionOf("dl"),
        },
        // The power factor is the only input that can make a power fail
        // other than by its size.
        {
            {"Qjs", numeric::Failure::NegativeRoot,   "Cos", "功率因数须在 −1 与 1 之间且不为 0"},
            {"Qjs", numeric::Failure::DivisionByZero, "Cos", "功率因数须在 −1 与 1 之间且不为 0"},
            {"Sjs", numeric::Failure::DivisionByZero, "Cos", "功率因数须在 −1 与 1 之间且不为 0"},
        },
    };
    return table;
}

} // namespace load
