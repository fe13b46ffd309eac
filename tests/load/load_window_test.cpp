#include "window_test.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

class LoadWindow : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        open("fhjs");
    }
};

TEST_F(LoadWindow, WorkedExampleFromTheStartState)
{
    EXPECT_EQ(text("Cos"), "0.8");
    type("Pjs", "100");
    click("Command1");
    EXPECT_EQ(text("Qjs"), "75");
    click("Command4");
    EXPECT_EQ(text("Sjs"), "125");
    click("Command5");
    EXPECT_EQ(text("dl"), "189.681335356601");
    EXPECT_EQ(notice(), "");
}

TEST_F(LoadWindow, PowerFactorVariants)
{
    struct Case {
        const char* cos;
        const char* q;
        const char* s;
    };
    const Case cases[] = {
        {"1", "0", "100"},
        {"-0.8", "-75", "-125"},
        {"0.8abc", "75", "125"},
        {" 0.8 ", "75", "125"},
    };
    for (const auto& c : cases) {
        type("Pjs", "100");
        type("Cos", c.cos);
        click("Command1");
        click("Command4");
        EXPECT_EQ(text("Qjs"), c.q) << c.cos;
        EXPECT_EQ(text("Sjs"), c.s) << c.cos;
    }
}

TEST_F(LoadWindow, PowerFactorAboveOneLeavesReactivePowerAlone)
{
    type("Pjs", "100");
    click("Command1");
    type("Cos", "1.2");
    click("Command1");
    EXPECT_EQ(text("Qjs"), "75");
    // The power factor is what the engineer must correct, so it is marked,
    // not the result that could not be formed.
    EXPECT_EQ(failedField(), "Cos");
    EXPECT_TRUE(notice().startsWith("功率因数：")) << notice().toStdString();

    click("Command4"); // a successful step takes the notice away
    EXPECT_EQ(text("Sjs"), "83.3333333333333");
    EXPECT_EQ(notice(), "");
}

TEST_F(LoadWindow, EmptyPowerFactorDividesByZero)
{
    type("Pjs", "100");
    click("Command4");
    doubleClick("Cos");
    EXPECT_EQ(text("Cos"), "");
    click("Command4");
    EXPECT_EQ(text("Sjs"), "125");
    EXPECT_EQ(failedField(), "Cos");
    click("Command1");
    EXPECT_EQ(text("Qjs"), "");
    EXPECT_EQ(failedField(), "Cos");
}

TEST_F(LoadWindow, ActivePowerIsReadLeniently)
{
    for (const auto& [typed, expected] : std::vector<std::pair<QString, QString>>{
             {"12.5kW", "15.625"}, {"", "0"}, {"abc", "0"}, {"1 00", "125"}}) {
        type("Pjs", typed);
        click("Command4");
        EXPECT_EQ(text("Sjs"), expected) << typed.toStdString();
    }
}

TEST_F(LoadWindow, CurrentReadsApparentPowerStrictly)
{
    click("Command5");
    EXPECT_EQ(text("dl"), "");
    EXPECT_EQ(failedField(), "Sjs");

    type("Sjs", "125"); // typed by hand: neither P nor the power factor is looked at
    EXPECT_EQ(notice(), "") << "editing the marked field takes the notice away";
    type("Cos", "");
    click("Command5");
    EXPECT_EQ(text("dl"), "189.681335356601");

    type("Sjs", "125kVA");
    click("Command5");
    EXPECT_EQ(text("dl"), "189.681335356601");
    EXPECT_EQ(failedField(), "Sjs");
}

TEST_F(LoadWindow, OverflowNeverReachesAField)
{
    type("Pjs", "1E999");
    click("Command4");
    EXPECT_EQ(text("Sjs"), "");
    EXPECT_EQ(failedField(), "Pjs");
    type("Pjs", "1E308");
    type("Cos", "0.1");
    click("Command4");
    EXPECT_EQ(text("Sjs"), "");
    type("Sjs", "1.7E308");
    click("Command5");
    EXPECT_EQ(text("dl"), "");
}

TEST_F(LoadWindow, ClearEmptiesAllButThePowerFactor)
{
    type("Pjs", "100");
    click("Command1");
    click("Command4");
    click("Command5");
    type("Cos", "0.9");
    click("Command3");
    for (const char* name : {"Pjs", "Qjs", "Sjs", "dl"})
        EXPECT_EQ(text(name), "") << name;
    EXPECT_EQ(text("Cos"), "0.9");
}

TEST_F(LoadWindow, AccessKeysPressTheButtons)
{
    type("Pjs", "100");
    press(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(text("Qjs"), "75");
    press(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(text("Sjs"), "125");
    press(Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(text("dl"), "189.681335356601");
    press(Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(text("Pjs"), "");
    press(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
}

TEST_F(LoadWindow, FieldsSurviveALeaveAndReturn)
{
    type("Pjs", "100");
    type("Cos", "0.6");
    click("Command1");
    click("Command4");
    click("Command5");
    QWidget* first = win();
    exit(win());
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    EXPECT_EQ(open("fhjs"), first);
    const std::pair<const char*, const char*> expected[] = {
        {"Pjs", "100"}, {"Cos", "0.6"}, {"Qjs", "133.333333333333"}, {"Sjs", "166.666666666667"}, {"dl", "252.908447142135"}};
    for (const auto& [name, value] : expected)
        EXPECT_EQ(text(name), value) << name;
}

TEST_F(LoadWindow, ControlsAsTabled)
{
    struct Row {
        const char* name;
        int index;
        const char* text;
        const char* tooltip;
        int left, top, width, height;
    };
    const Row rows[] = {
        {"Pjs", -1, "", "输入有功功率单位千瓦", 0, 0, 3135, 495},
        {"Cos", -1, "0.8", "输入功率因数", 0, 720, 3135, 495},
        {"Qjs", -1, "", "此数据为无功负荷单位千乏", 3000, 2760, 3255, 495},
        {"Sjs", -1, "", "此数据为视在功率单位千伏安", 3000, 3960, 3255, 495},
        {"dl", -1, "", "此处数据为计算电流单位安培", 3000, 5040, 3255, 495},
        {"Command1", -1, "计算无功负荷&C", "若计算无功功率请点击", 360, 2760, 2415, 495},
        {"Command4", -1, "计算视在功率&S", "若计算视在功率请点击此处", 360, 3960, 2415, 495},
        {"Command5", -1, "计算电流&A", "计算电流请您点击此处", 360, 5040, 2415, 495},
        {"Command3", -1, "清零&Q", "真的要清零？！", 4320, 1560, 1815, 495},
        {"Command2", -1, "退出&E", "真的要退出？！", 2640, 1560, 1455, 495},
        {"Label1", -1, "有功功率（KW）", "", 3360, 0, 2295, 495},
        {"Label2", -1, "功率因数", "", 3360, 720, 2295, 495},
        {"Label3", -1, "无功功率值(kVar)", "", 3000, 2280, 3255, 375},
        {"Label4", 0, "视在功率值(kVA)", "", 3000, 3480, 3255, 375},
        {"Label4", 1, "计算电流(A)", "", 3000, 4560, 3255, 375},
    };
    EXPECT_EQ(win()->windowTitle(), "负荷计算");
    EXPECT_EQ(win()->size(), QSize(473, 426));
    for (const Row& r : rows) {
        std::string trace = r.name;
        if (r.index >= 0)
            trace.append(1, '(').append(std::to_string(r.index)).append(1, ')');
        SCOPED_TRACE(trace);
        QWidget* w = find(r.name, r.index);
        if (!w)
            continue; // find() has said so
        if (r.index < 0)
            EXPECT_EQ(text(r.name), QString::fromUtf8(r.text));
        else
            EXPECT_EQ(qobject_cast<QLabel*>(w)->text(), QString::fromUtf8(r.text));
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(r.tooltip));
        EXPECT_EQ(w->geometry(), QRect(r.left / 15, r.top / 15, r.width / 15, r.height / 15));
        EXPECT_EQ(w->font().family(), "宋体");
        EXPECT_DOUBLE_EQ(w->font().pointSizeF(), 15.75);
    }
}

TEST_F(LoadWindow, TabOrderAsTabled)
{
    EXPECT_EQ(focusOrder("dl", 10),
              (QStringList{"dl", "Command5", "Command4", "Sjs", "Qjs", "Command3", "Command2", "Command1", "Cos", "Pjs"}));
}
