// The project window as the engineer sees it, in the face and look of the
// calculators. Standard C++ only.

#include "project_table.h"

using namespace ui;

namespace project {

const Table& window()
{
    static const Table table{
        {"gc", "工程", 9390, 6960, "宋体", 12, 48},
        {
            // name        caption or text          tooltip                           left, top, width, height   tab
            label("Label1", "工程名称",             "",                               {240, 240, 1200, 375}).captionOf("gcmc"),
            field("gcmc",   "",                     "印在每份计算书的表头",           {1440, 240, 3000, 375},     0),
            label("Label2", "子项",                 "",                               {4680, 240, 720, 375}).captionOf("zx"),
            field("zx",     "",                     "印在每份计算书的表头",           {5400, 240, 3720, 375},     1),
            label("Label3", "计算",                 "",                               {240, 720, 1200, 375}).captionOf("js"),
            field("js",     "",                     "计算人，印在每份计算书的表头",   {1440, 720, 3000, 375},     2),
            label("Label4", "校对",                 "",                               {4680, 720, 720, 375}).captionOf("jd"),
            field("jd",     "",                     "校对人，印在每份计算书的表头",   {5400, 720, 3720, 375},     3),
            label("Label5", "工程文件",             "",                               {240, 1200, 1200, 375}).captionOf("wj"),
            label("wj",     "尚未保存",             "",                               {1440, 1200, 7680, 375}),

            label("Label6", "算例",                 "",                               {240, 1680, 4560, 375}).captionOf("sl"),
            list("sl",                                                                {240, 2100, 4560, 2640},    4),
            label("Label7", "算例名称",             "",                               {240, 4860, 1200, 375}).captionOf("slmc"),
            field("slmc",   "",                     "改好名称后点击“改名”",           {1440, 4860, 3360, 375},    5),
            button("zr",    "载入算例&Z",           "把所选算例载入其计算窗口",       {240, 5340, 1440, 450},     6),
            button("gm",    "改名&G",               "",                               {1800, 5340, 1440, 450},    7),
            button("sc",    "删除算例&S",           "",                               {3360, 5340, 1440, 450},    8),

            label("Label8", "配电箱",               "",                               {5040, 1680, 4080, 375}).captionOf("pdx"),
            list("pdx",                                                               {5040, 2100, 4080, 1140},   9),
            button("jsb",   "负荷计算表&H",         "打开所选配电箱的负荷计算表",     {5040, 3360, 1920, 450},    10),
            label("Label9", "最近的工程",           "",                               {5040, 3960, 4080, 375}).captionOf("zj"),
            list("zj",                                                                {5040, 4380, 4080, 840},    11),
            button("dk",    "打开所选&K",           "打开所选的最近工程",             {5040, 5340, 1920, 450},    12),

            button("xj",    "新建工程&X",           "",                               {240, 6180, 1440, 495},     13),
            button("dkgc",  "打开工程&D",           "",                               {1800, 6180, 1440, 495},    14),
            button("bc",    "保存工程&B",           "",                               {3360, 6180, 1440, 495},    15),
            button("lc",    "另存为&L",             "",                               {4920, 6180, 1440, 495},    16),
            button("jss",   "工程计算书&J",         "保存工程计算书（PDF）",          {6480, 6180, 1560, 495},    17),
            button("fh",    "返回&F",               "",                               {8160, 6180, 960, 495},     18),
        },
    };
    return table;
}

} // namespace project
