#include "clock.h"
#include "window_test.h"

#include "convert.h"
#include "form.h"
#include "strike.h"

#include <QLineEdit>
#include <QTest>
#include <random>

namespace {

const QString ordinaryThird = QStringLiteral(
    "0.06<N<0.3,本建筑为普通建筑，本建筑为三类防雷建筑，网格为20*20m或24*16m，引下线间距不大于25m，滚球半径60m。");
const QString ordinaryNone = QStringLiteral("N<0.06,本建筑为普通建筑，不用设防!");
const QString importantSecond = QStringLiteral(
    "N>0.06,本建筑为较重要建筑，本建筑为二类防雷建筑，网格为10*10m或12*8m，引下线间距不大于18m，滚球半径45m。");
const QString importantThird = QStringLiteral(
    "0.012<N<=0.06,本建筑为较重要建筑，本建筑为三类防雷建筑，网格为20*20m或24*16m，引下线间距不大于25m，滚球半径60m。");
const QString importantNone = QStringLiteral("N<=0.012,本建筑为较重要建筑，不用设防!");

const char* const results[] = {"Td", "Ng", "Ae", "k", "n", "dj"};

} // namespace

class LightningWindow : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        open("fljs");
    }

    QStringList resultTexts() const
    {
        QStringList texts;
        for (const char* name : results)
            texts << text(name);
        return texts;
    }
};

TEST_F(LightningWindow, StartsWithPlaceholdersAndSelections)
{
    EXPECT_EQ(resultTexts(), QStringList({"Td", "Ng", "", "k", "", ""}));
    for (const char* name : {"xt", "jz1", "j1"})
        EXPECT_TRUE(checked(name)) << name;
    for (const char* name : {"sj", "jz2", "j2", "j3", "j4"})
        EXPECT_FALSE(checked(name)) << name;
}

// One click with the inputs and selections of a row; every result field read.
struct Case {
    const char* l;
    const char* w;
    const char* h;
    const char* city;       // xt or sj
    const char* factor;     // j1 to j4
    const char* importance; // jz1 or jz2
    QStringList results;    // Td, Ng (12 digits), Ae, k, n, dj
};

TEST_F(LightningWindow, WorkedBuildings)
{
    const QString ng302 = "2.01474583922", ng315 = "2.12821236258";
    const Case cases[] = {
        {"", "", "", "xt", "j1", "jz1", {"30.2", ng302, "0", "1", "0", ordinaryNone}},
        {"", "", "", "sj", "j4", "jz2", {"31.5", ng315, "0", "2", "0", importantNone}},
        {"100", "50", "100", "sj", "j2", "jz1", {"31.5", ng315, "0.066416", "1.5", "0.21", ordinaryThird}},
        {"100", "50", "100", "sj", "j2", "jz2", {"31.5", ng315, "0.066416", "1.5", "0.21", importantSecond}},
        {"36", "12", "18", "xt", "j1", "jz1", {"30.2", ng302, "0.0162185714001616", "1", "0.03", ordinaryNone}},
        {"36", "12", "18", "xt", "j1", "jz2", {"30.2", ng302, "0.0162185714001616", "1", "0.03", importantThird}},
        {"36", "12", "18", "xt", "j3", "jz2", {"30.2", ng302, "0.0162185714001616", "1.7", "0.06", importantThird}},
        // Exactly 0.06 for an ordinary building: third class.
        {"60", "20", "30", "xt", "j1", "jz1", {"30.2", ng302, "0.0286484454856686", "1", "0.06", ordinaryThird}},
        {"60", "20", "30m", "xt", "j3", "jz1", {"30.2", ng302, "0.0286484454856686", "1.7", "0.1", ordinaryThird}},
        // Text that is no number reads as 0; spaces inside a number are dropped.
        {"abc", "", " 1 0", "xt", "j1", "jz2", {"30.2", ng302, "0.00596904", "1", "0.01", importantNone}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << c.l << "\" × \"" << c.w << "\" × \"" << c.h << "\" " << c.city
                                          << " " << c.factor << " " << c.importance);
        type("l", c.l);
        type("w", c.w);
        type("H", c.h);
        for (const char* option : {c.city, c.factor, c.importance})
            click(option);
        click("js");
        QStringList shown = resultTexts();
        shown[1] = QString::number(shown[1].toDouble(), 'g', 12);
        EXPECT_EQ(shown, c.results);
        EXPECT_EQ(notice(), "");
    }
}

// One click writes Td, Ng, Ae, k, n and dj in turn, each from what was read
// since the write before it: no figure stands in two of their records.
TEST_F(LightningWindow, EachResultRecordsOnlyWhatWasReadForIt)
{
    type("l", "100");
    type("w", "50");
    type("H", "100");
    click("js");
    const ui::State state = form()->snapshot();
    std::map<std::string, std::string> recordOf; // figure → the result whose record holds it
    for (const char* result : results) {
        const ui::Record* r = state.record(result);
        EXPECT_NE(r, nullptr) << result;
        if (!r)
            continue;
        for (const ui::Figure& f : r->figures) {
            const auto [first, alone] = recordOf.emplace(f.name, result);
            EXPECT_TRUE(alone) << f.name << " is in the records of both " << first->second << " and " << result;
        }
    }
    ASSERT_NE(state.record("Ng"), nullptr);
    ASSERT_EQ(state.record("Ng")->figures.size(), 1u);
    EXPECT_EQ(state.record("Ng")->figures[0].name, "Td");
}

TEST_F(LightningWindow, ResultFieldsAreOverwrittenBeforeTheyAreRead)
{
    type("H", "100");
    type("l", "100");
    type("w", "50");
    for (const char* name : {"Td", "Ng", "Ae", "k", "n"})
        type(name, "5");
    click("js");
    EXPECT_EQ(text("k"), "1");
    EXPECT_EQ(text("Td"), "30.2");
    EXPECT_EQ(text("Ae"), "0.066416");
    EXPECT_EQ(text("n"), "0.13"); // 0.066416 × 2.01474583922 × 1
}

// Ng is read from its first digit, though the narrow field holds only a few
// of them, even where the cursor stood at the end before the calculation.
TEST_F(LightningWindow, LongResultsShowTheirFirstDigits)
{
    type("l", "36");
    type("w", "12");
    type("H", "18");
    find("Ng")->setFocus();
    press(Qt::Key_End);
    press(Qt::Key_Return);
    auto* ng = get<QLineEdit>("Ng");
    ASSERT_GT(ng->fontMetrics().horizontalAdvance(ng->text()), ng->width()) << ng->text().toStdString();
    for (const char* name : {"Td", "Ng", "Ae", "k", "n"})
        EXPECT_EQ(get<QLineEdit>(name)->cursorPosition(), 0) << name;
}

// N follows from the figures the window shows, Ae with its 15 digits among
// them, for buildings typed with more digits than a field keeps.
TEST_F(LightningWindow, NFollowsFromTheFiguresItShows)
{
    const auto shown = [this](const char* field) { return numeric::parseStrict(text(field).toStdString()).value(); };
    std::mt19937 random(57);
    std::uniform_real_distribution<double> metres(1, 250);
    const char* const factors[] = {"j1", "j2", "j3", "j4"};
    for (int i = 0; i < 12; ++i) {
        for (const char* field : {"l", "w", "H"})
            type(field, QString::number(metres(random), 'g', 17));
        click(i % 2 ? "xt" : "sj");
        click(factors[i % 4]);
        click("js");
        ASSERT_EQ(notice(), "");
        EXPECT_EQ(text("n").toStdString(),
                  numeric::formatNumber(lightning::expectedStrikes(shown("Ae"), shown("Ng"), shown("k")).value()))
            << text("l").toStdString() << " × " << text("w").toStdString() << " × " << text("H").toStdString();
    }
}

TEST_F(LightningWindow, ImportanceChangesTheVerdictOnlyAtTheNextClick)
{
    type("l", "100");
    type("w", "50");
    type("H", "100");
    click("js");
    ASSERT_EQ(text("dj"), ordinaryThird);
    click("jz2");
    EXPECT_TRUE(checked("jz2"));
    EXPECT_FALSE(checked("jz1"));
    EXPECT_EQ(text("dj"), ordinaryThird);
    click("js");
    EXPECT_EQ(text("dj"), importantSecond);
}

TEST_F(LightningWindow, FailingHeightKeepsTheLaterFields)
{
    const struct { const char* l; const char* w; const char* h; QString why; } cases[] = {
        {"10", "10", "-5", QStringLiteral("高度不能为负数")},
        {"10", "10", "1e300", QStringLiteral("数值超出可计算的范围")},
        {"10", "10", "1e200", QStringLiteral("数值超出可计算的范围")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("H ") + c.h);
        click("xt");
        click("j1");
        type("l", "36");
        type("w", "12");
        type("H", "18");
        click("js");
        const QStringList before = resultTexts();

        click("sj");
        click("j4");
        click("jz2");
        type("l", c.l);
        type("w", c.w);
        type("H", c.h);
        click("js");
        EXPECT_EQ(text("Td"), "31.5") << c.h;
        EXPECT_EQ(QString::number(text("Ng").toDouble(), 'g', 12), "2.12821236258") << c.h;
        EXPECT_EQ(resultTexts().mid(2), before.mid(2)) << c.h;
        EXPECT_EQ(failedField(), "H");
        EXPECT_EQ(notice(), QStringLiteral("高度(m)：") + c.why);

        // The same building with a sound height calculates and clears the notice.
        type("l", "36");
        type("w", "12");
        type("H", "18");
        click("js");
        EXPECT_EQ(notice(), "");
        EXPECT_EQ(text("k"), "2");
        EXPECT_EQ(text("n"), "0.07");
        EXPECT_EQ(text("dj"), importantSecond);
        click("jz1");
    }
}

TEST_F(LightningWindow, EnterAndAltCPressTheButton)
{
    type("H", "18");
    type("l", "36");
    type("w", "12");
    // Enter in any field, the keypad's Enter too, and Alt+C anywhere.
    const struct { const char* focus; int key; Qt::KeyboardModifiers modifiers; } presses[] = {
        {"w", Qt::Key_Return, Qt::NoModifier},
        {"H", Qt::Key_Enter, Qt::KeypadModifier},
        {"dj", Qt::Key_Return, Qt::NoModifier},
        {"j3", Qt::Key_Return, Qt::NoModifier},
        {"l", Qt::Key_C, Qt::AltModifier},
        {"END", Qt::Key_C, Qt::AltModifier},
    };
    for (const auto& p : presses) {
        type("n", "");
        type("dj", "");
        QWidget* w = find(p.focus);
        w->setFocus();
        QTest::keyClick(w, static_cast<Qt::Key>(p.key), p.modifiers);
        // An access key shows the button going down before it clicks.
        ui::clock::advance(130);
        EXPECT_EQ(text("n"), "0.03") << p.focus << " " << p.key;
        EXPECT_EQ(text("dj"), ordinaryNone) << p.focus << " " << p.key;
    }
    EXPECT_EQ(visibleWindows(), QStringList{"fljs"});
}

TEST_F(LightningWindow, EnterOnTheExitButtonLeaves)
{
    QWidget* end = find("END");
    end->setFocus();
    QTest::keyClick(end, Qt::Key_Return);
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    EXPECT_EQ(text("n"), "");
}

TEST_F(LightningWindow, KeepsEverythingAcrossAVisitToTheMenu)
{
    type("l", "200");
    type("w", "80");
    type("H", "50");
    click("sj");
    click("j4");
    click("jz2");
    click("js");
    const QStringList shown = resultTexts();
    exit(win());
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    open("fljs");
    EXPECT_EQ(resultTexts(), shown);
    EXPECT_EQ(text("n"), "0.37");
    EXPECT_EQ(text("l"), "200");
    for (const char* name : {"sj", "j4", "jz2"})
        EXPECT_TRUE(checked(name)) << name;
}
