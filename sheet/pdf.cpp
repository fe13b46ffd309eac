#include "pdf.h"

#include "layout.h"
#include "pages.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace sheet {

namespace {

void setUp(QPdfWriter& pdf, const Sheet& sheet)
{
    // The whole sheet of paper: the head and foot are drawn in its margins.
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                  sheet.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                  QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    pdf.setTitle(sheet.title);
    pdf.setCreator(programName());
}

class Painter {
public:
    Painter(const Sheet& sheet, QPainter& painter, const Faces& faces)
        : sheet_(sheet), paper_(paper(sheet)), painter_(painter), faces_(faces),
          dots_(painter.device()->logicalDpiY() / 25.4)
    {
    }
    void page(const PageContent& content) const;
    void headAndFoot(int page, int pages) const; // from 1

private:
    const Sheet& sheet_;
    const Paper paper_;
    QPainter& painter_;
    const Faces& faces_;
    const double dots_; // device units in a millimetre

    double dots(double mm) const { return mm * dots_; }
    // A point of the text area, in points, on the device.
    QPointF onPage(const QPointF& p) const
    {
        return {dots(paper_.margins.left() + p.x() / pointsPerMm), dots(paper_.margins.top() + p.y() / pointsPerMm)};
    }
};

void Painter::page(const PageContent& content) const
{
    painter_.save();
    painter_.setPen(QPen(Qt::black, dots(0.5 / pointsPerMm)));
    int face = -1;
    for (const PageText& t : content.texts) {
        if (t.face != face)
            painter_.setFont(faces_[face = t.face].font());
        painter_.drawText(onPage(t.baseline), t.text);
    }
    for (const QLineF& rule : content.rules)
        painter_.drawLine(onPage(rule.p1()), onPage(rule.p2()));
    painter_.restore();
}

void Painter::headAndFoot(int page, int pages) const
{
    painter_.save();
    const QFont font = sheetFont(9);
    painter_.setFont(font);
    painter_.setPen(QPen(Qt::black, dots(0.25)));
    const QFontMetricsF metrics(font, painter_.device());
    const double left = dots(paper_.margins.left()), right = dots(paper_.size.width() - paper_.margins.right());
    const double width = right - left;

    // Title on the left, project line on the right; a title too long to
    // share the line goes on a line of its own above.
    const double rule = dots(paper_.margins.top() - 7);
    const double base = rule - dots(1.5);
    const QString project = metrics.elidedText(projectLine(sheet_), Qt::ElideMiddle, width);
    const double projectWidth = metrics.horizontalAdvance(project);
    const bool shared = metrics.horizontalAdvance(sheet_.title) + dots(8) + projectWidth <= width;
    painter_.drawText(QPointF(left, shared ? base : base - metrics.lineSpacing()),
                      metrics.elidedText(sheet_.title, Qt::ElideRight, width));
    painter_.drawText(QPointF(right - projectWidth, base), project);
    painter_.drawLine(QPointF(left, rule), QPointF(right, rule));

    const double footRule = dots(paper_.size.height() - paper_.margins.bottom() + 6);
    painter_.drawLine(QPointF(left, footRule), QPointF(right, footRule));
    const QString number = pageOf(page, pages);
    painter_.drawText(
        QPointF(left + (width - metrics.horizontalAdvance(number)) / 2, footRule + dots(1.5) + metrics.ascent()),
        number);
    painter_.restore();
}

} // namespace

bool writePdf(const Sheet& sheet, QIODevice* device)
{
    QPdfWriter pdf(device);
    setUp(pdf, sheet);
    // Laid out in full before the first page is painted: every page knows the count.
    Faces faces(&pdf);
    const Pages pages = layOut(sheet, faces);
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    const Painter paint(sheet, painter, faces);
    const int count = static_cast<int>(pages.pages.size());
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !pdf.newPage())
            return false;
        paint.page(pages.pages[static_cast<std::size_t>(page)]);
        paint.headAndFoot(page + 1, count);
    }
    return painter.end(); // the device reports what could not be written
}

Placement placement(const Sheet& sheet)
{
    // Measured on the device the PDF is written with, so that it is the PDF's own.
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&nowhere);
    setUp(pdf, sheet);
    Faces faces(&pdf);
    return layOut(sheet, faces).placement;
}

} // namespace sheet
