#include "trunking_window.h"

#include "app/ui/builder.h"

using namespace ui;

namespace trunking {

ui::Form* buildWindow(std::function<void()> back)
{
    static const WindowDef window{"XCJS", "线槽计算", 9390, 8040, "宋体", 15.75, 48};
    static const std::vector<Control> controls = {
        button("END", "退出&E", "", {240, 240, 1215, 495}, 0),
    };
    Form* form = build(window, controls);
    form->onClick("END", std::move(back));
    return form;
}

} // namespace trunking
