#include "load_window.h"

#include "builder.h"
#include "load.h"

using namespace ui;

namespace load {

ui::Form* buildWindow(std::function<void()> back)
{
    Form* form = build(window());
    Form& f = *form;

    f.onClick("Command1", [&f] {
        Step step(f);
        const double c = step.lenient("Cos");
        const double p = step.lenient("Pjs");
        step.write("Qjs", reactivePower(p, c));
    });
    f.onClick("Command4", [&f] {
        Step step(f);
        const double c = step.lenient("Cos");
        const double p = step.lenient("Pjs");
        step.write("Sjs", apparentPower(p, c));
    });
    f.onClick("Command5", [&f] {
        Step step(f);
        const double s = step.strict("Sjs");
        step.write("dl", current(s));
    });
    f.onClick("Command3", [&f] {
        Step step(f);
        for (const char* name : {"Pjs", "Qjs", "Sjs", "dl"})
            step.writeText(name, "");
    });
    f.onDoubleClick("Cos", [&f] { f.setText("Cos", {}); });
    f.onClick("Command2", std::move(back));
    return form;
}

} // namespace load
