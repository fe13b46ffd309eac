#include "unit_power.h"
#include "window_test.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

const char* const resultFields[] = {"l", "w", "mj", "dwgl", "gl", "n", "kt"};

class LightingWindow : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        open("zdjs");
    }

    // The texts of the seven fields, in the order clear empties them.
    std::vector<QString> fields() const
    {
        std::vector<QString> texts;
        for (const char* name : resultFields)
            texts.push_back(text(name));
        return texts;
    }

    void workedExample()
    {
        type("l", "5");
        type("w", "4");
        click("s");
        click("Label3");
        click("Command1");
        click("Command2");
        click("Command3");
    }
};

TEST_F(LightingWindow, StartState)
{
    for (const char* name : resultFields)
        EXPECT_EQ(text(name), "") << name;
    EXPECT_EQ(text("H"), "23");
    EXPECT_EQ(text("ps"), "0.05");
    for (const char* name : {"zd300", "w40"})
        EXPECT_TRUE(checked(name)) << name;
    for (const char* name : {"zd50", "zd75", "zd100", "zd150", "zd200", "zd500", "zd750", "zd1000", "w20", "w30"})
        EXPECT_FALSE(checked(name)) << name;
    EXPECT_EQ(get<QComboBox>("H")->count(), 2);
    EXPECT_EQ(get<QComboBox>("ps")->itemText(4), "0.07");
    EXPECT_EQ(find("H")->toolTip(), QString::fromUtf8("请在这里输入房间高度2`3米输入23，4~6米输入46"));
    EXPECT_EQ(win()->focusWidget(), find("END"));
}

TEST_F(LightingWindow, ReferenceTableIsSixteenLinesInNinePoints)
{
    const QString caption = text("Label7");
    const QStringList lines = caption.split("\r\n");
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(lines[0], QString::fromUtf8("计算依据建筑电气设计手册第410页表16-35基准每100lx"));
    EXPECT_EQ(lines[8], "h=4~6");
    EXPECT_EQ(lines[12], "  30~50--9");
    EXPECT_EQ(lines[15], "  >300--6.3");
    EXPECT_EQ(caption.count('\n'), 15);
    EXPECT_EQ(caption.count('\r'), 15);
    EXPECT_EQ(find("Label7")->font().pointSizeF(), 9.0);
}

TEST_F(LightingWindow, ReferenceTableAgreesWithTheLookup)
{
    // Read the table the engineer sees and ask the lookup at every limit it
    // prints: a limit belongs to the band above it in the text ("10~15" holds
    // 15 but not 10), and the bands of a column follow on without a gap.
    const QRegularExpression heightLine("^h=(\\d)~(\\d)$"), bandLine("^  (\\d+)~(\\d+)--([\\d.]+)$"),
        lastLine("^  >(\\d+)--([\\d.]+)$");
    double code = 0, lower = 0;
    int bands = 0;
    const QStringList lines = text("Label7").split("\r\n");
    for (const QString& line : lines.mid(1)) {
        if (const auto m = heightLine.match(line); m.hasMatch()) {
            code = (m.captured(1) + m.captured(2)).toDouble();
            lower = 0;
            EXPECT_FALSE(lighting::unitPower(code, 10).has_value()) << code;
        } else if (const auto b = bandLine.match(line); b.hasMatch()) {
            const double from = b.captured(1).toDouble(), to = b.captured(2).toDouble();
            if (lower > 0) {
                EXPECT_EQ(from, lower) << line.toStdString();
            }
            for (const double area : {std::nextafter(from, 1e9), (from + to) / 2, to})
                EXPECT_EQ(lighting::unitPower(code, area).value_or("none"), b.captured(3).toStdString())
                    << code << " at " << area;
            lower = to;
            ++bands;
        } else if (const auto l = lastLine.match(line); l.hasMatch()) {
            EXPECT_EQ(l.captured(1).toDouble(), lower);
            for (const double area : {std::nextafter(lower, 1e9), 1e6})
                EXPECT_EQ(lighting::unitPower(code, area).value_or("none"), l.captured(2).toStdString())
                    << code << " at " << area;
            ++bands;
        } else {
            ADD_FAILURE() << "unread line: " << line.toStdString();
        }
    }
    EXPECT_EQ(bands, 13);
}

TEST_F(LightingWindow, WorkedExampleFromTheStartState)
{
    workedExample();
    EXPECT_EQ(fields(), (std::vector<QString>{"5", "4", "20", "8.9", "534", "13.35", "1"}));
    EXPECT_EQ(notice(), "");

    type("H", "46");
    click("Label3");
    EXPECT_EQ(text("dwgl"), "12.4");
}

TEST_F(LightingWindow, LampCountIsThePlainQuotient)
{
    type("gl", "534");
    const std::pair<const char*, const char*> counts[] = {{"w20", "26.7"}, {"w30", "17.8"}, {"w40", "13.35"}};
    for (const auto& [option, count] : counts) {
        click(option);
        click("Command2");
        EXPECT_EQ(text("n"), count) << option;
    }
}

TEST_F(LightingWindow, EveryIlluminanceScalesTheArea)
{
    type("mj", "20");
    type("dwgl", "8.9");
    const std::pair<const char*, const char*> powers[] = {
        {"zd50", "89"},    {"zd75", "133.5"},  {"zd100", "178"},  {"zd150", "267"},    {"zd200", "356"},
        {"zd300", "534"},  {"zd500", "890"},   {"zd750", "1335"}, {"zd1000", "1780"},
    };
    for (const auto& [option, power] : powers) {
        click(option);
        EXPECT_TRUE(checked(option));
        click("Command1");
        EXPECT_EQ(text("gl"), power) << option;
    }
    EXPECT_TRUE(checked("w40")) << "the two groups are independent";
}

TEST_F(LightingWindow, AreaReadsLeniently)
{
    struct Case {
        const char *l, *w, *mj;
    };
    const Case cases[] = {{"5m", "4", "20"}, {"", "", "0"}, {"abc", "3", "0"}, {"2.5", "4 m2", "10"}, {"1,000", "7", "7"}};
    for (const Case& c : cases) {
        type("l", c.l);
        type("w", c.w);
        click("s");
        EXPECT_EQ(text("mj"), c.mj) << c.l << " × " << c.w;
        EXPECT_EQ(notice(), "");
    }
}

TEST_F(LightingWindow, UnitPowerWithoutRowKeepsTheFieldAndShowsNothing)
{
    type("dwgl", "7.7");
    struct Case {
        const char *h, *mj;
    };
    // A code without a column does not even read the area, so an empty one is no failure.
    const Case cases[] = {{"23", "10"}, {"46", "10"}, {"23", "0"}, {"46", "-5"}, {"2.5", ""}, {"24", "abc"}, {"0", "20"}};
    for (const Case& c : cases) {
        type("H", c.h);
        type("mj", c.mj);
        click("Label3");
        EXPECT_EQ(text("dwgl"), "7.7") << c.h << " / " << c.mj;
        EXPECT_EQ(notice(), "") << c.h << " / " << c.mj;
    }
}

TEST_F(LightingWindow, FailedReadChangesNoFieldAndNamesTheField)
{
    struct Case {
        const char* h;
        const char* mj;
        const char* dwgl;
        const char* gl;
        bool emptyPs;
        const char* clicked;
        const char* failed;
        const char* named; // how the notice names the field
    };
    const Case cases[] = {
        {"23", "", "8.9", "534", false, "Label3", "mj", "计算面积S"},
        {"23", "abc", "8.9", "534", false, "Label3", "mj", "计算面积S"},
        {"", "20", "8.9", "534", false, "Label3", "H", "高度(m)"},
        {"2`3", "20", "8.9", "534", false, "Label3", "H", "高度(m)"},
        {"23", "", "", "534", false, "Command1", "mj", "计算面积S"},
        {"23", "20", "", "534", false, "Command1", "dwgl", "单位功率(W)"},
        {"23", "20", "8.9W", "534", false, "Command1", "dwgl", "单位功率(W)"},
        {"23", "20", "8.9", "", false, "Command2", "gl", "计算功率P"},
        {"23", "", "8.9", "534", false, "Command3", "mj", "计算面积S"},
        {"23", "20", "8.9", "534", true, "Command3", "ps", "单位面积空调负荷(kW/m²)"},
        {"23", "1e300", "1e301", "534", false, "Command1", "dwgl", "单位功率(W)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.clicked << " with H " << c.h << ", S " << c.mj << ", 单位功率 " << c.dwgl
                                          << ", P " << c.gl << (c.emptyPs ? ", no air-conditioning load" : ""));
        click("Command4");
        type("H", c.h);
        type("mj", c.mj);
        type("dwgl", c.dwgl);
        type("gl", c.gl);
        type("n", "1");
        type("kt", "2");
        if (c.emptyPs)
            doubleClick("ps");
        const std::vector<QString> before = fields();
        click(c.clicked);
        EXPECT_EQ(fields(), before);
        EXPECT_EQ(failedField(), c.failed);
        EXPECT_TRUE(notice().startsWith(QString::fromUtf8(c.named))) << notice().toStdString();
    }
}

TEST_F(LightingWindow, OverflowOfTheAreaFails)
{
    type("mj", "7");
    type("l", "1e200");
    type("w", "1e150");
    click("s");
    EXPECT_EQ(text("mj"), "7");
    EXPECT_EQ(failedField(), "l"); // the larger factor
}

TEST_F(LightingWindow, LaterStepClearsTheNotice)
{
    click("Command2");
    EXPECT_EQ(failedField(), "gl");
    // A lookup that finds no row still read its fields without fault.
    type("mj", "5");
    click("Label3");
    EXPECT_EQ(notice(), "");
    EXPECT_EQ(failedField(), "");

    click("Command1");
    EXPECT_EQ(failedField(), "dwgl");
    type("l", "5");
    type("w", "4");
    click("s");
    EXPECT_EQ(notice(), "");
}

TEST_F(LightingWindow, ChoosingAnOptionOrCodeChangesNoField)
{
    workedExample();
    const std::vector<QString> before = fields();
    click("zd500");
    click("w20");
    type("H", "46");
    type("ps", "0.07");
    EXPECT_EQ(fields(), before);
    EXPECT_TRUE(checked("zd500"));
    EXPECT_FALSE(checked("zd300"));
    EXPECT_TRUE(checked("w20"));

    click("Command1");
    EXPECT_EQ(text("gl"), "890");
    EXPECT_EQ(text("dwgl"), "8.9");
    click("Command3");
    EXPECT_EQ(text("kt"), "1.4");
}

TEST_F(LightingWindow, ClearEmptiesTheSevenFieldsOnly)
{
    workedExample();
    type("H", "46");
    type("ps", "0.065");
    click("zd1000");
    click("w30");
    click("Command4");
    EXPECT_EQ(fields(), std::vector<QString>(7));
    EXPECT_EQ(text("H"), "46");
    EXPECT_EQ(text("ps"), "0.065");
    EXPECT_TRUE(checked("zd1000"));
    EXPECT_TRUE(checked("w30"));
}

TEST_F(LightingWindow, DoubleClickEmptiesPsAndKeepsItsItems)
{
    doubleClick("ps");
    EXPECT_EQ(text("ps"), "");
    auto* ps = get<QComboBox>("ps");
    ASSERT_EQ(ps->count(), 5);
    ps->setCurrentIndex(3);
    type("mj", "20");
    click("Command3");
    EXPECT_EQ(text("kt"), "1.3");
}

// The height code and the air-conditioning load are drop-downs of one kind:
// holding one text, they draw it alike, dark as in any field one may edit, in
// the Windows program's plain style as in the default one.
TEST_F(LightingWindow, BothDropDownsDrawTheirTextAlike)
{
    std::unique_ptr<QStyle> windows(QStyleFactory::create("windows"));
    for (QStyle* style : {static_cast<QStyle*>(nullptr), windows.get()}) {
        std::vector<QImage> texts;
        for (const char* name : {"H", "ps"}) {
            auto* box = get<QComboBox>(name);
            box->setStyle(style);
            box->lineEdit()->setStyle(style);
            box->setEditText("46");
            texts.push_back(box->grab(box->lineEdit()->geometry().intersected({0, 0, 60, box->height()})).toImage());
            box->setStyle(nullptr);
            box->lineEdit()->setStyle(nullptr);
        }
        EXPECT_TRUE(texts[0] == texts[1]) << (style ? "windows" : "default");
        int darkest = 255;
        for (int y = 0; y < texts[0].height(); ++y)
            for (int x = 0; x < texts[0].width(); ++x)
                darkest = std::min(darkest, qGray(texts[0].pixel(x, y)));
        EXPECT_LT(darkest, 64) << (style ? "windows" : "default");
    }
}

TEST_F(LightingWindow, TabOrderStartsAtExitAndStopsAtTheSelectedOptions)
{
    // The selected option of each group is its one tab stop, also after another is chosen.
    const std::pair<std::vector<const char*>, QStringList> cases[] = {
        {{}, {"END", "l", "w", "s", "mj", "w40", "Label3", "dwgl", "Command1", "gl", "Command2", "n", "Command3", "kt", "H",
              "Command4", "ps", "zd300", "END"}},
        {{"w20", "zd75"}, {"END", "l", "w", "s", "mj", "w20", "Label3", "dwgl", "Command1", "gl", "Command2", "n", "Command3",
                           "kt", "H", "Command4", "ps", "zd75", "END"}},
    };
    for (const auto& [chosen, expected] : cases) {
        SCOPED_TRACE(chosen.empty() ? std::string("as the window starts")
                                    : "after choosing " + std::string(chosen[0]) + " and " + chosen[1]);
        for (const char* option : chosen)
            click(option);
        find("END")->setFocus();
        QStringList visited;
        QWidget* w = win()->focusWidget();
        for (int i = 0; i < expected.size() && w; ++i) {
            QWidget* named = qobject_cast<QComboBox*>(w->parentWidget()) ? w->parentWidget() : w;
            visited << named->objectName();
            QTest::keyClick(w, Qt::Key_Tab);
            w = win()->focusWidget();
        }
        EXPECT_EQ(visited, expected);
    }
}

TEST_F(LightingWindow, AccessKeysPressTheButtons)
{
    type("l", "5");
    type("w", "4");
    type("dwgl", "8.9");
    const std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_S, "mj"}, {Qt::Key_P, "gl"}, {Qt::Key_N, "n"}, {Qt::Key_C, "kt"}};
    for (const auto& [key, field] : keys) {
        press(key, Qt::AltModifier);
        EXPECT_NE(text(field), "") << field;
    }
    EXPECT_EQ(fields(), (std::vector<QString>{"5", "4", "20", "8.9", "534", "13.35", "1"}));
    press(Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(fields(), std::vector<QString>(7));
}

} // namespace
