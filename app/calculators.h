#pragma once
// The four calculators behind the menu: each window's table, how it is built,
// its sheet and the menu button that opens it. The one place besides main()
// that knows every window.

#include "sheet.h"
#include "control.h"
#include "project.h"
#include "state.h"

#include <functional>
#include <string>
#include <vector>

namespace ui { class Form; }

struct Calculator {
    std::string window;     // fhjs, fljs, zdjs, XCJS
    std::string menuButton; // fh, fl, zd, xc
    const ui::Table& (*table)();
    ui::Form* (*build)(std::function<void()> back);
    sheet::Sheet (*sheet)(const ui::State&);
    // A case's name made from its inputs ("7×5 m 500 lx").
    std::string (*caseName)(const ui::State&);
    // What the window refuses of a state beyond its table (a reason, or empty).
    std::string (*check)(const ui::State&);
    // Fields the sheet lays out in tables of its own (the cable rows), left
    // out of a project's summary.
    std::vector<std::string> (*ownTables)();
};

const std::vector<Calculator>& calculators();
// The calculator of this window, or nullptr.
const Calculator* calculator(const std::string& window);
// The table of any of the program's windows by name (the menu's too), or nullptr.
const ui::Table* tableOf(const std::string& window);
// What the calculators keep in a project beyond their windows' states.
const project::Parts& projectParts();
