// The main menu as the engineer sees it. Standard C++ only.

#include "menu_table.h"

using namespace ui;

const Table& menuWindow()
{
    static const Table table{
        {"dqjs", "Elcarta", 4680, 4065, "宋体", 15.75, 48},
        {
            // name     caption         tooltip  left, top, width, height  tab
            button("fh",  "负荷计算&F", "",      {360, 360, 1935, 495},    1),
            button("zd",  "照度计算&Z", "",      {2640, 360, 1695, 495},   2),
            button("fl",  "防雷计算&L", "",      {360, 1080, 1935, 495},   3),
            button("xc",  "线槽计算&C", "",      {2640, 1080, 1695, 495},  4),
            button("END", "退出&E",     "",      {480, 2160, 1815, 495},   0),
            label("Label1", "Elcarta 设计组", "", {840, 3000, 2775, 495}).face("华文行楷"),
        },
    };
    return table;
}
