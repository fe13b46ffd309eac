#include "calculators.h"

#include "menu.h"
#include "schedule_file.h"
#include "lighting_sheet.h"
#include "lighting_window.h"
#include "lightning_sheet.h"
#include "lightning_window.h"
#include "load_sheet.h"
#include "load_window.h"
#include "trunking_sheet.h"
#include "trunking_window.h"

namespace {
std::string nothingMore(const ui::State&) { return {}; }
std::vector<std::string> noOwnTables() { return {}; }
} // namespace

const std::vector<Calculator>& calculators()
{
    static const std::vector<Calculator> all = {
        {"fhjs", "fh", load::window, load::buildWindow, load::makeSheet, load::caseName, nothingMore, noOwnTables},
        {"zdjs", "zd", lighting::window, lighting::buildWindow, lighting::makeSheet, lighting::caseName, nothingMore,
         noOwnTables},
        {"fljs", "fl", lightning::window, lightning::buildWindow, lightning::makeSheet, lightning::caseName,
         nothingMore, noOwnTables},
        {"XCJS", "xc", trunking::window, trunking::buildWindow, trunking::makeSheet, trunking::caseName,
         trunking::check, trunking::rowFields},
    };
    return all;
}

const Calculator* calculator(const std::string& window)
{
    for (const Calculator& c : calculators())
        if (c.window == window)
            return &c;
    return nullptr;
}

const ui::Table* tableOf(const std::string& window)
{
    if (window == menuWindow().window.name)
        return &menuWindow();
    const Calculator* c = calculator(window);
    return c ? &c->table() : nullptr;
}

const project::Parts& projectParts()
{
    static const project::Parts parts{load::schedulePart()};
    return parts;
}
