// The sheet library alone, no window: the files a sheet is saved as, as the
// engineer and the checker who files it with the building read them (every
// PDF page headed and numbered, headings and paragraphs kept together across
// pages, the ODT a zip a word processor opens with its Chinese fonts set and
// no figure broken in a table), and the line breaking and columns both share.

#include "layout.h"
#include "lines.h"
#include "pages.h"
#include "pdf.h"
#include "read_back.h"
#include "zip.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtEndian>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <ostream>
#include <set>

using sheet::PlacedLine;

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Fonts need a GUI application; the offscreen platform will do.
class Gui : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_sheet_library";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};
[[maybe_unused]] const ::testing::Environment* const gui = ::testing::AddGlobalTestEnvironment(new Gui);

const QString wj(QChar(sheet::wordJoiner));

// A project sheet long enough for every rule to meet a page's end somewhere:
// sections of paragraphs from one line to many, formula lines, a table over
// several pages and a case's sheet of its own. `shift` lines of text at the
// start move every page's end to another place.
sheet::Sheet longSheet(int shift, bool landscape = false,
                       sheet::Header header = {"滨江花园住宅小区", "3#楼", "张工", {}})
{
    sheet::Sheet s;
    s.title = QStringLiteral("配电计算书");
    s.made = QDateTime(QDate(2026, 12, 8), QTime(9, 30, 5));
    s.header = header;
    s.landscape = landscape;
    const QString words =
        QStringLiteral("本回路按需要系数法计算负荷，电缆截面按载流量与电压降校验，保护电器按整定电流选择。");
    auto text = [&](int n) {
        QString t;
        while (t.size() < n)
            t += words;
        return t.left(n);
    };
    sheet::Section& first = s.section(QStringLiteral("一、说明"));
    for (int i = 0; i < shift; ++i)
        first.text(text(20));
    for (int k = 0; k < 28; ++k) {
        sheet::Section& sec = s.section(QStringLiteral("%1、回路 WL%2").arg(k + 2).arg(k + 1));
        sec.text(text(30 + 53 * (k % 9)));
        sec.formula(QStringLiteral("I = P / (√3 × U × cosφ) = %1 / (1.732 × 0.38 × 0.85) = 189.681335356601 A").arg(k));
        if (k % 4 == 3)
            sec.text(text(400) + "\n" + text(90));
        if (k == 6) {
            std::vector<QStringList> rows;
            for (int r = 0; r < 70; ++r)
                rows.push_back({QStringLiteral("WL-%1").arg(r + 1, 2, 10, QChar('0')), QStringLiteral("照明回路"),
                                QStringLiteral("100*50=5000"), QStringLiteral("15_194"),
                                QStringLiteral("1436.36363636364")});
            sec.table({QStringLiteral("回路"), QStringLiteral("用途"), QStringLiteral("线槽"), QStringLiteral("规格"),
                       QStringLiteral("电流(A)")},
                      rows);
        }
        if (k == 14) {
            sheet::Section& own = s.section(QStringLiteral("单体计算书：3#楼地下室"));
            own.opensSheet = true;
            own.text(text(120));
        }
    }
    return s;
}

QByteArray written(const sheet::Sheet& s, sheet::Format format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(sheet::write(s, format, &buffer));
    return buffer.data();
}

// The placement's own checks, and a case's sheet on a page of its own.
void expectKeptTogether(const sheet::Placement& placed, const std::string& variant, bool caseSheet)
{
    ::expectKeptTogether(placed, variant);
    for (std::size_t i = 1; i < placed.lines.size(); ++i)
        if (caseSheet && placed.lines[i].text == QStringLiteral("单体计算书：3#楼地下室")) {
            EXPECT_GT(placed.lines[i].page, placed.lines[i - 1].page) << variant << ": a case's sheet starts a page";
        }
}

} // namespace

TEST(SheetPages, HeadingsAndParagraphsStayTogetherWhereverThePageEnds)
{
    int parted = 0, tablePages = 0;
    for (const bool landscape : {false, true})
        for (int shift = 0; shift < 6; ++shift) {
            const sheet::Placement placed = sheet::placement(longSheet(shift, landscape));
            expectKeptTogether(placed, (landscape ? "landscape, shift " : "upright, shift ") + std::to_string(shift),
                               true);
            std::map<int, std::set<int>> pagesOf;
            for (const PlacedLine& l : placed.lines)
                pagesOf[l.item].insert(l.page);
            for (const PlacedLine& l : placed.lines)
                if (pagesOf[l.item].size() > 1 && l.kind == PlacedLine::Kind::Paragraph &&
                    l.page == *pagesOf[l.item].begin())
                    ++parted;
            for (const PlacedLine& l : placed.lines)
                if (l.kind == PlacedLine::Kind::TableRow && l.text == "WL-70")
                    tablePages = std::max(tablePages, l.page - 1);
        }
    // The variants do put paragraphs and the table across page ends.
    EXPECT_GT(parted, 6);
    EXPECT_GT(tablePages, 0);

    // A table begun, and the sheet's last line set, at every place near a
    // page's foot: never a single line or row of its own on a page, and
    // those pages do come.
    int endings = 0;
    for (int filler = 30; filler < 58; ++filler)
        for (const bool conclusion : {false, true}) {
            sheet::Sheet s;
            s.title = QStringLiteral("照度计算书");
            sheet::Section& first = s.section(QStringLiteral("一、说明"));
            for (int i = 0; i < filler; ++i)
                first.text(QStringLiteral("第%1行").arg(i));
            std::vector<QStringList> rows(6, QStringList{QStringLiteral("照明"), "534", "13.35"});
            sheet::Section& second = s.section(QStringLiteral("二、结果"));
            second.table({QStringLiteral("项目"), QStringLiteral("功率"), QStringLiteral("数量")}, rows);
            if (conclusion)
                second.text(QStringLiteral("复核结论：N = 0.25305985898492 > 0.25：第二类防雷建筑物"));
            const sheet::Placement placed = sheet::placement(s);
            expectKeptTogether(
                placed, (conclusion ? "a conclusion after " : "a table after ") + std::to_string(filler) + " lines",
                false);
            endings += placed.pages > 1 && placed.lines.back().page == placed.pages;
        }
    EXPECT_GT(endings, 20);
}

// Read back as text, every page carries the running head and foot, and the
// long table its header row.
TEST(SheetPages, EveryPageOfThePdfIsHeadedAndNumbered)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    struct Case {
        const char* name;
        sheet::Header header;
        bool landscape;
        QStringList projectLine;
    };
    const QString blank(16, '_');
    const Case cases[] = {
        {"filled", {"滨江花园住宅小区", "3#楼", "张工", "李工"}, false, {"工程名称：滨江花园住宅小区", "子项：3#楼"}},
        {"blank, landscape", {}, true, {"工程名称：" + blank, "子项：" + blank}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const sheet::Sheet s = longSheet(1, c.landscape, c.header);
        QTemporaryDir dir;
        QFile file(dir.filePath("sheet.pdf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(written(s, sheet::Format::Pdf));
        file.close();
        QProcess reader;
        reader.start(pdftotext, {"-layout", file.fileName(), "-"});
        ASSERT_TRUE(reader.waitForFinished(30000));
        QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split('\f');
        pages.removeLast(); // after the last form feed
        const int count = static_cast<int>(pages.size());
        EXPECT_EQ(count, sheet::placement(s).pages);
        ASSERT_GE(count, 4);
        for (int n = 1; n <= count; ++n) {
            const QString page = pages[n - 1];
            const QString folded = page.simplified();
            EXPECT_TRUE(page.contains(s.title)) << n;
            for (const QString& part : c.projectLine) {
                EXPECT_TRUE(page.contains(part)) << n << " " << part.toStdString();
            }
            EXPECT_TRUE(folded.contains(sheet::pageOf(n, count))) << n << "\n" << page.toStdString();
            if (page.contains(QRegularExpression("WL-\\d\\d")) && !page.contains("WL-01")) {
                EXPECT_TRUE(page.contains("电流(A)")) << "the header row again on page " << n;
            }
        }
        const QString all = pages.join("");
        for (const char* figure : {"189.681335356601", "100*50=5000", "1436.36363636364", "校对："}) {
            EXPECT_TRUE(all.contains(QString::fromUtf8(figure))) << figure;
        }
    }
}

namespace {

struct Entry {
    QString name;
    quint16 flags = 0, method = 0;
    quint32 crc = 0, offset = 0;
    QByteArray data;
};

// The stored entries of a zip, through its central directory, each checked
// against its local header.
std::vector<Entry> unzip(const QByteArray& zip)
{
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(zip.constData() + at); };
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(zip.constData() + at); };
    std::vector<Entry> entries;
    if (zip.size() < 22)
        return entries;
    const qsizetype end = zip.size() - 22;
    EXPECT_EQ(u32(end), 0x06054b50u);
    qsizetype at = u32(end + 16);
    for (int i = 0; i < u16(end + 10) && at + 46 <= end; ++i) {
        EXPECT_EQ(u32(at), 0x02014b50u);
        Entry e;
        e.flags = u16(at + 8);
        e.method = u16(at + 10);
        e.crc = u32(at + 16);
        const quint32 size = u32(at + 24);
        EXPECT_EQ(u32(at + 20), size) << "stored: as large packed as unpacked";
        e.name = QString::fromUtf8(zip.mid(at + 46, u16(at + 28)));
        e.offset = u32(at + 42);
        const qsizetype local = e.offset;
        EXPECT_EQ(u32(local), 0x04034b50u);
        EXPECT_EQ(u32(local + 14), e.crc) << e.name.toStdString();
        EXPECT_EQ(QString::fromUtf8(zip.mid(local + 30, u16(local + 26))), e.name);
        e.data = zip.mid(local + 30 + u16(local + 26) + u16(local + 28), size);
        entries.push_back(e);
        at += 46 + u16(at + 28) + u16(at + 30) + u16(at + 32);
    }
    return entries;
}

// The zip read again by python3's zipfile: the same entries, stored, the
// checksums holding, the XML parsed; an ODT's cells the same texts as ours.
void expectPythonReadsTheSame(const QByteArray& zip, const std::vector<Entry>& ours, const QStringList& cells = {})
{
    QTemporaryDir dir;
    QFile file(dir.filePath("written.zip"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(zip);
    file.close();
    const std::optional<ZipRead> read = readWithPython(file.fileName());
    if (!read)
        GTEST_SKIP() << "python3 is not installed: not read again";
    EXPECT_EQ(read->error, "");
    ASSERT_EQ(read->entries.size(), ours.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        EXPECT_EQ(read->entries[i].name, ours[i].name);
        EXPECT_EQ(read->entries[i].size, ours[i].data.size()) << ours[i].name.toStdString();
        EXPECT_EQ(read->entries[i].method, 0) << ours[i].name.toStdString();
    }
    if (!cells.isEmpty()) {
        EXPECT_EQ(read->cells, cells);
    }
}

} // namespace

TEST(SheetZip, StoredEntriesReadBackWithTheirChecksums)
{
    EXPECT_EQ(sheet::crc32("123456789"), 0xCBF43926u); // the check value of CRC-32
    EXPECT_EQ(sheet::crc32({}), 0u);
    QByteArray binary;
    for (int i = 0; i < 3000; ++i)
        binary += static_cast<char>(i * 7 % 256);
    const std::vector<std::pair<QString, QByteArray>> put = {
        {"mimetype", "application/vnd.oasis.opendocument.text"},
        {QStringLiteral("计算书/说明.txt"), QStringLiteral("工程名称").toUtf8()},
        {"empty", {}},
        {"binary.bin", binary},
    };
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    sheet::ZipWriter zip(&buffer, QDateTime(QDate(2026, 12, 8), QTime(9, 30, 5)));
    for (const auto& [name, data] : put)
        zip.add(name, data);
    ASSERT_TRUE(zip.finish());

    const std::vector<Entry> got = unzip(buffer.data());
    ASSERT_EQ(got.size(), put.size());
    for (std::size_t i = 0; i < put.size(); ++i) {
        EXPECT_EQ(got[i].name, put[i].first);
        EXPECT_EQ(got[i].data, put[i].second) << got[i].name.toStdString();
        EXPECT_EQ(got[i].crc, sheet::crc32(put[i].second));
        EXPECT_EQ(got[i].method, 0);
        EXPECT_TRUE(got[i].flags & (1 << 11)) << "names in UTF-8";
    }
    expectPythonReadsTheSame(buffer.data(), got);
}

namespace {

// Each style's text properties, by style name ("" for the default paragraph style).
std::map<QString, QXmlStreamAttributes> textStyles(const QByteArray& xml)
{
    std::map<QString, QXmlStreamAttributes> styles;
    QXmlStreamReader reader(xml);
    QString style;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.qualifiedName() == u"style:style")
            style = reader.attributes().value("style:name").toString();
        else if (reader.qualifiedName() == u"style:default-style")
            style.clear();
        else if (reader.qualifiedName() == u"style:text-properties")
            styles[style] = reader.attributes();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return styles;
}

// The text of every table cell, in order.
QStringList cellTexts(const QByteArray& xml)
{
    QStringList cells;
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.qualifiedName() == u"table:table-cell" && depth++ == 0)
            cells << QString();
        else if (reader.isEndElement() && reader.qualifiedName() == u"table:table-cell")
            --depth;
        else if (reader.isCharacters() && depth > 0)
            cells.last() += reader.text();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return cells;
}

} // namespace

TEST(SheetOdt, AZipAWordProcessorOpensWithItsFontsAndFiguresWhole)
{
    const sheet::Sheet s = longSheet(0, true);
    const QByteArray odt = written(s, sheet::Format::Odt);
    // The type at its fixed place: the first entry, stored, named "mimetype".
    ASSERT_GT(odt.size(), 38 + 39);
    EXPECT_EQ(odt.mid(30, 8), "mimetype");
    EXPECT_EQ(odt.mid(38, 39), "application/vnd.oasis.opendocument.text");
    std::map<QString, QByteArray> parts;
    const std::vector<Entry> entries = unzip(odt);
    for (const Entry& e : entries)
        parts[e.name] = e.data;
    for (const char* part : {"META-INF/manifest.xml", "content.xml", "styles.xml", "meta.xml"}) {
        EXPECT_TRUE(parts.count(part)) << part;
    }
    for (const auto& [name, xml] : parts)
        if (name.endsWith(".xml")) {
            QXmlStreamReader reader(xml);
            while (!reader.atEnd())
                reader.readNext();
            EXPECT_FALSE(reader.hasError()) << name.toStdString() << ": " << reader.errorString().toStdString();
        }

    // Sizes and weights for the Chinese text too, not only the Western.
    const std::map<QString, QXmlStreamAttributes> styles = textStyles(parts["styles.xml"]);
    const std::map<QString, std::pair<QString, QString>> looks = {{"Heading_20_1", {"16pt", "bold"}},
                                                                  {"Heading_20_2", {"12pt", "bold"}},
                                                                  {"Text_20_body", {"10.5pt", "normal"}},
                                                                  {"", {"10.5pt", "normal"}}};
    for (const auto& [style, look] : looks) {
        EXPECT_TRUE(styles.count(style)) << style.toStdString();
        if (!styles.count(style))
            continue;
        const QXmlStreamAttributes& a = styles.at(style);
        for (const char* script : {"", "-asian", "-complex"}) {
            EXPECT_EQ(a.value(QStringLiteral("style:font-name%1").arg(script)), QStringLiteral("宋体"))
                << style.toStdString();
            EXPECT_EQ(
                a.value(QString(script).isEmpty() ? "fo:font-size" : QStringLiteral("style:font-size%1").arg(script)),
                look.first)
                << style.toStdString() << script;
            EXPECT_EQ(a.value(QString(script).isEmpty() ? "fo:font-weight"
                                                        : QStringLiteral("style:font-weight%1").arg(script)),
                      look.second)
                << style.toStdString() << script;
        }
    }
    const QString stylesXml = QString::fromUtf8(parts["styles.xml"]);
    for (const char* expected : {"fo:keep-with-next=\"always\"", "fo:widows=\"2\"", "fo:orphans=\"2\"",
                                 "<text:page-number", "<text:page-count", "style:print-orientation=\"landscape\"",
                                 "fo:page-width=\"29.700cm\"", "<style:font-face style:name=\"宋体\""})
        EXPECT_TRUE(stylesXml.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_TRUE(stylesXml.contains(s.title + "<text:tab/>" + sheet::projectLine(s)));

    const QString content = QString::fromUtf8(parts["content.xml"]);
    EXPECT_TRUE(content.contains("<table:table-header-rows>"));
    EXPECT_TRUE(content.contains("fo:break-before=\"page\""));
    const QStringList cells = cellTexts(parts["content.xml"]);
    QStringList plainCells;
    for (const QString& cell : cells)
        plainCells << QString(cell).remove(wj).replace(QChar(sheet::noBreakSpace), u' ');
    for (const char* header : {"工程名称：滨江花园住宅小区", "子项：3#楼", "计算：张工", "校对：________________"}) {
        EXPECT_TRUE(plainCells.contains(QString::fromUtf8(header))) << header;
    }
    // Every figure in a cell joined character to character, the text otherwise as given.
    int figures = 0;
    for (const QString& cell : cells) {
        const QString plain = QString(cell).remove(wj);
        for (const sheet::Run& r : sheet::figureRuns(plain)) {
            const QString figure = plain.mid(r.start, r.length);
            QString joined;
            for (const QChar c : figure)
                joined += (joined.isEmpty() ? "" : wj) + c;
            EXPECT_TRUE(cell.contains(joined)) << figure.toStdString();
            ++figures;
        }
    }
    EXPECT_GT(figures, 200);
    EXPECT_TRUE(cells.contains("1" + wj + "0" + wj + "0" + wj + "*" + wj + "5" + wj + "0" + wj + "=" + wj + "5" + wj +
                               "0" + wj + "0" + wj + "0"));
    expectPythonReadsTheSame(odt, entries, cells);
}

TEST(SheetText, FiguresAreFoundWholeWithWhatJoinsThem)
{
    const struct {
        const char* name;
        const char* text;
        QStringList figures;
    } cases[] = {
        {"product", "200*100=20000", {"200*100=20000"}},
        {"catalogue and size", "CTC505：50*50=2500", {"505", "50*50=2500"}},
        {"underscore", "50_2206 与 15_194", {"50_2206", "15_194"}},
        {"sign and exponent", "Δ = -1.5e-3 A，或 +2.5E+4", {"-1.5e-3", "+2.5E+4"}},
        {"superscript", "× 10⁻⁶ km²", {"10⁻⁶"}},
        {"dashes in a name", "-10-2：200*100=20000", {"-10-2", "200*100=20000"}},
        {"sentence end", "共 5000。合计 3.5.", {"5000", "3.5"}},
        {"letters around", "VV-1 3.2em 45X45=2025", {"3.2", "45X45=2025"}},
        {"single digits", "第2页 m²", {}},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        QStringList found;
        for (const sheet::Run& r : sheet::figureRuns(text))
            found << text.mid(r.start, r.length);
        EXPECT_EQ(found, c.figures) << c.name;
        const QString joined = sheet::joinKept(text);
        EXPECT_EQ(QString(joined).remove(wj).replace(QChar(sheet::noBreakSpace), u' '), text) << c.name;
        for (const QString& f : c.figures) {
            QString each;
            for (const QChar ch : f)
                each += (each.isEmpty() ? "" : wj) + ch;
            EXPECT_TRUE(joined.contains(each)) << c.name << ": " << f.toStdString();
        }
    }
}

// No column narrower than the figures in it, with what clings to them (a
// word processor may not break "CTC505：50*50=2500" at all); a table that
// cannot have that at the body's size is set smaller, down to 7 pt.
enum class Size { Body, Smaller, Smallest };

TEST(SheetText, ColumnsAreNeverNarrowerThanTheirFigures)
{
    const QString longText =
        QStringLiteral("按建筑电气设计手册查表取值并按现场条件修正，线槽内导线总截面不大于线槽截面的百分之四十");
    const QStringList figures = {"-10-2：200*100=20000", "189.681335356601", "1436.36363636364", "CTC505：50*50=2500",
                                 "45X45=2025",           "-1.5e-3",          "50_2206"};
    const struct {
        const char* name;
        QStringList header;
        std::vector<QStringList> rows;
        double available;
        Size size;
    } cases[] = {
        {"room for all", {"项目", "数值"}, {{"计算电流", "189.681335356601"}}, 480, Size::Body},
        {"a long text beside figures",
         {"说明", "数值", "单位"},
         {{longText + longText, "1436.36363636364", "mm²"}},
         480,
         Size::Body},
        {"many figures across",
         QStringList(figures.size() + 1, "列"),
         {QStringList{longText} + figures},
         480,
         Size::Smaller},
        {"figures wider than any page", QStringList(figures.size(), "列"), {figures}, 120, Size::Smallest},
    };
    const double padding = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const sheet::TableSetting set = sheet::tableSetting(c.header, c.rows, c.available, padding);
        EXPECT_EQ(set.widths.size(), static_cast<std::size_t>(c.header.size()));
        if (set.widths.size() != static_cast<std::size_t>(c.header.size()))
            continue;
        const sheet::Measure width = sheet::measure(set.pointSize);
        double total = 0;
        for (std::size_t col = 0; col < set.widths.size(); ++col) {
            total += set.widths[col];
            for (const QStringList& row : c.rows)
                for (const QString& word : row[static_cast<qsizetype>(col)].split(' '))
                    if (!sheet::figureRuns(word).empty() && !word.contains(QStringLiteral("按"))) {
                        EXPECT_GE(set.widths[col], width(word, false) + 2 * padding - 1e-6)
                            << c.name << ": " << word.toStdString();
                    }
        }
        switch (c.size) {
        case Size::Body: EXPECT_EQ(set.pointSize, 10.5) << c.name; break;
        case Size::Smaller:
            EXPECT_LT(set.pointSize, 10.5) << c.name;
            EXPECT_GT(set.pointSize, 7) << c.name;
            break;
        case Size::Smallest: EXPECT_EQ(set.pointSize, 7) << c.name; break;
        }
        if (c.size == Size::Smallest) {
            EXPECT_GT(total, c.available) << c.name << ": wider than the page rather than a figure broken";
        } else {
            EXPECT_NEAR(total, c.available, 1e-6) << c.name;
        }
    }
}

TEST(SheetText, TheHeaderShowsItsTextsOrLinesToFillIn)
{
    sheet::Sheet s;
    s.title = QStringLiteral("负荷计算书");
    s.header = {QStringLiteral("滨江花园住宅小区"), {}, QStringLiteral("张工"), {}};
    const QString blank(16, '_');
    for (const QString& out : {sheet::toPlainText(s), sheet::toHtml(s)})
        for (const QString& expected : {QStringLiteral("工程名称：滨江花园住宅小区"), "子项：" + blank,
                                        QStringLiteral("计算：张工"), "校对：" + blank})
            EXPECT_TRUE(out.contains(expected)) << expected.toStdString() << "\n" << out.toStdString();
    EXPECT_EQ(sheet::projectLine(s), QStringLiteral("工程名称：滨江花园住宅小区　子项：") + blank);
}

// A line is broken where Unicode allows, never inside a figure with its
// unit, a unit, a symbol with its subscript or a bracketed unit, and in a
// cell never inside a short word; breakLine() keeps them whole at any width
// that holds them, and drops only spaces.
TEST(SheetBreaks, UnitsSymbolsAndFiguresStayWhole)
{
    const struct {
        const char* name;
        const char* text;
        bool cell;
        QStringList whole;       // never broken inside
        QStringList breaksAfter; // a break right after each
    } cases[] = {
        {"strike density", "Ng = 2.01474583921996 次/(km²·a)", false, {"2.01474583921996 次/(km²·a)"}, {"Ng "}},
        {"bracketed unit", "设备容量Pe(kW) Ijs(A)", true, {"Pe(kW)", "Ijs(A)"}, {"设备容量"}},
        {"symbols with subscripts", "ΣPe、ΣPjs,i、ΣQjs,i", true, {"ΣPe", "ΣPjs,i", "ΣQjs,i"}, {"ΣPe、", "ΣPjs,i、"}},
        {"a Chinese unit", "N = 0.21 次/a（两位小数）", false, {"0.21 次/a"}, {"N "}},
        {"whole tubes", "n = 17 支，取 17 支", false, {"17 支"}, {"取 "}},
        {"area", "Ae = 0.0837946552930198 km²（同上）", false, {"0.0837946552930198 km²"}, {}},
        {"a city in a cell", "石家庄市 邢台市", true, {"石家庄市", "邢台市"}, {"石家庄市 "}},
        {"a long text in a cell", "最后一次计算在建筑物高度处失败", true, {}, {"最后"}},
        {"a city in running text", "所处城市为邢台市", false, {}, {"所处城市为邢"}},
    };
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&nowhere);
    const sheet::Face face(10.5, false, &pdf);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = QString::fromUtf8(c.text);
        const std::vector<qsizetype> breaks = sheet::breaksIn(text, c.cell);
        auto inside = [&](qsizetype at) {
            for (const QString& w : c.whole)
                for (qsizetype p = text.indexOf(w); p >= 0; p = text.indexOf(w, p + 1))
                    if (p < at && at < p + w.size())
                        return w;
            return QString();
        };
        for (const qsizetype b : breaks) {
            EXPECT_EQ(inside(b), "") << "a break at " << b;
        }
        for (const QString& before : c.breaksAfter) {
            const qsizetype at = text.indexOf(before) + before.size();
            EXPECT_NE(std::find(breaks.begin(), breaks.end(), at), breaks.end()) << before.toStdString();
        }
        double widest = 0; // from the widest piece that may not be broken on
        for (const QString& w : c.whole + sheet::unbrokenPieces(text, c.cell))
            widest = std::max(widest, face.width(w));
        for (double width = widest + 1; width < face.width(text) + 20; width += 3) {
            const QStringList lines = sheet::breakLine(text, width, face, c.cell);
            EXPECT_EQ(lines.join("").remove(' '), QString(text).remove(' ')) << width;
            qsizetype from = 0;
            for (const QString& line : lines) {
                const qsizetype at = text.indexOf(line, from);
                ASSERT_GE(at, 0) << line.toStdString();
                EXPECT_EQ(inside(at), "") << width << ": a line begins with " << line.toStdString();
                if (lines.size() > 1) {
                    EXPECT_LE(face.width(line), width + 0.5 + 0.002 * width) << line.toStdString();
                }
                from = at + line.size();
            }
        }
    }
}

// Formula lines at the body's size: a long equation wrapped before an " = "
// or between its terms, on one page, its lines read back whole when each
// that begins with "=" or an operator is joined to the one before.
TEST(SheetPages, LongFormulasAtTheBodySizeReadAsWholeEquations)
{
    const QStringList formulas = {
        "Ae = [L × W + (W + L) × 2 × √(H × (200 − H)) + (200 − H) × H × π] × 10⁻⁶ = "
        "[174 × 80 + (80 + 174) × 2 × √(54 × (200 − 54)) + (200 − 54) × 54 × 3.1416] × 10⁻⁶ = 0.0837946552930198 km²",
        "N = k × Ng × Ae = 1 × 3.02 × 0.0837946552930198 = 0.25305985898492 次/a（四舍五入至两位小数为 0.25；分类按未取舍的 N）",
        [] {
            QStringList terms;
            for (int i = 0; i < 14; ++i)
                terms << QString::number(4.64808253802327 + i, 'g', 15);
            return "ΣQjs,i = " + terms.join(" + ") + " = 148.31 kvar";
        }(),
    };
    sheet::Sheet s;
    s.title = QStringLiteral("防雷计算书");
    sheet::Section& method = s.section(QStringLiteral("二、计算方法及公式"));
    for (int filler = 0; filler < 40; ++filler) // a formula near the foot of the page too
        method.text(QStringLiteral("第%1行").arg(filler));
    for (const QString& f : formulas)
        method.formula(f);
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&nowhere);
    sheet::Faces faces(&pdf);
    const sheet::Pages pages = sheet::layOut(s, faces);
    const double width = sheet::paper(s).textWidth() * sheet::pointsPerMm;
    for (const QString& f : formulas) {
        SCOPED_TRACE(f.toStdString());
        QStringList lines;
        std::set<int> on;
        for (const PlacedLine& l : pages.placement.lines)
            if (f.startsWith(l.text) || (!lines.isEmpty() && f.contains(l.text) &&
                                         l.kind == PlacedLine::Kind::Paragraph && lines.join(' ').size() < f.size())) {
                lines << l.text;
                on.insert(l.page);
            }
        ASSERT_GT(lines.size(), 1);
        EXPECT_EQ(lines.join(' '), f);
        EXPECT_EQ(on.size(), 1u);
        for (qsizetype k = 1; k < lines.size(); ++k) {
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^[=+−×/] ")).match(lines[k]).hasMatch())
                << lines[k].toStdString();
        }
        for (const sheet::PageContent& page : pages.pages)
            for (const sheet::PageText& t : page.texts)
                if (lines.contains(t.text)) {
                    EXPECT_EQ(faces[t.face].pointSize(), 10.5) << t.text.toStdString();
                    EXPECT_LE(t.baseline.x() + faces[t.face].width(t.text), width + 0.5) << t.text.toStdString();
                }
    }
}

// A column never narrower than its widest short word (a city's name), nor
// than four characters where its texts are longer.
TEST(SheetText, AColumnKeepsItsShortWordsOnOneLine)
{
    const QString longText = QStringLiteral("最后一次计算在建筑物高度处失败：高度不能为负数，此为上一次计算的结果");
    const QStringList header = {
        "算例", "建筑物长度 L(m)", "校正系数的选择 k", "建筑重要程度", "所处城市", "年预计雷击次数 N(次/a)", "说明"};
    const std::vector<QStringList> rows = {
        {"fljs-edit", "174", "1", "一般住宅、办公楼", "石家庄市", "0.17", longText + longText},
        {"fljs-2010", "100", "1.5", "省部级办公楼", "邢台市", "0.21", longText},
    };
    const double padding = 3;
    const sheet::TableSetting set = sheet::tableSetting(header, rows, 480, padding);
    const sheet::Measure width = sheet::measure(set.pointSize);
    EXPECT_GE(set.widths[4], width(QStringLiteral("石家庄市"), false) + 2 * padding - 1e-6);
    EXPECT_GE(set.widths[3], width(QStringLiteral("省部级办公楼"), false) + 2 * padding - 1e-6);
    EXPECT_GE(set.widths[2], width(QStringLiteral("四个汉字"), false) + 2 * padding - 1e-6);
}
