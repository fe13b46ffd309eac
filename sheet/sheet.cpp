#include "sheet.h"

#include "layout.h"
#include "odt.h"
#include "pdf.h"
#include "version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace sheet {

Section& Section::text(const QString& text)
{
    blocks.push_back({Block::Kind::Text, text, {}, {}});
    return *this;
}

Section& Section::formula(const QString& line)
{
    blocks.push_back({Block::Kind::Formula, line, {}, {}});
    return *this;
}

Section& Section::table(const QStringList& header, const std::vector<QStringList>& rows)
{
    blocks.push_back({Block::Kind::Table, {}, header, rows});
    return *this;
}

Section& Sheet::section(const QString& heading)
{
    sections.push_back({heading, {}});
    return sections.back();
}

QString programName() { return QStringLiteral("Elcarta " ELCARTA_VERSION); }

namespace {

QString escaped(const QString& text)
{
    return text.toHtmlEscaped().replace("\r\n", "<br/>").replace('\n', "<br/>");
}

// A table cell's text, each figure, unit and symbol in a span that a
// browser or word processor does not break, as the PDF keeps them whole.
QString escapedCell(const QString& text)
{
    QString html;
    qsizetype from = 0;
    for (const Run& r : keptRuns(text)) {
        html += escaped(text.mid(from, r.start - from)) + "<span style=\"white-space:nowrap;\">" +
                escaped(text.mid(r.start, r.length)) + "</span>";
        from = r.start + r.length;
    }
    return html + escaped(text.mid(from));
}

QString htmlTable(const QStringList& header, const std::vector<QStringList>& rows, bool ruled)
{
    QString html = ruled ? QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\" "
                                          "style=\"border-collapse:collapse;\">")
                         : QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    // The header row in <thead>: a table running onto the next page repeats it.
    if (!header.isEmpty()) {
        html += "<thead><tr>";
        for (const QString& h : header)
            html += "<th>" + escapedCell(h) + "</th>";
        html += "</tr></thead>";
    }
    for (const QStringList& row : rows) {
        html += "<tr>";
        for (const QString& cell : row)
            html += "<td>" + (ruled ? escapedCell(cell) : escaped(cell)) + "</td>";
        html += "</tr>";
    }
    return html + "</table>";
}

QString padded(const QString& text, int width) { return text + QString(std::max(0, width - displayWidth(text)), ' '); }

QString plainTable(const QStringList& header, const std::vector<QStringList>& rows, const QString& indent)
{
    std::vector<QStringList> all;
    if (!header.isEmpty())
        all.push_back(header);
    all.insert(all.end(), rows.begin(), rows.end());
    std::vector<int> widths;
    for (const QStringList& row : all)
        for (int i = 0; i < row.size(); ++i) {
            if (widths.size() <= static_cast<std::size_t>(i))
                widths.push_back(0);
            widths[i] = std::max(widths[i], displayWidth(row[i]));
        }
    QString text;
    for (const QStringList& row : all) {
        QString line = indent;
        for (int i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? padded(row[i], widths[i] + 2) : row[i];
        while (line.endsWith(' ')) // an empty last cell leaves no trailing spaces
            line.chop(1);
        text += line + "\n";
    }
    return text;
}

} // namespace

int displayWidth(const QString& text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

QString toHtml(const Sheet& sheet)
{
    QString html = "<html><head><meta charset=\"utf-8\"><title>" + escaped(sheet.title) +
                   "</title></head><body style=\"font-family:'宋体'; font-size:10.5pt;\">";
    html += "<h1 align=\"center\" style=\"font-size:16pt; margin-bottom:6px;\">" + escaped(sheet.title) + "</h1>";
    html += htmlTable({}, headerRows(sheet), false);
    for (const Section& s : sheet.sections) {
        // A sheet inside the sheet: headed like the title, on a new page.
        if (s.opensSheet)
            html += "<h1 align=\"center\" style=\"font-size:16pt; margin-top:0px; margin-bottom:6px; "
                    "page-break-before:always;\">" +
                    escaped(s.heading) + "</h1>";
        else
            html += "<h2 style=\"font-size:12pt; margin-top:14px; margin-bottom:6px;\">" + escaped(s.heading) + "</h2>";
        for (const Block& b : s.blocks) {
            switch (b.kind) {
            case Block::Kind::Text: html += "<p style=\"margin-top:4px; margin-bottom:4px;\">" + escaped(b.text) + "</p>"; break;
            case Block::Kind::Formula:
                html += "<p style=\"margin-top:4px; margin-bottom:4px; margin-left:2em;\">" + escaped(b.text) + "</p>";
                break;
            case Block::Kind::Table: html += htmlTable(b.header, b.rows, true); break;
            }
        }
    }
    return html + "</body></html>";
}

QString toPlainText(const Sheet& sheet)
{
    QString text = sheet.title + "\n\n" + plainTable({}, headerRows(sheet), {});
    for (const Section& s : sheet.sections) {
        text += "\n" + s.heading + "\n";
        if (s.opensSheet) // ruled under, as the title's rank
            text += QString(displayWidth(s.heading), '=') + "\n";
        for (const Block& b : s.blocks) {
            switch (b.kind) {
            case Block::Kind::Text: text += QString(b.text).replace("\r\n", "\n") + "\n"; break;
            case Block::Kind::Formula: text += "  " + b.text + "\n"; break;
            case Block::Kind::Table: text += plainTable(b.header, b.rows, "  "); break;
            }
        }
    }
    return text;
}

bool write(const Sheet& sheet, Format format, QIODevice* device)
{
    return format == Format::Pdf ? writePdf(sheet, device) : writeOdt(sheet, device);
}

Saved save(const Sheet& sheet, Format format, const QString& folder)
{
    // Named by their own names only: a note in the window has room for no path.
    const QString where = QFileInfo(folder).fileName();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return {{}, QStringLiteral("无法建立文件夹“%1”").arg(where)};

    const QString base = folder + "/" + sheet.title + "-" + sheet.made.toString("yyyyMMdd-HHmmss");
    const QString extension = format == Format::Pdf ? QStringLiteral(".pdf") : QStringLiteral(".odt");
    for (int n = 1; n < 10000; ++n) {
        const QString path = base + (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) + extension;
        QFile file(path);
        // Made new or not at all: an existing sheet is never written over.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path))
                continue;
            return {{}, QStringLiteral("无法在文件夹“%1”中写入文件").arg(where)};
        }
        const bool written = write(sheet, format, &file);
        const bool flushed = file.flush();
        const bool ok = written && flushed && file.error() == QFileDevice::NoError;
        file.close();
        if (!ok || file.error() != QFileDevice::NoError) {
            file.remove();
            return {{}, QStringLiteral("写入“%1”时出错，磁盘可能已满").arg(QFileInfo(path).fileName())};
        }
        return {path, {}};
    }
    return {{}, QStringLiteral("文件夹“%1”中同名的计算书太多").arg(where)};
}

} // namespace sheet
