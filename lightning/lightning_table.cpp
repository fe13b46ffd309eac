// The lightning protection window as the engineer sees it: one row per
// control. Standard C++ only, so that everything that needs the window's
// fields and options reads this one table.

#include "lightning_table.h"

using namespace ui;

namespace lightning {

const Table& window()
{
    static const Table table{
        {"fljs", "防雷计算", 8550, 6870, "宋体", 14.25, 32},
        {
            // name        caption or text     tooltip  left, top, width, height  tab
            label("Label2", "长度(m)",         "",      {0, 0, 1095, 375}).captionOf("l"),
            field("l",      "",                "L=",    {1200, 0, 1455, 375},     2).input("建筑物长度", "L", "m"),
            label("Label3", "宽度(m)",         "",      {0, 480, 1095, 375}).captionOf("w"),
            field("w",      "",                "W=",    {1200, 480, 1455, 375},   1).input("建筑物宽度", "W", "m"),
            label("Label4", "高度(m)",         "",      {0, 960, 1095, 375}).captionOf("H"),
            field("H",      "",                "H=",    {1200, 960, 1455, 375},   0).input("建筑物高度", "H", "m"),
            label("Label5", "雷击次数(次/a)",  "",      {0, 1440, 2655, 375}).captionOf("n"),
            field("n",      "",                "N=",    {0, 1920, 2655, 405},     3).result("年预计雷击次数", "N", "次/a"),
            field("Td",     "Td",              "Td=",   {0, 2520, 975, 405},      4).knownAs("年平均雷暴日Td")
                                                                                     .result("年平均雷暴日", "Td", "d/a"),
            field("k",      "k",               "k=",    {1080, 2520, 735, 405},   5).knownAs("校正系数k").result("校正系数", "k"),
            field("Ng",     "Ng",              "Ng=",   {1920, 2520, 975, 405},   6).knownAs("雷击大地的年平均密度Ng")
                                                                                     .result("雷击大地的年平均密度", "Ng", "次/(km²·a)"),
            button("js",    "计算雷击次数&C",  "",      {0, 3240, 1815, 375},     8).pt(12),
            label("Label1", "Ae=",             "",      {1920, 3240, 495, 375}).pt(15.75).captionOf("Ae"),
            field("Ae",     "",                "",      {2520, 3240, 3375, 435},  9).pt(15.75).result("等效面积", "Ae", "km²"),
            button("END",   "退出&E",          "",      {6240, 3240, 1215, 375},  7),
            label("djz",    "防雷等级为：",    "",      {120, 3840, 375, 2415}).captionOf("dj"),
            multiField("dj", "",               "",      {600, 3840, 7575, 2415},  27).result("防雷等级"),

            frame("Frame1", "校正系数k",                {3600, 120, 4575, 855},   10).input("校正系数的选择", "k"),
            option("j1",    "1",                        {240, 360, 975, 375},     11).in("Frame1").checked().means(1),
            option("j2",    "1.5",                      {1200, 360, 975, 375},    12).in("Frame1").means(1.5),
            option("j3",    "1.7",                      {2280, 360, 975, 375},    13).in("Frame1").means(1.7),
            option("j4",    "2",                        {3480, 360, 975, 375},    14).in("Frame1").means(2),
            frame("Frame2", "建筑重要程度",             {3480, 1200, 3015, 1335}, 15).input("建筑重要程度"),
            option("jz1",   "一般住宅、办公楼",         {120, 360, 2775, 285},    16).in("Frame2").checked(),
            option("jz2",   "省部级办公楼",             {120, 840, 2775, 285},    17).in("Frame2"),
            frame("Frame3", "所处城市",                 {6600, 1200, 1575, 1335}, 18).input("所处城市"),
            option("xt",    "邢台市",                   {240, 360, 1215, 285},    19).in("Frame3").checked(),
            option("sj",    "石家庄",                   {240, 840, 1215, 375},    20).in("Frame3"),
        },
        // Below 100 m the area takes a root of H × (200 − H).
        {
            {"Ae", numeric::Failure::NegativeRoot, "H", "高度不能为负数"},
        },
    };
    return table;
}

} // namespace lightning
