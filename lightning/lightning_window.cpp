#include "lightning_window.h"

#include "builder.h"
#include "strike.h"

#include <utility>

using namespace ui;

namespace lightning {

ui::Form* buildWindow(std::function<void()> back)
{
    Form* form = build(window());
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

        // The height first, as the step has always read it: the record of Ae
        // (and so the sheet) lists H, W, L in that order.
        const double h = step.lenient("H");
        const double w = step.lenient("w");
        const double l = step.lenient("l");
        step.write("Ae", collectionArea(l, w, h));

        for (const Control* option : window().group("j1"))
            if (step.checked(option->name))
                step.write("k", *option->value);

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
