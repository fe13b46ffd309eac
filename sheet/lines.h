#pragma once
// Where the lines of a sheet's text break: at the places Unicode's line
// breaking allows, never inside a figure with its unit or a symbol with its
// subscript; a formula wrapped onto continuation lines that still read as
// one equation.

#include "pages.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace sheet {

// A line of text broken to lines no wider than `width` points where
// breaksIn() allows (a cell's line keeps its short words too); a piece wider
// than the line on its own is broken between its characters, still not
// inside a figure. The spaces where a line was broken are dropped.
QStringList breakLine(const QString& line, double width, const Face& face, bool cell = false);

// A formula at the body's size, on one line when it fits. A chain of
// equalities of one symbol ("Ae = … = … = 0.0838 km²") is wrapped before an
// " = ", each continuation line beginning with "=" under the first one, and
// an equation still too long between its terms, before an operator; a
// checker reading the lines joins a line that begins with "=" or an
// operator to the one before and reads the equation whole. A sentence that
// names figures ("按 … A = 37.23 m² 查表 …，U = 7.7 W/m²") is wrapped as text.
struct Formula {
    QStringList lines;
    std::vector<double> offsets;
};
Formula formulaLines(const QString& text, double width, const Face& face);

} // namespace sheet
