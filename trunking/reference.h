#pragma once
// Fixed reference data the engineer reads in the trunking window while
// choosing a trunking or a pipe. Display text only: no calculation reads it.

#include <string>
#include <vector>

namespace trunking {

// Trunking catalogue: designation：width*height=area, with group headings
// as items of their own.
const std::vector<std::string>& trunkingCatalogue();

// Pipe catalogue: size_inner area, under two headings.
const std::vector<std::string>& pipeCatalogue();

// The fill percentages offered for picking.
const std::vector<std::string>& fillPercentages();

// The fill rules, lines separated by CR LF.
const std::string& fillRules();

} // namespace trunking
