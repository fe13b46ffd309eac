#include "pdf.h"

#include "layout.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <memory>

namespace sheet {

namespace {

// A block that goes on with the paragraph before it: the paragraph was parted
// there so that its last line does not stand alone on a new page.
constexpr int continuesParagraph = QTextFormat::UserProperty + 1;

void setUp(QPdfWriter& pdf, const Sheet& sheet)
{
    // The whole sheet of paper: the head and foot are drawn in its margins.
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                  sheet.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                  QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    pdf.setTitle(sheet.title);
    pdf.setCreator(programName());
}

// A heading, a paragraph (one block, or several where it was parted at a
// page) or a table of the document's top level.
struct Item {
    PlacedLine::Kind kind = PlacedLine::Kind::Paragraph;
    std::vector<QTextBlock> blocks;
    QTextTable* table = nullptr;
};

class Pages {
public:
    Pages(const Sheet& sheet, QPdfWriter& pdf);
    int count() const;
    void paint(QPainter& painter, int page) const;                       // from 0
    void paintHeadAndFoot(QPainter& painter, int page, int pages) const; // from 1
    Placement placement() const;

private:
    const Sheet& sheet_;
    const Paper paper_;
    const double dots_; // device units in a millimetre
    std::unique_ptr<QTextDocument> doc_;
    double height_ = 1; // of the text area, in device units

    double dots(double mm) const { return mm * dots_; }
    std::vector<Item> items() const;
    // The page of each line of a heading or paragraph, of each row of a table.
    std::vector<int> pagesOf(const Item& item) const;
    int pageAt(double y) const { return static_cast<int>(y / height_); }
    bool fixFirstFault();
    bool breakBefore(const QTextBlock& block);
    bool partBefore(const Item& item, int line);
};

Pages::Pages(const Sheet& sheet, QPdfWriter& pdf)
    : sheet_(sheet), paper_(paper(sheet)), dots_(pdf.resolution() / 25.4), doc_(toDocument(sheet))
{
    doc_->documentLayout()->setPaintDevice(&pdf);
    doc_->setDocumentMargin(0);
    // A little room at the top and foot of every page: a Chinese face's ink
    // rises above its line, and the next page's first line would otherwise
    // show its tips at the foot of this one. In the layout's own pixels,
    // which it scales to the device: about 1.5 mm.
    QTextFrameFormat root = doc_->rootFrame()->frameFormat();
    root.setTopMargin(6);
    root.setBottomMargin(6);
    doc_->rootFrame()->setFrameFormat(root);
    doc_->setPageSize(QSizeF(dots(paper_.textWidth()), dots(paper_.textHeight())));
    height_ = doc_->pageSize().height();
    // Each fault mended moves only what comes after it, so the passes come
    // to an end; the bound keeps an unforeseen case from going on.
    for (int pass = 0; pass < 500 && fixFirstFault(); ++pass) {
    }
}

std::vector<Item> Pages::items() const
{
    doc_->documentLayout()->documentSize(); // laid out to the end
    std::vector<Item> items;
    for (auto it = doc_->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            if (table->rows() > 0)
                items.push_back({PlacedLine::Kind::TableRow, {}, table});
            continue;
        }
        const QTextBlock block = it.currentBlock();
        if (!block.isValid() || block.text().isEmpty())
            continue; // the empty block the document keeps after a table
        if (block.blockFormat().boolProperty(continuesParagraph) && !items.empty() &&
            items.back().kind == PlacedLine::Kind::Paragraph) {
            items.back().blocks.push_back(block);
            continue;
        }
        const bool heading = block.blockFormat().headingLevel() > 0;
        items.push_back({heading ? PlacedLine::Kind::Heading : PlacedLine::Kind::Paragraph, {block}, nullptr});
    }
    return items;
}

std::vector<int> Pages::pagesOf(const Item& item) const
{
    std::vector<int> pages;
    if (item.table) {
        QAbstractTextDocumentLayout* layout = doc_->documentLayout();
        for (int r = 0; r < item.table->rows(); ++r) {
            const QTextBlock cell = item.table->cellAt(r, 0).firstCursorPosition().block();
            const QRectF box = layout->blockBoundingRect(cell);
            pages.push_back(pageAt(box.top() + std::min(box.height(), height_) / 2));
        }
        return pages;
    }
    for (const QTextBlock& block : item.blocks) {
        const QTextLayout* layout = block.layout();
        const double top = layout->position().y();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            pages.push_back(pageAt(top + line.y() + line.height() / 2));
        }
    }
    return pages;
}

bool Pages::breakBefore(const QTextBlock& block)
{
    QTextBlockFormat format = block.blockFormat();
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        return false;
    format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(block).setBlockFormat(format);
    return true;
}

// Parts the paragraph before its line `line`, the part after it starting a new page.
bool Pages::partBefore(const Item& item, int line)
{
    for (const QTextBlock& block : item.blocks) {
        const int lines = block.layout()->lineCount();
        if (line >= lines) {
            line -= lines;
            continue;
        }
        if (line == 0)
            return false;
        const int at = block.layout()->lineAt(line).textStart();
        QTextBlockFormat before = block.blockFormat(), after = before;
        before.setBottomMargin(0);
        after.setTopMargin(0);
        after.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        after.setProperty(continuesParagraph, true);
        QTextCursor cursor(block);
        cursor.setBlockFormat(before);
        cursor.setPosition(block.position() + at);
        // A line begun by the engineer's own line break loses that break: the
        // new block begins the line instead.
        if (at > 0 && block.text().at(at - 1) == QChar::LineSeparator)
            cursor.deletePreviousChar();
        cursor.insertBlock(after);
        return true;
    }
    return false;
}

bool Pages::fixFirstFault()
{
    const std::vector<Item> items = this->items();
    std::vector<std::vector<int>> pages;
    for (const Item& item : items)
        pages.push_back(pagesOf(item));
    const std::size_t n = items.size();
    auto atTop = [&](std::size_t i) { return i == 0 || pages[i].front() > pages[i - 1].back(); };
    // A new page for the item, and with it for the headings that head it.
    auto moveToNextPage = [&](std::size_t i) {
        while (i > 0 && items[i - 1].kind == PlacedLine::Kind::Heading)
            --i;
        return !atTop(i) && !items[i].table && breakBefore(items[i].blocks.front());
    };
    for (std::size_t i = 0; i < n; ++i) {
        const std::vector<int>& lines = pages[i];
        if (lines.empty())
            continue;
        if (items[i].kind == PlacedLine::Kind::Heading) {
            // Never the last thing on a page: what follows starts on the heading's page.
            if (i + 1 < n && !pages[i + 1].empty() && pages[i + 1].front() > lines.back() && moveToNextPage(i))
                return true;
            continue;
        }
        if (items[i].kind != PlacedLine::Kind::Paragraph || lines.front() == lines.back())
            continue;
        const auto count = [&](int page) { return static_cast<int>(std::count(lines.begin(), lines.end(), page)); };
        const int size = static_cast<int>(lines.size());
        if (size == 2 || count(lines.front()) == 1) {
            // Two lines stay together; a first line alone at the foot goes over.
            if (moveToNextPage(i))
                return true;
        } else if (count(lines.back()) == 1) {
            // The last line alone on a new page takes the line before it along,
            // where that leaves two behind; otherwise the paragraph goes over whole.
            if (count(lines[static_cast<std::size_t>(size - 2)]) >= 3 ? partBefore(items[i], size - 2)
                                                                      : moveToNextPage(i))
                return true;
        }
    }
    return false;
}

int Pages::count() const
{
    // The document's trailing empty block may fall onto a page of its own;
    // the sheet ends where its last line does.
    int last = 0;
    for (const Item& item : items())
        for (const int page : pagesOf(item))
            last = std::max(last, page);
    return last + 1;
}

Placement Pages::placement() const
{
    Placement placed{count(), {}};
    const std::vector<Item> items = this->items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::vector<int> pages = pagesOf(items[i]);
        QStringList texts;
        if (items[i].table) {
            for (int r = 0; r < items[i].table->rows(); ++r)
                texts << items[i].table->cellAt(r, 0).firstCursorPosition().block().text();
        } else {
            for (const QTextBlock& block : items[i].blocks)
                for (int l = 0; l < block.layout()->lineCount(); ++l) {
                    const QTextLine line = block.layout()->lineAt(l);
                    texts << block.text().mid(line.textStart(), line.textLength());
                }
        }
        for (std::size_t l = 0; l < pages.size(); ++l)
            placed.lines.push_back(
                {items[i].kind, static_cast<int>(i), pages[l] + 1, texts.value(static_cast<qsizetype>(l))});
    }
    return placed;
}

void Pages::paint(QPainter& painter, int page) const
{
    const QRectF view(0, page * height_, dots(paper_.textWidth()), height_);
    painter.save();
    painter.translate(dots(paper_.margins.left()), dots(paper_.margins.top()) - view.top());
    // What the next page holds stays off this one; a table wider than the
    // text may still use the side margins.
    painter.setClipRect(view.adjusted(-dots(paper_.margins.left()), 0, dots(paper_.margins.right()), 0));
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    context.palette.setColor(QPalette::Text, Qt::black);
    doc_->documentLayout()->draw(&painter, context);
    painter.restore();
}

void Pages::paintHeadAndFoot(QPainter& painter, int page, int pages) const
{
    painter.save();
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(9);
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, dots(0.25)));
    const QFontMetricsF metrics(font, painter.device());
    const double left = dots(paper_.margins.left()), right = dots(paper_.size.width() - paper_.margins.right());
    const double width = right - left;

    // Title on the left, project line on the right; a title too long to
    // share the line goes on a line of its own above.
    const double rule = dots(paper_.margins.top() - 7);
    const double base = rule - dots(1.5);
    const QString project = metrics.elidedText(projectLine(sheet_), Qt::ElideMiddle, width);
    const double projectWidth = metrics.horizontalAdvance(project);
    const bool shared = metrics.horizontalAdvance(sheet_.title) + dots(8) + projectWidth <= width;
    painter.drawText(QPointF(left, shared ? base : base - metrics.lineSpacing()),
                     metrics.elidedText(sheet_.title, Qt::ElideRight, width));
    painter.drawText(QPointF(right - projectWidth, base), project);
    painter.drawLine(QPointF(left, rule), QPointF(right, rule));

    const double footRule = dots(paper_.size.height() - paper_.margins.bottom() + 6);
    painter.drawLine(QPointF(left, footRule), QPointF(right, footRule));
    const QString number = pageOf(page, pages);
    painter.drawText(
        QPointF(left + (width - metrics.horizontalAdvance(number)) / 2, footRule + dots(1.5) + metrics.ascent()),
        number);
    painter.restore();
}

} // namespace

bool writePdf(const Sheet& sheet, QIODevice* device)
{
    QPdfWriter pdf(device);
    setUp(pdf, sheet);
    Pages pages(sheet, pdf);
    const int count = pages.count();
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !pdf.newPage())
            return false;
        pages.paint(painter, page);
        pages.paintHeadAndFoot(painter, page + 1, count);
    }
    return painter.end(); // the device reports what could not be written
}

Placement placement(const Sheet& sheet)
{
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&nowhere);
    setUp(pdf, sheet);
    return Pages(sheet, pdf).placement();
}

} // namespace sheet
