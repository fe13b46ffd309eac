#pragma once
// A sheet as the pager takes it: each heading, paragraph, formula and table
// a flow of lines broken to the text's width, with the space around it.

#include "pages.h"

#include <QStringList>
#include <vector>

namespace sheet::flow {

constexpr double bodySize = 10.5, headingSize = 12, titleSize = 16;
// A cell's text from its rules: across, as tableSetting() measured the columns.
constexpr double padX = 3, padY = 2;
// Space above and below, as the sheet's HTML gives it (a pixel there is ¾ pt).
constexpr double titleAfter = 4.5, headingBefore = 10.5, headingAfter = 4.5, paragraphSpace = 3, tableSpace = 3;
constexpr double indent = 2 * bodySize; // a formula line's 2 em
constexpr double eps = 0.01;

struct Row {
    std::vector<QStringList> cells; // each cell's lines
    int lines = 1;
    QString first; // the first cell's text, as the placement names the row
};

// A heading, a paragraph or a table, ready to be set on the pages.
struct Flow {
    bool table = false;
    PlacedLine::Kind kind = PlacedLine::Kind::Paragraph;
    int item = 0;
    double before = 0, after = 0;
    bool newPage = false;
    int face = 0;
    // A heading or paragraph: its lines, each indented by `indent` and its
    // own offset (a formula's continuation lines hang), all on one page
    // when `keep` (a heading, a formula).
    QStringList lines;
    std::vector<double> offsets;
    double indent = 0;
    bool centred = false;
    bool keep = false;
    // A table: its columns' edges from the text's left, its rows (the first
    // its header row, when `header`).
    std::vector<double> edges;
    int headFace = 0;
    bool ruled = true, header = false;
    std::vector<Row> rows;
};

// Every block of the sheet, in order, as the paper's text width breaks it.
std::vector<Flow> flows(const Sheet& sheet, Faces& faces);

} // namespace sheet::flow
