#include "trunking_window.h"

#include "builder.h"
#include "cables.h"

#include <array>
#include <string>

using namespace ui;

namespace trunking {

ui::Form* buildWindow(std::function<void()> back)
{
    Form* form = build(window());
    Form& f = *form;

    for (const CableRow& r : cableRows()) {
        const Cable kind = r.kind;
        const std::string size = r.field(1), area = r.field(2), count = r.field(3), total = r.field(4);

        // A row's total always follows its count and its area, so that the
        // running total never adds cables at an area they no longer have.
        auto recompute = [&f, area, count, total] {
            Step step(f);
            const double n = step.lenient(count);
            const double a = step.lenient(area);
            step.write(total, rowTotal(a, n));
        };
        f.onChange(count, recompute);
        f.onChange(area, recompute);

        // Runs at every keystroke: an unfinished number is part of typing, and
        // a size the catalogue does not know leaves the area as it was.
        f.onChange(size, [&f, kind, size, area] {
            Step step(f, true);
            const double typed = step.strict(size);
            if (!step.ok())
                return;
            if (const auto found = areaOf(kind, typed))
                step.writeText(area, areaText(*found));
        });
    }

    // Either element of the label adds the typed area and every row total once more.
    f.onClick("Label8", [&f] {
        Step step(f);
        const double typed = step.lenient("s");
        std::array<double, 6> rows{};
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = step.lenient(cableRows()[i].field(4));
        const double running = step.lenient("sz");
        step.write("sz", addToTotal(running, typed, rows));
    });
    f.onClick("xcmj", [&f] {
        Step step(f);
        const double percent = step.lenient("bfs");
        const double total = step.lenient("sz");
        step.write("xczmj", requiredSection(total, percent));
    });
    f.onClick("Label10", [&f] {
        f.setText("bfs", QString::fromStdString(numeric::formatSmallInt(20)));
        f.setCaption("xcmj", QString::fromStdString(window().find("xcmj")->caption));
        f.setShown("List1", true);
        f.setShown("List2", false);
    });
    f.onClick("Label11", [&f] {
        f.setText("bfs", QString::fromStdString(numeric::formatSmallInt(33)));
        f.setShown("List1", false);
        f.setShown("List2", true);
        f.setCaption("xcmj", QString::fromStdString(window().find("xcmj")->alternates.front()));
    });
    // Each count is emptied before its total: emptying the count writes 0
    // into the total, which the next step empties.
    f.onClick("ql", [&f] {
        Step step(f);
        for (const CableRow& r : cableRows()) {
            step.writeText(r.field(3), "");
            step.writeText(r.field(4), "");
        }
    });
    f.onClick("END", std::move(back));
    return form;
}

} // namespace trunking
