#include "lightning_window.h"

#include "app/ui/builder.h"

using namespace ui;

namespace lightning {

ui::Form* buildWindow(std::function<void()> back)
{
    static const WindowDef window{"fljs", "防雷计算", 8550, 6870, "宋体", 14.25, 32};
    static const std::vector<Control> controls = {
        button("END", "退出&E", "", {240, 240, 1215, 495}, 0),
    };
    Form* form = build(window, controls);
    form->onClick("END", std::move(back));
    return form;
}

} // namespace lightning
