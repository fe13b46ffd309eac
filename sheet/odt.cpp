#include "odt.h"

#include "layout.h"
#include "odt_part.h"
#include "zip.h"

#include <QXmlStreamWriter>
#include <initializer_list>
#include <numeric>
#include <utility>

namespace sheet {

namespace {

using namespace odt;

// Only what XML 1.0 can carry: control characters other than tab and line
// feed are left out.
QString clean(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text)
        if (c >= u' ' || c == u'\t' || c == u'\n')
            if (c != u'\uFFFE' && c != u'\uFFFF')
                kept += c;
    return kept;
}

// Text as a paragraph holds it: a line break and a tab are elements, a run of
// spaces is counted (the word processor would fold it into one).
void writeText(Part& x, const QString& text)
{
    const QString t = clean(text);
    QString pending;
    bool lineStart = true;
    auto flush = [&] {
        if (!pending.isEmpty())
            x.xml().writeCharacters(pending);
        pending.clear();
    };
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u'\n') {
            flush();
            x.empty("text:line-break");
            lineStart = true;
        } else if (c == u'\t') {
            flush();
            x.empty("text:tab");
            lineStart = false;
        } else if (c == u' ') {
            qsizetype n = 1;
            while (i + n < t.size() && t[i + n] == u' ')
                ++n;
            i += n - 1;
            if (!lineStart) {
                pending += u' ';
                --n;
            }
            if (n > 0) {
                flush();
                x.empty("text:s", {{"text:c", QString::number(n)}});
            }
            lineStart = false;
        } else {
            pending += c;
            lineStart = false;
        }
    }
    flush();
}

void paragraph(Part& x, const char* element, const QString& style, const QString& text, Attributes more = {})
{
    x.start(element, {{"text:style-name", style}});
    x.set(more);
    writeText(x, text);
    x.end();
}

// The table's styles: its width and each column's, from the content, and
// the size of its text.
struct TableStyle {
    QString name;
    TableSetting set;
};

TableStyle tableStyle(int number, const Block& table, double available)
{
    const double padding = cellPaddingCm / 2.54 * 72 + 0.5;
    return {QStringLiteral("Table%1").arg(number),
            tableSetting(table.header, table.rows, available, padding, Setter::WordProcessor)};
}

void writeTableStyle(Part& x, const TableStyle& t, double available)
{
    const std::vector<double>& widths = t.set.widths;
    const double width = std::accumulate(widths.begin(), widths.end(), 0.0);
    x.start("style:style", {{"style:name", t.name}, {"style:family", "table"}});
    x.empty("style:table-properties", {{"style:width", ptToCm(width)},
                                       {"table:align", width >= available - 0.5 ? "margins" : "left"},
                                       {"fo:margin-top", "0.1cm"},
                                       {"fo:margin-bottom", "0.1cm"}});
    x.end();
    for (std::size_t c = 0; c < widths.size(); ++c) {
        x.start("style:style",
                {{"style:name", t.name + "." + QString::number(c + 1)}, {"style:family", "table-column"}});
        x.empty("style:table-column-properties", {{"style:column-width", ptToCm(widths[c])}});
        x.end();
    }
    // The table's own text size, for the header row and the others.
    for (const bool header : {false, true}) {
        x.start("style:style", {{"style:name", t.name + (header ? ".Heading" : ".Contents")},
                                {"style:family", "paragraph"},
                                {"style:parent-style-name", header ? "Table_20_Heading" : "Table_20_Contents"}});
        textProperties(x, t.set.pointSize, header);
        x.end();
    }
}

// Ruled cells: each draws its left and bottom lines, the top row its top
// line too and the last column its right line, so no line is drawn twice.
void writeCellStyles(Part& x)
{
    const QString line = QStringLiteral("0.5pt solid #000000");
    for (const bool top : {true, false})
        for (const bool last : {true, false}) {
            x.start("style:style", {{"style:name", QStringLiteral("Cell%1%2").arg(top ? "T" : "").arg(last ? "R" : "")},
                                    {"style:family", "table-cell"}});
            x.empty("style:table-cell-properties", {{"fo:padding", cm(cellPaddingCm)},
                                                    {"fo:border-left", line},
                                                    {"fo:border-right", last ? line : "none"},
                                                    {"fo:border-top", top ? line : "none"},
                                                    {"fo:border-bottom", line}});
            x.end();
        }
    x.start("style:style", {{"style:name", "Plain"}, {"style:family", "table-cell"}});
    x.empty("style:table-cell-properties", {{"fo:padding", "0.05cm"}, {"fo:border", "none"}});
    x.end();
}

void writeRow(Part& x, const QString& table, const QStringList& cells, qsizetype columns, bool top, bool header,
              bool ruled)
{
    x.start("table:table-row");
    for (qsizetype c = 0; c < columns; ++c) {
        const QString style = !ruled ? QStringLiteral("Plain")
                                     : QStringLiteral("Cell%1%2").arg(top ? "T" : "").arg(c + 1 == columns ? "R" : "");
        x.start("table:table-cell", {{"table:style-name", style}, {"office:value-type", "string"}});
        // Figures and units joined, so that a narrow cell wraps between them, never inside one.
        const QString text = ruled ? table + (header ? ".Heading" : ".Contents") : QStringLiteral("Table_20_Contents");
        paragraph(x, "text:p", text, joinKept(cells.value(c)));
        x.end();
    }
    x.end();
}

void writeTable(Part& x, const QString& name, const QString& style, qsizetype columns, const QStringList& header,
                const std::vector<QStringList>& rows, bool ruled)
{
    x.start("table:table", {{"table:name", name}, {"table:style-name", style}});
    for (qsizetype c = 0; c < columns; ++c)
        x.empty("table:table-column", {{"table:style-name", style + "." + QString::number(c + 1)}});
    if (!header.isEmpty()) {
        x.start("table:table-header-rows"); // repeated on each page the table runs onto
        writeRow(x, style, header, columns, true, true, ruled);
        x.end();
    }
    for (std::size_t r = 0; r < rows.size(); ++r)
        writeRow(x, style, rows[r], columns, header.isEmpty() && r == 0, false, ruled);
    x.end();
}

qsizetype columnsOf(const Block& b)
{
    qsizetype n = b.header.size();
    for (const QStringList& row : b.rows)
        n = std::max(n, row.size());
    return n;
}

QByteArray content(const Sheet& sheet)
{
    const double available = paper(sheet).textWidth() * pointsPerMm;
    std::vector<TableStyle> tables;
    for (const Section& s : sheet.sections)
        for (const Block& b : s.blocks)
            if (b.kind == Block::Kind::Table && columnsOf(b) > 0)
                tables.push_back(tableStyle(static_cast<int>(tables.size()) + 1, b, available));

    Part x("office:document-content", {"office", "style", "text", "table", "fo", "svg"});
    x.set({{"office:version", "1.2"}});
    fontFaces(x);
    x.start("office:automatic-styles");
    x.start(
        "style:style",
        {{"style:name", "SheetHeading"}, {"style:family", "paragraph"}, {"style:parent-style-name", "Heading_20_1"}});
    x.empty("style:paragraph-properties", {{"fo:break-before", "page"}});
    x.end();
    x.start("style:style", {{"style:name", "HeaderTable"}, {"style:family", "table"}});
    x.empty("style:table-properties", {{"style:width", ptToCm(available)}, {"table:align", "margins"}});
    x.end();
    for (const int c : {1, 2}) {
        x.start("style:style",
                {{"style:name", QStringLiteral("HeaderTable.%1").arg(c)}, {"style:family", "table-column"}});
        x.empty("style:table-column-properties", {{"style:column-width", ptToCm(available / 2)}});
        x.end();
    }
    for (const TableStyle& t : tables)
        writeTableStyle(x, t, available);
    writeCellStyles(x);
    x.end();

    x.start("office:body");
    x.start("office:text");
    paragraph(x, "text:h", "Heading_20_1", sheet.title, {{"text:outline-level", "1"}});
    writeTable(x, QStringLiteral("表头"), "HeaderTable", 2, {}, headerRows(sheet), false);
    std::size_t table = 0;
    for (const Section& s : sheet.sections) {
        // A sheet inside the sheet: headed like the title, on a new page.
        if (s.opensSheet)
            paragraph(x, "text:h", "SheetHeading", s.heading, {{"text:outline-level", "1"}});
        else
            paragraph(x, "text:h", "Heading_20_2", s.heading, {{"text:outline-level", "2"}});
        for (const Block& b : s.blocks) {
            switch (b.kind) {
            case Block::Kind::Text:
                paragraph(x, "text:p", "Text_20_body", joinKept(QString(b.text).remove('\r')));
                break;
            case Block::Kind::Formula: paragraph(x, "text:p", "Formula", joinKept(b.text)); break;
            case Block::Kind::Table:
                if (columnsOf(b) > 0) {
                    const TableStyle& t = tables[table++];
                    writeTable(x, t.name, t.name, columnsOf(b), b.header, b.rows, true);
                }
                break;
            }
        }
    }
    x.end();
    x.end();
    return x.done();
}

void paragraphStyle(Part& x, const QString& name, const QString& display, const QString& parent, Attributes paragraph,
                    double points, bool bold, Attributes more = {})
{
    x.start("style:style", {{"style:name", name}, {"style:display-name", display}, {"style:family", "paragraph"}});
    if (!parent.isEmpty())
        x.set({{"style:parent-style-name", parent}});
    x.set(more);
    x.empty("style:paragraph-properties", paragraph);
    textProperties(x, points, bold);
    x.end();
}

QByteArray styles(const Sheet& sheet)
{
    const Paper p = paper(sheet);
    const QString textWidth = cm(p.textWidth() / 10);
    Part x("office:document-styles", {"office", "style", "text", "table", "fo", "svg"});
    x.set({{"office:version", "1.2"}});
    fontFaces(x);

    x.start("office:styles");
    x.start("style:default-style", {{"style:family", "paragraph"}});
    x.empty("style:paragraph-properties", {{"fo:orphans", "2"}, {"fo:widows", "2"}, {"style:writing-mode", "lr-tb"}});
    textProperties(x, bodySize, false);
    // Chinese for the Chinese text; the figures, units and symbols are no
    // language's words: a word processor breaking them as Chinese would break
    // them anywhere, as it may break a Chinese text between any two
    // characters ("km" from "²", "0.083" from "8").
    x.xml().writeAttribute("fo:language", "zxx");
    x.xml().writeAttribute("fo:country", "none");
    x.xml().writeAttribute("style:language-asian", "zh");
    x.xml().writeAttribute("style:country-asian", "CN");
    x.end();
    paragraphStyle(x, "Standard", "Standard", {}, {}, bodySize, false, {{"style:class", "text"}});
    paragraphStyle(x, "Text_20_body", "Text body", "Standard",
                   {{"fo:margin-top", "0.1cm"}, {"fo:margin-bottom", "0.1cm"}, {"fo:orphans", "2"}, {"fo:widows", "2"}},
                   bodySize, false, {{"style:class", "text"}});
    paragraphStyle(x, "Formula", "Formula", "Text_20_body", {{"fo:margin-left", ptToCm(2 * bodySize)}}, bodySize, false,
                   {{"style:class", "text"}});
    // Headings stay with what follows them.
    paragraphStyle(x, "Heading", "Heading", "Standard",
                   {{"fo:margin-top", "0.4cm"}, {"fo:margin-bottom", "0.2cm"}, {"fo:keep-with-next", "always"}},
                   headingSize, true, {{"style:class", "text"}});
    paragraphStyle(x, "Heading_20_1", "Heading 1", "Heading",
                   {{"fo:text-align", "center"},
                    {"fo:margin-top", "0cm"},
                    {"fo:margin-bottom", "0.25cm"},
                    {"fo:keep-with-next", "always"}},
                   titleSize, true, {{"style:default-outline-level", "1"}, {"style:class", "text"}});
    paragraphStyle(x, "Heading_20_2", "Heading 2", "Heading", {{"fo:keep-with-next", "always"}}, headingSize, true,
                   {{"style:default-outline-level", "2"}, {"style:class", "text"}});
    paragraphStyle(x, "Table_20_Contents", "Table Contents", "Standard", {{"fo:margin", "0cm"}}, bodySize, false,
                   {{"style:class", "extra"}});
    paragraphStyle(x, "Table_20_Heading", "Table Heading", "Table_20_Contents", {{"fo:text-align", "center"}}, bodySize,
                   true, {{"style:class", "extra"}});

    // The running head: title on the left, project line on the right.
    x.start("style:style", {{"style:name", "Header"},
                            {"style:display-name", "Header"},
                            {"style:family", "paragraph"},
                            {"style:parent-style-name", "Standard"},
                            {"style:class", "extra"}});
    x.start("style:paragraph-properties",
            {{"fo:padding-bottom", "0.05cm"}, {"fo:border-bottom", "0.25pt solid #000000"}});
    x.start("style:tab-stops");
    x.empty("style:tab-stop", {{"style:position", textWidth}, {"style:type", "right"}});
    x.end();
    x.end();
    textProperties(x, headSize, false);
    x.end();
    paragraphStyle(
        x, "Footer", "Footer", "Standard",
        {{"fo:text-align", "center"}, {"fo:padding-top", "0.05cm"}, {"fo:border-top", "0.25pt solid #000000"}},
        headSize, false, {{"style:class", "extra"}});
    x.end(); // office:styles

    x.start("office:automatic-styles");
    x.start("style:page-layout", {{"style:name", "Page"}});
    x.empty("style:page-layout-properties", {{"fo:page-width", cm(p.size.width() / 10)},
                                             {"fo:page-height", cm(p.size.height() / 10)},
                                             {"style:print-orientation", sheet.landscape ? "landscape" : "portrait"},
                                             {"fo:margin-top", "1.3cm"},
                                             {"fo:margin-bottom", "1.2cm"},
                                             {"fo:margin-left", cm(p.margins.left() / 10)},
                                             {"fo:margin-right", cm(p.margins.right() / 10)},
                                             {"style:writing-mode", "lr-tb"}});
    x.start("style:header-style");
    x.empty("style:header-footer-properties", {{"fo:min-height", "0cm"}, {"fo:margin-bottom", "0.6cm"}});
    x.end();
    x.start("style:footer-style");
    x.empty("style:header-footer-properties", {{"fo:min-height", "0cm"}, {"fo:margin-top", "0.5cm"}});
    x.end();
    x.end();
    x.end();

    x.start("office:master-styles");
    x.start("style:master-page", {{"style:name", "Standard"}, {"style:page-layout-name", "Page"}});
    x.start("style:header");
    x.start("text:p", {{"text:style-name", "Header"}});
    writeText(x, sheet.title);
    x.empty("text:tab");
    writeText(x, projectLine(sheet));
    x.end();
    x.end();
    x.start("style:footer");
    x.start("text:p", {{"text:style-name", "Footer"}});
    x.xml().writeCharacters(QStringLiteral("第 "));
    x.start("text:page-number", {{"text:select-page", "current"}});
    x.xml().writeCharacters("1");
    x.end();
    x.xml().writeCharacters(QStringLiteral(" 页 共 "));
    x.start("text:page-count");
    x.xml().writeCharacters("1");
    x.end();
    x.xml().writeCharacters(QStringLiteral(" 页"));
    x.end();
    x.end();
    x.end();
    x.end();
    return x.done();
}

QByteArray meta(const Sheet& sheet)
{
    Part x("office:document-meta", {"office", "meta", "dc"});
    x.set({{"office:version", "1.2"}});
    x.start("office:meta");
    x.start("meta:generator");
    x.xml().writeCharacters(programName());
    x.end();
    x.start("dc:title");
    x.xml().writeCharacters(clean(sheet.title));
    x.end();
    if (sheet.made.isValid()) {
        x.start("meta:creation-date");
        x.xml().writeCharacters(sheet.made.toString(Qt::ISODate));
        x.end();
    }
    x.end();
    return x.done();
}

QByteArray manifest()
{
    Part x("manifest:manifest", {"manifest"});
    x.set({{"manifest:version", "1.2"}});
    x.empty("manifest:file-entry", {{"manifest:full-path", "/"},
                                    {"manifest:version", "1.2"},
                                    {"manifest:media-type", "application/vnd.oasis.opendocument.text"}});
    for (const char* part : {"content.xml", "styles.xml", "meta.xml"})
        x.empty("manifest:file-entry", {{"manifest:full-path", part}, {"manifest:media-type", "text/xml"}});
    return x.done();
}

} // namespace

bool writeOdt(const Sheet& sheet, QIODevice* device)
{
    ZipWriter zip(device, sheet.made.isValid() ? sheet.made : QDateTime::currentDateTime());
    // First and stored, so that its type reads at a fixed place in the file.
    zip.add("mimetype", "application/vnd.oasis.opendocument.text");
    zip.add("META-INF/manifest.xml", manifest());
    zip.add("content.xml", content(sheet));
    zip.add("styles.xml", styles(sheet));
    zip.add("meta.xml", meta(sheet));
    return zip.finish();
}

} // namespace sheet
