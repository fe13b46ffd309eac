#include "load_window.h"

#include "app/ui/builder.h"
#include "load.h"

using namespace ui;

namespace load {

ui::Form* buildWindow(std::function<void()> back)
{
    Form* form = build(window());
    Form& f = *form;

    // Apart from an overflow, a step here fails only through the power factor,
    // so that is the field the engineer must correct; an overflow stays with
    // the result that could not be formed.
    auto writeResult = [](Step& step, std::string_view field, const numeric::Num& result) {
        if (result || result.failure() == numeric::Failure::Overflow)
            step.write(field, result);
        else
            step.write(field, result, "Cos", QStringLiteral("功率因数须在 −1 与 1 之间且不为 0"));
    };
    f.onClick("Command1", [&f, writeResult] {
        Step step(f);
        const double c = step.lenient("Cos");
        const double p = step.lenient("Pjs");
        writeResult(step, "Qjs", reactivePower(p, c));
    });
    f.onClick("Command4", [&f, writeResult] {
        Step step(f);
        const double c = step.lenient("Cos");
        const double p = step.lenient("Pjs");
        writeResult(step, "Sjs", apparentPower(p, c));
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
