#pragma once
// The ODT of a sheet, written out in full rather than through a generic
// converter, so that a word processor shows it as the PDF does: the Chinese
// text in 宋体 at the sizes and weights of the headings (the East Asian font
// properties set beside the Western ones), tables ruled with their header row
// repeated and no figure broken, a running head and a foot numbering the pages.

#include "sheet.h"

class QIODevice;

namespace sheet {

bool writeOdt(const Sheet& sheet, QIODevice* device);

} // namespace sheet
