#include "lighting_window.h"

#include "builder.h"
#include "unit_power.h"

#include <QAbstractButton>
#include <utility>

using namespace ui;

namespace lighting {

namespace {

// The value of the selected option of the group `member` belongs to: the
// table says what each option stands for.
int selected(Step& step, const char* member)
{
    const auto group = window().group(member);
    for (const Control* option : group)
        if (step.checked(option->name))
            return static_cast<int>(*option->value);
    return static_cast<int>(*group.back()->value); // one option of a group is always selected
}

} // namespace

ui::Form* buildWindow(std::function<void()> back)
{
    Form* form = build(window());
    Form& f = *form;
    // The illuminance options stand on the window under their heading; a
    // screen reader hears each with the heading and the unit, not a bare number.
    for (const Control* option : window().group("zd300"))
        f.control(option->name)->setAccessibleDescription(QStringLiteral("%1 %2 lx").arg(f.text("Label4")).arg(*option->value));

    f.onClick("s", [&f] {
        Step step(f);
        const double w = step.lenient("w");
        const double l = step.lenient("l");
        step.write("mj", numeric::multiply(l, w));
    });
    // The area is read only once the height code has a column; an area the
    // table has no row for leaves the unit power as it was.
    f.onClick("Label3", [&f] {
        Step step(f);
        const double code = step.strict("H");
        if (!step.ok() || !hasColumn(code))
            return;
        const double area = step.strict("mj");
        if (!step.ok())
            return;
        if (const auto row = tableRow(code, area)) {
            step.lookedUp("表16-35", rowName(code, *row));
            step.writeText("dwgl", row->unitPower);
        }
    });
    f.onClick("Command1", [&f] {
        Step step(f);
        const int lux = selected(step, "zd300");
        const double area = step.strict("mj");
        const double unit = step.strict("dwgl");
        step.write("gl", lightingPower(unit, area, lux));
    });
    f.onClick("Command2", [&f] {
        Step step(f);
        const int watts = selected(step, "w40");
        const double power = step.strict("gl");
        step.write("n", lampCount(power, watts));
    });
    f.onClick("Command3", [&f] {
        Step step(f);
        const double area = step.strict("mj");
        const double load = step.strict("ps");
        step.write("kt", airConditioningLoad(load, area));
    });
    f.onClick("Command4", [&f] {
        Step step(f);
        for (const char* name : {"l", "w", "mj", "dwgl", "gl", "n", "kt"})
            step.writeText(name, "");
    });
    f.onDoubleClick("ps", [&f] { f.setText("ps", {}); });
    f.onClick("END", std::move(back));
    return form;
}

} // namespace lighting
