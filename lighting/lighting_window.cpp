#include "lighting_window.h"

#include "app/ui/builder.h"

using namespace ui;

namespace lighting {

ui::Form* buildWindow(std::function<void()> back)
{
    static const WindowDef window{"zdjs", "照度计算", 10410, 5655, "宋体", 15.75, 48};
    static const std::vector<Control> controls = {
        button("END", "退出&E", "", {240, 240, 1215, 495}, 0),
    };
    Form* form = build(window, controls);
    form->onClick("END", std::move(back));
    return form;
}

} // namespace lighting
