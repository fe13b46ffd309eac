#include "convert.h"
#include "form.h"
#include "pick.h"
#include "reference.h"
#include "trunking_sheet.h"
#include "trunking_window.h"
#include "window_test.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <vector>

namespace {

const char* const counts[] = {"VV3", "BV3", "SYV3", "UTP3", "LGB3", "RVS3"};
const char* const totals[] = {"VV4", "BV4", "SYV4", "UTP4", "LGB4", "RVS4"};

QStringList itemsOf(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList qlist(const std::vector<std::string>& items)
{
    QStringList out;
    for (const auto& s : items)
        out << QString::fromStdString(s);
    return out;
}

} // namespace

class TrunkingWindow : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        open("XCJS");
    }
    // Types one more character at the end of the field, as a user does;
    // Chinese characters arrive through the input method.
    void key(const char* name, QChar c)
    {
        QWidget* w = find(name);
        w->setFocus();
        if (c.unicode() < 128) {
            QTest::keyClicks(w, QString(c));
            return;
        }
        QInputMethodEvent event;
        event.setCommitString(QString(c));
        QApplication::sendEvent(w, &event);
    }
    void enter(const char* name, const QString& text)
    {
        erase(name);
        for (QChar c : text)
            key(name, c);
    }
};

TEST_F(TrunkingWindow, RowFieldsStandUnderTheirColumnCaptions)
{
    const char* const rows[] = {"VV", "BV", "SYV", "UTP", "LGB", "RVS"};
    const char* const options[] = {"vv", "bv", "SYV", "UTP", "LGBC", "RVS"};
    const char* const captions[] = {"Label2", "Label3", "Label4", "Label5"};
    for (int r = 0; r < 6; ++r) {
        QWidget* kind = find(options[r]);
        EXPECT_EQ(kind->x(), find("Label1")->x());
        EXPECT_EQ(kind->width(), find("Label1")->width());
        for (int c = 0; c < 4; ++c) {
            const QByteArray name = QByteArray(rows[r]) + QByteArray::number(c + 1);
            QWidget* field = find(name.constData());
            QWidget* caption = find(captions[c]);
            EXPECT_EQ(field->x(), caption->x()) << name.constData();
            EXPECT_EQ(field->width(), caption->width()) << name.constData();
            EXPECT_GT(field->y(), caption->y() + caption->height() - 1) << name.constData();
        }
    }
    const std::pair<const char*, const char*> headings[] = {
        {"Label1", "种类"}, {"Label2", "型号"}, {"Label3", "单根截面"}, {"Label4", "根数"}, {"Label5", "  总截面"}};
    for (const auto& [name, caption] : headings)
        EXPECT_EQ(text(name), QString::fromUtf8(caption));
}

TEST_F(TrunkingWindow, KindOptionsAreOneGroupWithVvSelected)
{
    EXPECT_TRUE(checked("vv"));
    for (const char* name : {"bv", "SYV", "UTP", "LGBC", "RVS"})
        EXPECT_FALSE(checked(name)) << name;
    click("LGBC");
    EXPECT_TRUE(checked("LGBC"));
    EXPECT_FALSE(checked("vv"));
    EXPECT_EQ(text("LGBC"), "LGBC");
}

TEST_F(TrunkingWindow, SizeLookedUpAtEveryKeystroke)
{
    struct Case { const char* field; const char* area; const char* typed; std::vector<const char*> after; };
    const std::vector<Case> cases = {
        {"BV1", "BV2", "150", {"", "", "390"}},
        {"RVS1", "RVS2", "1.5", {"30.2", "30.2", "36.3"}},
        {"RVS1", "RVS2", "0.75", {"", "", "", "26.4"}},
        {"BV1", "BV2", "2.50", {"", "", "21", "21"}},
        {"VV1", "VV2", "2.5E0", {"", "", "", "", ""}}, // VV has no 2.5
        {"BV1", "BV2", "2.5E0", {"", "", "21", "21", "21"}},
    };
    for (const Case& c : cases) {
        erase(c.field);
        erase(c.area); // each case starts from an empty area
        for (int i = 0; i < int(c.after.size()); ++i) {
            SCOPED_TRACE(std::string(c.field) + " after " + QByteArray(c.typed, i + 1).constData());
            key(c.field, QChar(c.typed[i]));
            EXPECT_EQ(text(c.area), c.after[i]);
            EXPECT_EQ(notice(), "");
        }
    }
}

TEST_F(TrunkingWindow, OneSizeDiffersByKind)
{
    struct Case { const char* size; const char* area; const char* shows; };
    const Case cases[] = {
        {"VV1", "VV2", "130"}, {"BV1", "BV2", "26"}, {"UTP1", "UTP2", "23.76"},
        {"LGB1", "LGB2", "15.21"}, {"SYV1", "SYV2", ""}, {"RVS1", "RVS2", ""},
    };
    for (const Case& c : cases) {
        type(c.size, "4");
        EXPECT_EQ(text(c.area), c.shows) << c.size;
    }
}

TEST_F(TrunkingWindow, SizeThatIsNoNumberKeepsTheAreaQuietly)
{
    type("BV1", "150");
    ASSERT_EQ(text("BV2"), "390");
    struct Case { const char* typed; const char* area; };
    const Case cases[] = {
        {"15", "390"}, {"185", "390"}, {".", "390"}, {"-", "390"}, {"2.4mm", "390"},
        {"2.5mm", "21"}, // 2.5 matched on the way; the letters leave it
        {"1.6", "21"}, {"2", "21"},
    };
    for (const Case& c : cases) {
        type("BV1", c.typed);
        EXPECT_EQ(text("BV2"), c.area) << c.typed;
        EXPECT_EQ(notice(), "") << c.typed;
    }
    erase("BV1");
    EXPECT_EQ(text("BV2"), "21");
    EXPECT_EQ(notice(), "");
}

// A size pasted whole is read strictly: with a unit after it or a space
// inside it, no catalogue entry is found, however a lenient reading would
// take it; the same size pasted bare finds its entry.
TEST_F(TrunkingWindow, APastedSizeIsReadStrictly)
{
    auto paste = [&](const std::string& field, const QString& text) {
        QWidget* w = find(field.c_str());
        w->setFocus();
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(text, this->text(field.c_str()));
    };
    for (const trunking::CableRow& r : trunking::cableRows()) {
        const std::string size = r.field(1), area = r.field(2);
        for (const trunking::Entry& e : trunking::catalogue(r.kind)) {
            const QString bare = QString::fromStdString(numeric::formatNumber(e.size));
            QStringList loose = {bare + "mm", bare + "mm²", bare + "根"};
            if (bare.size() > 1)
                loose << bare.left(1) + " " + bare.mid(1);
            for (const QString& typed : loose) {
                erase(size.c_str());
                type(area.c_str(), "777");
                paste(size, typed);
                EXPECT_EQ(text(area.c_str()), QStringLiteral("777")) << size << " \"" << typed.toStdString() << '"';
            }
            paste(size, bare);
            EXPECT_EQ(text(area.c_str()), QString::fromStdString(trunking::areaText(e.area)))
                << size << " " << bare.toStdString();
            EXPECT_EQ(notice(), "");
        }
    }
}

TEST_F(TrunkingWindow, RowTotalIsAreaTimesCount)
{
    struct Case { const char* row; const char* size; const char* count; const char* total; };
    const Case cases[] = {
        {"VV", "6", "3", "530.1"},
        {"RVS", "0.75", "3", "79.2"},
        {"BV", "2.5", "2.5", "52.5"},
        {"BV", "1.5", "-2", "-36"},
        {"BV", "2.5", "", "0"},
        {"BV", "2.5", "3根", "63"},
        {"UTP", "25", "2", "265.4"},
        {"LGB", "12", "10", "384.8"},
        {"SYV", "9", "3", "339.3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.row) + " " + c.size + " × " + c.count);
        const std::string row = c.row;
        type((row + "1").c_str(), c.size);
        enter((row + "3").c_str(), QString::fromUtf8(c.count));
        EXPECT_EQ(text((row + "3").c_str()), QString::fromUtf8(c.count));
        EXPECT_EQ(text((row + "4").c_str()), QString::fromUtf8(c.total));
    }
}

// A row's total follows its area too, so the running total never adds cables
// at an area they no longer have.
TEST_F(TrunkingWindow, TotalFollowsAChangedArea)
{
    type("BV3", "3");
    EXPECT_EQ(text("BV4"), "0");
    type("BV1", "2.5");
    EXPECT_EQ(text("BV2"), "21");
    EXPECT_EQ(text("BV4"), "63");
    type("BV1", "4");
    EXPECT_EQ(text("BV2"), "26");
    EXPECT_EQ(text("BV4"), "78");
    type("BV1", "3"); // no entry: area and total stay
    EXPECT_EQ(text("BV2"), "26");
    EXPECT_EQ(text("BV4"), "78");
}

TEST_F(TrunkingWindow, AreaTypedByHand)
{
    type("BV1", "3");
    type("BV2", "40");
    type("BV3", "2");
    EXPECT_EQ(text("BV4"), "80");
    type("BV2", "45");
    EXPECT_EQ(text("BV4"), "90");
    // Writing a total by hand sets nothing else off.
    type("BV4", "7");
    EXPECT_EQ(text("BV2"), "45");
    EXPECT_EQ(text("BV3"), "2");
}

TEST_F(TrunkingWindow, AddsIntoTheRunningTotalAndSizesTheTrunking)
{
    type("VV1", "4");
    type("VV3", "3");
    ASSERT_EQ(text("VV4"), "390");
    click("Label8", 0);
    EXPECT_EQ(text("sz"), "390");
    click("xcmj");
    EXPECT_EQ(text("xczmj"), "1181.81818181818");
    click("Label10");
    EXPECT_EQ(text("bfs"), "20");
    click("xcmj");
    EXPECT_EQ(text("xczmj"), "1950");
    type("bfs", "27.5");
    click("xcmj");
    EXPECT_EQ(text("xczmj"), "1418.18181818182");
    type("bfs", "33%");
    click("xcmj");
    EXPECT_EQ(text("xczmj"), "1181.81818181818");
    EXPECT_EQ(text("sz"), "390");
    EXPECT_EQ(notice(), "");
}

// Shown the trunking catalogue, the sheet sizes the pipe at its own rule:
// where the wires fall under several bands of the rules text (BV 2.5 and
// VV 16), at the strictest of those bands.
TEST_F(TrunkingWindow, TheSheetsPipeTakesTheStrictestBandOfItsWires)
{
    type("BV1", "2.5");
    type("BV3", "9");
    type("VV1", "16");
    type("VV3", "2");
    click("Label8", 0);
    click("xcmj");
    ASSERT_FALSE(find("List2")->isVisible());
    const double sections[] = {2.5, 16};
    double strictest = 100;
    int bands = 0;
    for (const trunking::PipeRule& rule : trunking::pipeRules(trunking::fillRules())) {
        // Each band as its line of the rules words it.
        const auto shown = [](double v) { return numeric::formatNumber(v); };
        EXPECT_NE(rule.line.find(shown(rule.lower) + "~" + shown(rule.upper) + "mm2"), std::string::npos) << rule.line;
        EXPECT_NE(rule.line.find(shown(rule.percent) + "%"), std::string::npos) << rule.line;
        if (std::any_of(std::begin(sections), std::end(sections),
                        [&rule](double s) { return s >= rule.lower && s <= rule.upper; })) {
            strictest = std::min(strictest, rule.percent);
            ++bands;
        }
    }
    ASSERT_EQ(bands, 2) << "the rules put 2.5 and 16 mm² in two bands";
    const QString sheet = sheet::toPlainText(trunking::makeSheet(form()->snapshot()));
    const QString pipe = QStringLiteral("S钢管 = ΣA / 百分数 × 100 = %1 / %2 × 100")
                             .arg(text("sz"), QString::fromStdString(numeric::formatNumber(strictest)));
    EXPECT_TRUE(sheet.contains(pipe)) << pipe.toStdString() << "\n" << sheet.toStdString();
}

TEST_F(TrunkingWindow, EitherLabelAddsTheTypedArea)
{
    click("Label8", 1);
    EXPECT_EQ(text("sz"), "0");
    click("xcmj");
    EXPECT_EQ(text("xczmj"), "0");
    type("s", "12.5");
    click("Label8", 0);
    EXPECT_EQ(text("sz"), "12.5");
    click("Label8", 1);
    EXPECT_EQ(text("sz"), "25");
    type("sz", "660");
    click("xcmj");
    EXPECT_EQ(text("xczmj"), "2000");
}

TEST_F(TrunkingWindow, PercentageOfZeroLeavesTheResultAndNamesTheField)
{
    type("sz", "660");
    click("xcmj");
    ASSERT_EQ(text("xczmj"), "2000");
    for (const char* percent : {"", "0", "abc", "0%"}) {
        type("bfs", percent);
        click("xcmj");
        EXPECT_EQ(text("xczmj"), "2000") << percent;
        EXPECT_EQ(failedField(), "bfs") << percent;
        EXPECT_TRUE(notice().startsWith(QString::fromUtf8("利用百分数"))) << notice().toStdString();
    }
    type("bfs", "1E-310"); // 660 ÷ 1E-310 is beyond the double range
    click("xcmj");
    EXPECT_EQ(text("xczmj"), "2000");
    EXPECT_EQ(failedField(), "bfs");
    type("bfs", "33");
    click("xcmj");
    EXPECT_EQ(text("xczmj"), "2000");
    EXPECT_EQ(notice(), "");
}

TEST_F(TrunkingWindow, ClearEmptiesCountsAndTotalsOnly)
{
    const char* const sizes[][2] = {{"VV1", "4"}, {"BV1", "2.5"}, {"SYV1", "5"}, {"UTP1", "4"}, {"LGB1", "6"}, {"RVS1", "1"}};
    for (int r = 0; r < 6; ++r) {
        type(sizes[r][0], sizes[r][1]);
        type(counts[r], "2");
    }
    type("s", "10");
    click("Label8", 0);
    const QString sum = text("sz");
    EXPECT_EQ(sum, "552.56"); // 10 + 260 + 42 + 72.64 + 47.52 + 60 + 60.4
    click("ql");
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(text(counts[r]), "") << counts[r];
        EXPECT_EQ(text(totals[r]), "") << totals[r];
        EXPECT_EQ(text(sizes[r][0]), sizes[r][1]);
    }
    EXPECT_EQ(text("VV2"), "130");
    EXPECT_EQ(text("RVS2"), "30.2");
    EXPECT_EQ(text("sz"), sum);
    EXPECT_EQ(text("s"), "10");
    click("Label8", 1);
    EXPECT_EQ(text("sz"), "562.56");
}

TEST_F(TrunkingWindow, SwitchesBetweenTrunkingAndPipe)
{
    struct Mode { bool list1, list2; const char* caption; };
    auto expectMode = [&](const Mode& m) {
        EXPECT_EQ(find("List1")->isVisible(), m.list1);
        EXPECT_EQ(find("List2")->isVisible(), m.list2);
        EXPECT_EQ(text("xcmj"), QString::fromUtf8(m.caption));
    };
    const Mode trunking{true, false, "计算线槽截面&X"}, pipe{false, true, "计算钢管截面&X"};
    expectMode(trunking);
    EXPECT_EQ(text("bfs"), "33");
    type("xczmj", "5");
    type("bfs", "40");
    click("Label11");
    expectMode(pipe);
    EXPECT_EQ(text("bfs"), "33");
    click("Label10");
    expectMode(trunking);
    EXPECT_EQ(text("bfs"), "20");
    type("bfs", "50");
    click("Label10"); // the mode already shown still resets the percentage
    EXPECT_EQ(text("bfs"), "20");
    EXPECT_EQ(text("xczmj"), "5");
}

TEST_F(TrunkingWindow, KeepsEverythingAcrossVisits)
{
    type("BV1", "2.5");
    type("BV3", "3");
    type("s", "7");
    click("Label8", 0);
    click("Label11");
    type("bfs", "27.5");
    click("UTP");
    QWidget* first = win();
    exit(first);
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    EXPECT_EQ(open("XCJS"), first);
    EXPECT_EQ(text("BV2"), "21");
    EXPECT_EQ(text("BV4"), "63");
    EXPECT_EQ(text("sz"), "70");
    EXPECT_EQ(text("bfs"), "27.5");
    EXPECT_TRUE(checked("UTP"));
    EXPECT_FALSE(find("List1")->isVisible());
    EXPECT_TRUE(find("List2")->isVisible());
    EXPECT_EQ(text("xcmj"), QString::fromUtf8("计算钢管截面&X"));
}

TEST_F(TrunkingWindow, ShowsTheReferenceLists)
{
    EXPECT_EQ(itemsOf(get<QListWidget>("List1")), qlist(trunking::trunkingCatalogue()));
    EXPECT_EQ(get<QListWidget>("List1")->count(), 45);
    click("Label11");
    EXPECT_EQ(itemsOf(get<QListWidget>("List2")), qlist(trunking::pipeCatalogue()));
    EXPECT_EQ(get<QListWidget>("List2")->item(12)->text(), "PC:          ");

    auto* bfs = get<QComboBox>("bfs");
    QStringList percentages;
    for (int i = 0; i < bfs->count(); ++i)
        percentages << bfs->itemText(i);
    EXPECT_EQ(percentages, (QStringList{"20", "22", "27.5", "33", "40", "50"}));
    EXPECT_EQ(text("bfs"), "33");

    // The field keeps its lines apart with LF; the rules are kept with CR LF.
    const QString rules = QString::fromStdString(trunking::fillRules());
    EXPECT_EQ(text("Text1"), QString(rules).replace("\r\n", "\n"));
    EXPECT_TRUE(text("Text1").endsWith(QString::fromUtf8("的22%计算。")));
}

TEST_F(TrunkingWindow, FontsAndTooltips)
{
    struct Case { const char* name; double points; };
    const Case cases[] = {{"Label9", 12}, {"Text1", 9}, {"List1", 10.5}, {"List2", 10.5}, {"xcmj", 14.25},
                          {"Label10", 14.25}, {"Label11", 15.75}, {"BV1", 15.75}, {"bfs", 15.75}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(find(c.name)->font().pointSizeF(), c.points) << c.name;
    EXPECT_EQ(find("s")->toolTip(), QString::fromUtf8("在此输入导线面积"));
    EXPECT_EQ(find("sz")->toolTip(), QString::fromUtf8("此处为现在总面积"));
    EXPECT_EQ(find("Label8", 0)->toolTip(), QString::fromUtf8("加入总面积请点击此处"));
    EXPECT_EQ(text("Label7"), " %");
}

TEST_F(TrunkingWindow, PercentageListOpensOnThePercentageShown)
{
    auto* bfs = get<QComboBox>("bfs");
    ASSERT_NE(bfs, nullptr);
    EXPECT_EQ(bfs->currentText(), "33");
    EXPECT_EQ(bfs->itemText(bfs->currentIndex()), "33");
    click("Label10");
    EXPECT_EQ(bfs->itemText(bfs->currentIndex()), "20");
    type("bfs", "45");
    click("Label11");
    EXPECT_EQ(text("bfs"), "33");
    EXPECT_EQ(bfs->itemText(bfs->currentIndex()), "33");
}
