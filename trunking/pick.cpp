#include "pick.h"

#include "convert.h"

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

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(trimmed(line));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return out;
}

// The numbers written in a line, in order ("1~6mm2 … 33%" gives 1, 6, 2, 33).
std::vector<std::pair<double, std::size_t>> numbersIn(const std::string& line)
{
    std::vector<std::pair<double, std::size_t>> found;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] >= '0' && line[i] <= '9') {
            std::size_t j = i;
            while (j < line.size() && ((line[j] >= '0' && line[j] <= '9') || line[j] == '.'))
                ++j;
            if (const numeric::Num n = numeric::parseStrict(line.substr(i, j - i)))
                found.emplace_back(n.value(), j);
            i = j;
        } else {
            ++i;
        }
    }
    return found;
}

// The number written just before the first "%" of the line.
std::optional<double> percentIn(const std::string& line)
{
    const std::size_t sign = line.find('%');
    if (sign == std::string::npos)
        return std::nullopt;
    std::optional<double> percent;
    for (const auto& [value, end] : numbersIn(line))
        if (end == sign)
            percent = value;
    return percent;
}

} // namespace

std::vector<PipeRule> pipeRules(const std::string& rules)
{
    std::vector<PipeRule> found;
    for (const std::string& line : lines(rules)) {
        const std::size_t unit = line.find("mm2");
        const std::optional<double> percent = percentIn(line);
        const auto numbers = numbersIn(line.substr(0, unit == std::string::npos ? 0 : unit));
        if (unit == std::string::npos || !percent || numbers.size() < 2)
            continue;
        found.push_back({numbers[0].first, numbers[1].first, *percent, line});
    }
    return found;
}

std::optional<TrunkingRule> wallTrunkingRule(const std::string& rules)
{
    for (const std::string& line : lines(rules))
        if (line.find("配电线路") != std::string::npos && line.find("墙上") != std::string::npos)
            if (const std::optional<double> percent = percentIn(line))
                return TrunkingRule{*percent, line};
    return std::nullopt;
}

} // namespace trunking
