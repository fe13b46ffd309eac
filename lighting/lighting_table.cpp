// The illuminance window as the engineer sees it: one row per control.
// Standard C++ only, so that everything that needs the window's fields and
// options reads this one table.

#include "lighting_table.h"

using namespace ui;

namespace lighting {

namespace {

// The reference table the engineer reads beside the results; the unit power
// lookup holds the same values and limits.
const char* const reference = "计算依据建筑电气设计手册第410页表16-35基准每100lx\r\n"
                              "h=2~3\r\n"
                              "  10~15--10.4\r\n"
                              "  15~25--8.9\r\n"
                              "  25~50--7.7\r\n"
                              "  50~150--6.8\r\n"
                              "  150~300--6.3\r\n"
                              "  >300--5.9\r\n"
                              "h=4~6\r\n"
                              "  10~15--15\r\n"
                              "  15~20--12.4\r\n"
                              "  20~30--10.6\r\n"
                              "  30~50--9\r\n"
                              "  50~120--7.7\r\n"
                              "  120~300--6.8\r\n"
                              "  >300--6.3";

} // namespace

const Table& window()
{
    static const Table table{
        {"zdjs", "照度计算", 10410, 5655, "宋体", 15.75, 48},
        {
            // name          text or caption   tooltip                                             left, top, width, height  tab
            button("END",      "退出&E",         "",                                                 {240, 4920, 1575, 615},   0),
            field("l",         "",               "请输入长度(m)L",                                   {240, 360, 1575, 495},    1).input("房间长度", "L", "m"),
            field("w",         "",               "请输入宽度(m)W",                                   {240, 1080, 1575, 495},   2).input("房间宽度", "W", "m"),
            label("Label1",    "长度(m)",        "",                                                 {1920, 360, 1215, 495},   3).captionOf("l"),
            label("Label2",    "宽度(m)",        "",                                                 {1920, 1080, 1215, 495},  4).captionOf("w"),
            button("s",        "计算面积&S",     "",                                                 {240, 2400, 1575, 495},   5).captionOf("mj"),
            field("mj",        "",               "这里为计算所得面积平方米MJ",                       {1920, 2400, 1455, 495},  6).result("房间面积", "A", "m²"),
            frame("Frame1",    "日光灯功率(W)",                                                      {3720, 1560, 3855, 975},  7).input("日光灯功率", "Pd", "W"),
            option("w20",      "20W",                                                                {480, 480, 855, 375},     8).in("Frame1").means(20),
            option("w30",      "30W",                                                                {1560, 480, 975, 375},    9).in("Frame1").means(30),
            option("w40",      "40W",                                                                {2760, 480, 975, 375},    10).in("Frame1").checked().means(40),
            label("Label3",    "单位功率(W)",    "",                                                 {7680, 1560, 2415, 375},  11).captionOf("dwgl"),
            field("dwgl",      "",               "此处为单位功率(W)DWGL",                            {7680, 2040, 2415, 435},  12).result("单位功率（每100lx）", "U", "W/m²"),
            label("Label4",    "照度标准值",     "",                                                 {3720, 360, 1695, 495},   13),
            button("Command1", "计算功率&P",     "",                                                 {240, 3120, 1575, 495},   14).captionOf("gl"),
            field("gl",        "",               "计算后的功率(W)gl",                                {1920, 3120, 1455, 495},  15).result("照明功率", "P", "W"),
            button("Command2", "灯管支数&N",     "",                                                 {240, 3720, 1575, 495},   16).captionOf("n"),
            field("n",         "",               "根据所选灯管支数为N",                              {1920, 3720, 1455, 495},  17).result("灯管支数", "n", "支"),
            button("Command3", "空调负荷&C",     "",                                                 {240, 4320, 1575, 495},   18).captionOf("kt"),
            field("kt",        "",               "该房间应选空调功率数单位面积65W变量AC",            {1920, 4320, 1095, 495},  19).result("空调负荷", "Pkt", "kW"),
            label("Label5",    "高度(m)",        "",                                                 {1920, 1680, 1215, 495},  20).captionOf("H"),
            combo("H",         "23",             "请在这里输入房间高度2`3米输入23，4~6米输入46",     {240, 1680, 1575, 435},   21).withItems({"23", "46"}).input("房间高度代号"),
            label("Label6",    "kW",             "",                                                 {3000, 4320, 375, 495},   22),
            button("Command4", "清零&O",         "点击将清除所有数据",                               {1920, 4920, 1695, 615},  23),
            label("Label7",    reference,        "",                                                 {5040, 2640, 5175, 2940}, 24).pt(9),
            combo("ps",        "0.05",           "",                                                 {3480, 4320, 1335, 435},  25).withItems({"0.05", "0.055", "0.06", "0.065", "0.07"})
                                                                                                                             .knownAs("单位面积空调负荷(kW/m²)").input("单位面积空调负荷", "p", "kW/m²"),
            option("zd300",    "300",                                                                {5640, 1020, 855, 315},   26).checked().means(300).input("照度标准值", "E", "lx"),
            option("zd500",    "500",                                                                {6840, 1020, 975, 315},   27).means(500),
            option("zd750",    "750",                                                                {7800, 1020, 855, 315},   28).means(750),
            option("zd1000",   "1000",                                                               {8880, 1020, 1095, 315},  29).means(1000),
            option("zd200",    "200",                                                                {9480, 360, 855, 375},    30).means(200),
            option("zd150",    "150",                                                                {8520, 360, 855, 375},    31).means(150),
            option("zd100",    "100",                                                                {7560, 360, 855, 375},    32).means(100),
            option("zd50",     "50",                                                                 {5640, 360, 735, 375},    33).means(50),
            option("zd75",     "75",                                                                 {6480, 360, 735, 375},    34).means(75),
        },
    };
    return table;
}

} // namespace lighting
