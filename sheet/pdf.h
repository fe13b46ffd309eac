#pragma once
// The PDF of a sheet, laid out page by page the way a checker files it: a
// running head (title, project line) and foot (第 N 页 共 M 页) on every page, a
// heading never left at the foot of a page, no paragraph's single line alone
// at the top or bottom of one, a sheet inside a project sheet on a page of its
// own, and a table's header row again on each page the table runs onto.

#include "sheet.h"

#include <vector>

class QIODevice;

namespace sheet {

bool writePdf(const Sheet& sheet, QIODevice* device);

// Where the sheet's own lines land in its PDF, in reading order: each line of
// a heading or paragraph, each row of a table (its first cell's text).
struct PlacedLine {
    enum class Kind { Heading, Paragraph, TableRow };
    Kind kind = Kind::Paragraph;
    int item = 0; // the heading, paragraph or table the line belongs to, counted in reading order
    int page = 1; // counted from 1, as the foot numbers them
    QString text;
};
struct Placement {
    int pages = 0;
    std::vector<PlacedLine> lines;
};
Placement placement(const Sheet& sheet);

} // namespace sheet
