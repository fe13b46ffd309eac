#include "pick.h"

#include "app/numeric/convert.h"

namespace trunking {

std::optional<double> printedArea(std::string_view item)
{
    const std::size_t mark = item.find_last_of("=_");
    if (mark == std::string_view::npos)
        return std::nullopt;
    const numeric::Num area = numeric::parseStrict(item.substr(mark + 1));
    if (!area)
        return std::nullopt;
    return area.value();
}

namespace {

bool isHeading(std::string_view item)
{
    return item.find("：") != std::string_view::npos || item.find(':') != std::string_view::npos;
}

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

} // namespace

std::vector<Pick> smallestFitting(const std::vector<std::string>& items, double required)
{
    std::vector<Pick> picks;
    double best = 0; // area of the current group's pick, when it has one
    for (const std::string& item : items) {
        const std::optional<double> area = printedArea(item);
        if (!area) {
            if (isHeading(item)) {
                picks.push_back({trimmed(item), std::nullopt});
            }
            continue;
        }
        if (picks.empty()) // items before any heading form a group of their own
            picks.push_back({});
        if (*area >= required && (!picks.back().item || *area < best)) {
            best = *area;
            picks.back().item = item;
        }
    }
    return picks;
}

} // namespace trunking
