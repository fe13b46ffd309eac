#include "lightning_window.h"

#include "app/ui/builder.h"
#include "strike.h"

#include <utility>

using namespace ui;

namespace lightning {

ui::Form* buildWindow(std::function<void()> back)
{
    static const WindowDef window{"fljs", "防雷计算", 8550, 6870, "宋体", 14.25, 32};
    static const std::vector<Control> controls = {
        // name        caption or text     tooltip  left, top, width, height  tab
        label("Label2", "长度(m)",         "",      {0, 0, 1095, 375}).captionOf("l"),
        field("l",      "",                "L=",    {1200, 0, 1455, 375},     2),
        label("Label3", "宽度(m)",         "",      {0, 480, 1095, 375}).captionOf("w"),
        field("w",      "",                "W=",    {1200, 480, 1455, 375},   1),
        label("Label4", "高度(m)",         "",      {0, 960, 1095, 375}).captionOf("H"),
        field("H",      "",                "H=",    {1200, 960, 1455, 375},   0),
        label("Label5", "雷击次数(次/a)",  "",      {0, 1440, 2655, 375}).captionOf("n"),
        field("n",      "",                "N=",    {0, 1920, 2655, 405},     3),
        field("Td",     "Td",              "Td=",   {0, 2520, 975, 405},      4),
        field("k",      "k",               "k=",    {1080, 2520, 735, 405},   5),
        field("Ng",     "Ng",              "Ng=",   {1920, 2520, 975, 405},   6),
        button("js",    "计算雷击次数&C",  "",      {0, 3240, 1815, 375},     8).pt(12),
        label("Label1", "Ae=",             "",      {1920, 3240, 495, 375}).pt(15.75).captionOf("Ae"),
        field("Ae",     "",                "",      {2520, 3240, 3375, 435},  9).pt(15.75),
        button("END",   "退出&E",          "",      {6240, 3240, 1215, 375},  7),
        label("djz",    "防雷等级为：",    "",      {120, 3840, 375, 2415}).captionOf("dj"),
        multiField("dj", "",               "",      {600, 3840, 7575, 2415},  27),

        frame("Frame1", "校正系数k",                {3600, 120, 4575, 855},   10),
        option("j1",    "1",                        {240, 360, 975, 375},     11).in("Frame1").checked(),
        option("j2",    "1.5",                      {1200, 360, 975, 375},    12).in("Frame1"),
        option("j3",    "1.7",                      {2280, 360, 975, 375},    13).in("Frame1"),
        option("j4",    "2",                        {3480, 360, 975, 375},    14).in("Frame1"),
        frame("Frame2", "建筑重要程度",             {3480, 1200, 3015, 1335}, 15),
        option("jz1",   "一般住宅、办公楼",         {120, 360, 2775, 285},    16).in("Frame2").checked(),
        option("jz2",   "省部级办公楼",             {120, 840, 2775, 285},    17).in("Frame2"),
        frame("Frame3", "所处城市",                 {6600, 1200, 1575, 1335}, 18),
        option("xt",    "邢台市",                   {240, 360, 1215, 285},    19).in("Frame3").checked(),
        option("sj",    "石家庄",                   {240, 840, 1215, 375},    20).in("Frame3"),
    };
    static const std::pair<const char*, double> correctionFactors[] = {
        {"j1", 1}, {"j2", 1.5}, {"j3", 1.7}, {"j4", 2}};

    Form* form = build(window, controls);
    Form& f = *form;

    // Each value goes into its field and the next step reads it back from
    // there, so the engineer sees every figure the verdict rests on.
    f.onClick("js", [&f] {
        Step step(f);
        if (step.checked("xt"))
            step.write("Td", thunderstormDays(City::Xingtai));
        if (step.checked("sj"))
            step.write("Td", thunderstormDays(City::Shijiazhuang));

        step.write("Ng", strikeDensity(step.strict("Td")));

        // The area fails only through the height (a root of a negative
        // number) or through dimensions beyond any building.
        auto writeArea = [&step](const numeric::Num& area) {
            const bool negative = !area && area.failure() == numeric::Failure::NegativeRoot;
            step.write("Ae", area, "H", negative ? QStringLiteral("高度不能为负数") : QString());
        };
        if (isLowBuilding(step.lenient("H"))) {
            const double w = step.lenient("w");
            const double l = step.lenient("l");
            const double h = step.lenient("H");
            writeArea(lowBuildingArea(l, w, h));
        }
        if (!isLowBuilding(step.lenient("H"))) {
            const double w = step.lenient("w");
            const double l = step.lenient("l");
            const double h = step.lenient("H");
            writeArea(highBuildingArea(l, w, h));
        }

        for (const auto& [option, k] : correctionFactors)
            if (step.checked(option))
                step.write("k", k);

        const double ng = step.strict("Ng");
        const double ae = step.strict("Ae");
        const double k = step.strict("k");
        step.write("n", expectedStrikes(ae, ng, k));

        if (step.checked("jz1"))
            step.writeText("dj", verdict(step.strict("n"), Importance::Ordinary));
        if (step.checked("jz2"))
            step.writeText("dj", verdict(step.strict("n"), Importance::Important));
    });
    f.setDefaultButton("js");
    f.onClick("END", std::move(back));
    return form;
}

} // namespace lightning
