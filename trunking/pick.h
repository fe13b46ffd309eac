#pragma once
// Which trunking or pipe of a catalogue list offers the required section: per
// group of the list, the smallest item whose printed area is at least the
// required section. Works on the printed item texts, as the engineer reads
// them. Pure standard C++.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trunking {

// The area an item prints after its last "=" or "_" ("-10-2：200*100=20000",
// "50_2206"); none for headings and notes.
std::optional<double> printedArea(std::string_view item);

struct Pick {
    std::string heading;             // the group's heading item as printed
    std::optional<std::string> item; // the smallest fitting item, none when no item fits
};

// A group starts at a heading: an item without an area that ends a caption
// with a colon ("电线槽：", "SC/RC:          "). Items without an area and
// without a colon are notes and are skipped. Of equal areas the first listed
// is taken.
std::vector<Pick> smallestFitting(const std::vector<std::string>& items, double required);

// The percentages the fill rules text gives, read from the text itself (lines
// separated by CR LF): for wires in a pipe by their section, and for power
// distribution circuits in a trunking on a wall or support.
struct PipeRule {
    double lower, upper; // wire sections in mm², both included
    double percent;
    std::string line;    // the rule as the text words it, trimmed
};
std::vector<PipeRule> pipeRules(const std::string& rules);
struct TrunkingRule {
    double percent;
    std::string line;
};
std::optional<TrunkingRule> wallTrunkingRule(const std::string& rules);

} // namespace trunking
