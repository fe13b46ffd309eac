#pragma once
// The PDF's pages worked out before a stroke is painted: every line of the
// sheet broken to its width and set on its page, the table rules with them,
// and where each of the sheet's own lines landed. Measured in the faces of
// the device that paints it, so that the pages painted are the pages counted.
// Positions are in points from the top left corner of a page's text area.

#include "pdf.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLineF>
#include <QPointF>
#include <QString>
#include <deque>
#include <vector>

class QPaintDevice;

namespace sheet {

// The sheet's face ("宋体", through the program's substitutions) at one size
// and weight, measured on the device; in points.
class Face {
public:
    Face(double pointSize, bool bold, QPaintDevice* device);
    const QFont& font() const { return font_; }
    double pointSize() const { return pointSize_; }
    bool bold() const { return bold_; }
    double width(const QString& text) const;
    // Whether the text is no wider than `width`: told from its characters'
    // own advances where they leave room to spare, measured whole otherwise.
    bool within(const QString& text, double width) const;
    double ascent() const { return ascent_; }
    double lineHeight() const { return lineHeight_; }

private:
    QFont font_;
    QFontMetricsF metrics_;
    double pointSize_;
    bool bold_;
    double scale_; // points in a device unit
    double ascent_ = 0;
    double lineHeight_ = 0;
    mutable QHash<QString, double> widths_; // a sheet repeats its words and figures
    mutable QHash<char16_t, double> advances_;
};

// The faces a sheet is set in, each made once; an index names one.
class Faces {
public:
    explicit Faces(QPaintDevice* device) : device_(device) {}
    int find(double pointSize, bool bold);
    const Face& operator[](int index) const { return faces_[static_cast<std::size_t>(index)]; }

private:
    QPaintDevice* device_;
    std::deque<Face> faces_; // a deque, so that a face stays put while the next is made
};

// A line of text on a page, from the left end of its baseline.
struct PageText {
    QPointF baseline;
    QString text;
    int face = 0;
};
struct PageContent {
    std::vector<PageText> texts;
    std::vector<QLineF> rules; // a table's grid
};
struct Pages {
    std::vector<PageContent> pages;
    Placement placement;
};

// The sheet set page by page on A4 as paper(sheet) gives it.
Pages layOut(const Sheet& sheet, Faces& faces);


} // namespace sheet
