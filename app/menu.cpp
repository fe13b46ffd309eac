#include "menu.h"

#include "app/ui/builder.h"
#include "app/ui/widgets.h"

#include <QElapsedTimer>
#include <QEvent>
#include <memory>

using namespace ui;

ui::Form* buildMenu(std::function<void(const std::string&)> open, std::function<void()> end)
{
    static const WindowDef window{"dqjs", "Elcarta", 4680, 4065, "宋体", 15.75, 48};
    static const std::vector<Control> controls = {
        // name     caption         tooltip  left, top, width, height  tab
        button("fh",  "负荷计算&F", "",      {360, 360, 1935, 495},    1),
        button("zd",  "照度计算&Z", "",      {2640, 360, 1695, 495},   2),
        button("fl",  "防雷计算&L", "",      {360, 1080, 1935, 495},   3),
        button("xc",  "线槽计算&C", "",      {2640, 1080, 1695, 495},  4),
        button("END", "退出&E",     "",      {480, 2160, 1815, 495},   0),
        label("Label1", "Elcarta 设计组", "", {840, 3000, 2775, 495}).face("华文行楷"),
    };

    Form* form = build(window, controls);

    const std::pair<const char*, const char*> calculators[] = {
        {"fh", "fhjs"}, {"zd", "zdjs"}, {"fl", "fljs"}, {"xc", "XCJS"}};
    for (const auto& [buttonName, windowName] : calculators) {
        const std::string target = windowName;
        form->onClick(buttonName, [open, target] { open(target); });
    }
    form->onClick("END", std::move(end));

    // Alt+E leaves a calculator for this menu; a second Alt+E that soon is a
    // bounce or a double press meant for the calculator, and would end the
    // program with every figure in it. For half a second after the menu
    // appears its exit button ignores its access key; a click always works.
    auto shownAt = std::make_shared<QElapsedTimer>();
    new EventHook(form->window(), QEvent::Show, [shownAt] {
        shownAt->start();
        return false;
    });
    new EventHook(form->control("END"), QEvent::Shortcut, [shownAt] {
        return shownAt->isValid() && shownAt->elapsed() < 500;
    });
    return form;
}
