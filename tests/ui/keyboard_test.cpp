#include "support/window_test.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Keys {
    const char* window;
    QStringList tabOrder; // from the control that has the focus when the window opens
    std::vector<std::pair<Qt::Key, const char*>> accessKeys;
};

const Keys windows[] = {
    {"dqjs", {"END", "fh", "zd", "fl", "xc"}, {{Qt::Key_F, "fh"}, {Qt::Key_Z, "zd"}, {Qt::Key_L, "fl"}, {Qt::Key_C, "xc"}, {Qt::Key_E, "END"}}},
    {"fhjs",
     {"dl", "Command5", "Command4", "Sjs", "Qjs", "Command3", "Command2", "Command1", "Cos", "Pjs"},
     {{Qt::Key_C, "Command1"}, {Qt::Key_S, "Command4"}, {Qt::Key_A, "Command5"}, {Qt::Key_Q, "Command3"}, {Qt::Key_E, "Command2"}}},
    {"fljs",
     {"H", "w", "l", "n", "Td", "k", "Ng", "END", "js", "Ae", "j1", "jz1", "xt", "dj"},
     {{Qt::Key_C, "js"}, {Qt::Key_E, "END"}}},
    {"zdjs",
     {"END", "l", "w", "s", "mj", "w40", "Label3", "dwgl", "Command1", "gl", "Command2", "n", "Command3", "kt", "H", "Command4", "ps", "zd300"},
     {{Qt::Key_S, "s"}, {Qt::Key_P, "Command1"}, {Qt::Key_N, "Command2"}, {Qt::Key_C, "Command3"}, {Qt::Key_O, "Command4"}, {Qt::Key_E, "END"}}},
    {"XCJS",
     {"SYV1", "UTP1", "LGB1", "RVS1", "SYV2", "UTP2", "LGB2", "RVS2", "SYV3", "UTP3", "LGB3", "RVS3", "vv",  "VV1",
      "VV2",  "VV3",  "VV4",  "SYV4", "UTP4", "LGB4", "RVS4", "xcmj", "xczmj", "BV1", "BV2", "BV3", "BV4", "END",
      "sz",   "Label8", "s",  "Label8", "ql",  "Text1", "List1", "Label10", "bfs", "Label11"},
     {{Qt::Key_X, "xcmj"}, {Qt::Key_L, "ql"}, {Qt::Key_E, "END"}}},
};

// The control a focus widget belongs to (an editable list's text part
// belongs to the list).
QString controlOf(QWidget* w, QWidget* window)
{
    while (w && w != window && (w->objectName().isEmpty() || w->objectName().startsWith("qt_")))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

} // namespace

class Keyboard : public WindowTest {
protected:
    void openWindow(const char* name)
    {
        if (std::string(name) != "dqjs")
            open(name);
    }
};

TEST_F(Keyboard, TabWalksEachWindowInItsOrderAndComesRound)
{
    for (const Keys& k : windows) {
        openWindow(k.window);
        QStringList walked;
        for (int i = 0; i <= k.tabOrder.size(); ++i) {
            walked << controlOf(QApplication::focusWidget(), win());
            press(Qt::Key_Tab);
        }
        EXPECT_EQ(walked, k.tabOrder + QStringList{k.tabOrder.front()}) << k.window;
        if (win() != shell_->window("dqjs"))
            exit(win());
    }
}

TEST_F(Keyboard, EveryAccessKeyPressesItsButton)
{
    for (const Keys& k : windows) {
        for (const auto& [key, name] : k.accessKeys) {
            restart();
            openWindow(k.window);
            auto* button = qobject_cast<QAbstractButton*>(find(name));
            ASSERT_NE(button, nullptr) << name;
            EXPECT_TRUE(button->text().contains(QStringLiteral("&") + QKeySequence(key).toString())) << name;
            QSignalSpy clicked(button, &QAbstractButton::clicked);
            press(key, Qt::AltModifier);
            EXPECT_EQ(clicked.count(), 1) << k.window << " " << name;
        }
    }
}

TEST_F(Keyboard, EnterPressesOnlyTheLightningCalculation)
{
    open("fljs");
    find("H")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(text("Td"), "30.2");

    // Elsewhere Enter is no key of its own: no button is the default.
    for (const char* window : {"fhjs", "zdjs", "XCJS"}) {
        exit(win());
        open(window);
        for (QPushButton* b : win()->findChildren<QPushButton*>()) {
            EXPECT_FALSE(b->isDefault()) << window;
            EXPECT_FALSE(b->autoDefault()) << window;
        }
    }
}

TEST_F(Keyboard, ScreenReadersCanNameEveryFocusableControl)
{
    for (const Keys& k : windows) {
        openWindow(k.window);
        for (QWidget* w : win()->findChildren<QWidget*>()) {
            if (!(w->focusPolicy() & Qt::ClickFocus) || controlOf(w, win()) != w->objectName())
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(a, nullptr);
            const QString spoken = a->text(QAccessible::Name);
            EXPECT_FALSE(spoken.isEmpty()) << k.window << " " << w->objectName().toStdString();
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                EXPECT_EQ(spoken, QString(b->text()).remove('&')) << w->objectName().toStdString();
            else
                EXPECT_NE(spoken, w->objectName()) << k.window << ": a screen reader would spell out the code name";
        }
    }
    // Spot checks: a field takes the caption of its label, else its tooltip.
    open("fhjs");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find("Pjs"))->text(QAccessible::Name), "有功功率（KW）");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find("dl"))->text(QAccessible::Name), "计算电流(A)");
    exit(win());
    open("fljs");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find("Td"))->text(QAccessible::Name), "Td=");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find("dj"))->text(QAccessible::Name), "防雷等级为：");
    exit(win());
    open("XCJS");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find("BV3"))->text(QAccessible::Name), "BV 根数");
    // An editable list says its text as its name on Linux; its label comes
    // through the "labelled by" relation, and its text part carries the name.
    auto* bfs = qobject_cast<QComboBox*>(find("bfs"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(bfs->lineEdit())->text(QAccessible::Name), "利用百分数");
    const auto labels = QAccessible::queryAccessibleInterface(bfs)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), "利用百分数");
}
