#include "calculators.h"
#include "menu.h"
#include "actions.h"
#include "form.h"
#include "keys.h"
#include "widgets.h"
#include "clock.h"
#include "window_test.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <functional>

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
            SCOPED_TRACE(std::string(k.window) + " " + name);
            restart();
            openWindow(k.window);
            auto* button = qobject_cast<QAbstractButton*>(find(name));
            EXPECT_NE(button, nullptr);
            if (!button)
                continue;
            EXPECT_TRUE(button->text().contains(QStringLiteral("&") + QKeySequence(key).toString())) << name;
            QSignalSpy clicked(button, &QAbstractButton::clicked);
            if (win()->objectName() == "dqjs" && key == Qt::Key_E)
                ui::clock::advance(600); // the menu's exit ignores its key for half a second after it appears
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
    // Spot checks: a field takes the caption of its label, else what its table calls it.
    open("fhjs");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find("Pjs"))->text(QAccessible::Name), "有功功率（KW）");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find("dl"))->text(QAccessible::Name), "计算电流(A)");
    exit(win());
    open("fljs");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find("Td"))->text(QAccessible::Name), "年平均雷暴日Td");
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

namespace {

// A key with its modifiers as a platform delivers it, with the time it stamps
// on it: the press goes to the shortcuts first, as from the keyboard.
struct Chord {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
};
const Chord altE{Qt::Key_E, Qt::AltModifier, "e"};

void pressKey(QWindow* window, const Chord& k, ulong time, bool markedRepeat = false)
{
    if (qt_sendShortcutOverrideEvent(window, time, k.key, k.modifiers, k.text, markedRepeat))
        return;
    QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.text, markedRepeat);
    press.setTimestamp(time);
    QCoreApplication::sendEvent(window, &press);
}

void releaseKey(QWindow* window, const Chord& k, ulong time, bool markedRepeat = false)
{
    QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, k.text, markedRepeat);
    release.setTimestamp(time);
    QCoreApplication::sendEvent(window, &release);
}

void pressAltE(QWindow* window, ulong time, bool markedRepeat = false) { pressKey(window, altE, time, markedRepeat); }
void releaseE(QWindow* window, ulong time, bool markedRepeat = false) { releaseKey(window, altE, time, markedRepeat); }

// The shapes a held key takes on its way in, one every 40 ms after 660 ms.
struct Hold {
    const char* name;
    bool releases; // each repeat comes as a release and a press at the same time
    bool marked;   // and Qt marks them as repeats
};
const Hold holds[] = {
    {"X auto repeat, not marked (the pair did not arrive together)", true, false},
    {"X auto repeat, marked", true, true},
    {"Windows, or X with detectable auto repeat: presses without releases", false, false},
};

} // namespace

TEST_F(Keyboard, AHeldOrBouncingExitKeyNeverEndsTheProgram)
{
    for (const char* calculator : {"fhjs", "XCJS"}) {
        open(calculator);
        press(Qt::Key_E, Qt::AltModifier);
        ASSERT_EQ(visibleWindows(), QStringList{"dqjs"});
        current_ = shell_->window("dqjs");
        activate();
        // The same key again at once, as a bounce or a double press; a close
        // request then is one too (the shell asks).
        EXPECT_TRUE(menuJustShown(win()));
        press(Qt::Key_E, Qt::AltModifier);
        EXPECT_EQ(ended_, 0) << calculator;
        EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    }
    ui::clock::advance(600);
    EXPECT_FALSE(menuJustShown(win()));

    // Held down in a calculator until it repeats on the menu, long after the
    // menu appeared: the repeats press nothing, and the key stays held from
    // its one deliberate press. Only a new press, once it is up, ends the program.
    ulong t = 5'000'000;
    const char* calculators[] = {"zdjs", "fljs", "fhjs"};
    for (size_t i = 0; i < std::size(holds); ++i) {
        const Hold& hold = holds[i];
        SCOPED_TRACE(hold.name);
        restart();
        QWindow* menu = win()->windowHandle();
        open(calculators[i]);
        pressAltE(win()->windowHandle(), t += 10'000);
        const quint64 heldFrom = ui::keys::serial();
        EXPECT_EQ(ui::keys::pressedAt(Qt::Key_E), heldFrom);
        ui::clock::advance(130);
        EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
        if (!shell_->window("dqjs")->isVisible()) {
            releaseE(win()->windowHandle(), t += 100);
            continue;
        }
        current_ = shell_->window("dqjs");
        activate();
        ui::clock::advance(600);
        t += 620;
        for (int repeat = 0; repeat < 20; ++repeat) {
            t += 40;
            if (hold.releases)
                releaseE(menu, t, hold.marked);
            pressAltE(menu, t, hold.marked);
        }
        ui::clock::advance(130);
        EXPECT_EQ(ended_, 0) << hold.name;
        EXPECT_EQ(visibleWindows(), QStringList{"dqjs"}) << hold.name;
        EXPECT_EQ(ui::keys::serial(), heldFrom) << hold.name << ": a repeat counted as a press";
        EXPECT_EQ(ui::keys::pressedAt(Qt::Key_E), heldFrom) << hold.name;

        releaseE(menu, t += 30);
        EXPECT_EQ(ui::keys::pressedAt(Qt::Key_E), 0u);
        pressAltE(menu, t += 200);
        ui::clock::advance(130);
        EXPECT_EQ(ended_, 1) << hold.name;
        EXPECT_GT(ui::keys::pressedAt(Qt::Key_E), heldFrom);
        releaseE(menu, t += 100);
    }

    // Repeats that reach a calculator (the key went down elsewhere) press
    // none of its buttons either.
    restart();
    open("zdjs");
    for (const Hold& hold : holds) {
        if (!hold.releases)
            continue; // its first press would be a deliberate one
        for (int repeat = 0; repeat < 5; ++repeat) {
            releaseE(win()->windowHandle(), t += 40, hold.marked);
            pressAltE(win()->windowHandle(), t, hold.marked);
        }
        ui::clock::advance(130);
        EXPECT_EQ(visibleWindows(), QStringList{"zdjs"}) << hold.name;
    }
    releaseE(win()->windowHandle(), t += 40);
    exit(win());

    // A key whose release went to no window (one hidden in between) is taken
    // as up once it has been quiet for a while: its next press is deliberate.
    open("fljs");
    pressAltE(win()->windowHandle(), t += 10'000);
    ui::clock::advance(130);
    current_ = shell_->window("dqjs");
    activate();
    ui::clock::advance(600);
    const quint64 heldFrom = ui::keys::serial();
    pressAltE(win()->windowHandle(), t += 100);
    ui::clock::advance(130);
    EXPECT_EQ(ui::keys::serial(), heldFrom) << "still held";
    EXPECT_EQ(ended_, 0);
    pressAltE(win()->windowHandle(), t += 5'000);
    ui::clock::advance(130);
    EXPECT_EQ(ui::keys::serial(), heldFrom + 1);
    EXPECT_EQ(ended_, 1);
    releaseE(win()->windowHandle(), t += 100);

    // Plain typing keeps repeating in a field.
    restart();
    open("fhjs");
    type("Pjs", "");
    QWindow* calculator = win()->windowHandle();
    for (int repeat = 0; repeat < 3; ++repeat) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, "1", repeat > 0);
        press.setTimestamp(t += 40);
        QCoreApplication::sendEvent(calculator, &press);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_1, Qt::NoModifier, "1");
    release.setTimestamp(t += 40);
    QCoreApplication::sendEvent(calculator, &release);
    EXPECT_EQ(text("Pjs"), "111");

    // A click on the menu's exit is never held back.
    restart();
    click("END");
    EXPECT_EQ(ended_, 1);
}

// Half a second after the menu appears, and not before, its exit key ends
// the program: a press sooner was meant for the calculator it replaced (a
// bounce, a double press), and so is a close request.
TEST_F(Keyboard, TheMenusExitWaitsHalfASecondAfterTheMenuAppears)
{
    open("fljs");
    exit(win());
    const qint64 shown = ui::clock::now();
    QWidget* menu = win();
    for (const qint64 at : {100, 400, 499}) {
        ui::clock::advance(shown + at - ui::clock::now());
        menu->close();
        QTest::keyClick(menu->windowHandle(), Qt::Key_E, Qt::AltModifier);
        EXPECT_EQ(ended_, 0) << "Alt+E or a close request " << at << " ms after the menu appeared";
        EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    }
    ui::clock::advance(shown + 500 - ui::clock::now());
    press(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(ended_, 1);
}

// A sheet key held down until it repeats saves one sheet, in every shape a
// held key takes; each new press saves one more.
TEST_F(Keyboard, AHeldSheetKeySavesOneSheet)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the documents folder does not follow HOME here";
#endif
    // The sheets go to a home of the test's own (the documents folder follows HOME).
    struct OwnHome {
        QTemporaryDir dir;
        QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
        OwnHome()
        {
            qputenv("HOME", dir.path().toLocal8Bit());
            qunsetenv("XDG_CONFIG_HOME");
        }
        ~OwnHome()
        {
            qputenv("HOME", home);
            if (!config.isEmpty())
                qputenv("XDG_CONFIG_HOME", config);
        }
    } home;
    const QDir folder(sheet::defaultFolder());
    ASSERT_TRUE(folder.path().startsWith(home.dir.path()));

    const Chord ctrlP{Qt::Key_P, Qt::ControlModifier, "p"};
    open("fhjs");
    QWindow* calculator = win()->windowHandle();
    ulong t = 9'000'000;
    qsizetype saved = 0;
    for (const Hold& hold : holds) {
        pressKey(calculator, ctrlP, t += 10'000);
        t += 620;
        for (int repeat = 0; repeat < 12; ++repeat) {
            t += 40;
            if (hold.releases)
                releaseKey(calculator, ctrlP, t, hold.marked);
            pressKey(calculator, ctrlP, t, hold.marked);
        }
        releaseKey(calculator, ctrlP, t += 30);
        EXPECT_EQ(folder.entryList({"*.pdf"}).size(), ++saved) << hold.name;
    }
}

// What is typed into a drop-down list stays as typed, key by key: no item
// is completed from it (a 2 typed into the height code is no 23).
TEST_F(Keyboard, TypingInADropDownListIsNeverCompletedToAnItem)
{
    for (const Calculator& calculator : calculators()) {
        open(calculator.window.c_str());
        for (const ui::Control& c : calculator.table().controls) {
            if (c.kind != ui::Kind::Combo)
                continue;
            auto* box = get<QComboBox>(c.name.c_str());
            ASSERT_TRUE(box && box->isEditable()) << c.name;
            for (const std::string& item : c.items) {
                const QString whole = QString::fromStdString(item);
                for (qsizetype n = 1; n < whole.size(); ++n) {
                    erase(c.name.c_str());
                    QTest::keyClicks(box->lineEdit(), whole.left(n));
                    EXPECT_EQ(box->currentText(), whole.left(n)) << calculator.window << " " << c.name;
                }
            }
        }
        exit(win());
    }
}

// A result however long is read from its first digit: written into any
// result field of any calculator, where the cursor stood at the end of what
// was there, it shows its start.
TEST_F(Keyboard, AWrittenResultShowsItsFirstDigits)
{
    const QString result = QString::fromStdString(numeric::formatNumber(-1.0 / 7e10));
    for (const Calculator& calculator : calculators()) {
        open(calculator.window.c_str());
        for (const ui::Control& c : calculator.table().controls) {
            if (c.quantity.role != ui::Role::Result || c.kind != ui::Kind::Field)
                continue;
            auto* field = get<QLineEdit>(c.name.c_str());
            field->setFocus();
            field->setText(result + result);
            field->end(false);
            form()->write(c.name, result, nullptr);
            EXPECT_EQ(field->text(), result);
            EXPECT_EQ(field->cursorPosition(), 0) << calculator.window << " " << c.name;
        }
        exit(win());
    }
}

TEST_F(Keyboard, ClickableLabelsAreKeyboardControls)
{
    open("zdjs");
    type("mj", "20"); // height code 23
    auto* unitPower = qobject_cast<ui::ClickLabel*>(find("Label3"));
    ASSERT_NE(unitPower, nullptr);
    EXPECT_TRUE(unitPower->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(find("Label7")->focusPolicy(), Qt::NoFocus) << "a label without a handler takes no focus";

    // The focus shows, and goes again without a trace.
    find("dwgl")->setFocus();
    const QImage plain = unitPower->grab().toImage();
    unitPower->setFocus();
    EXPECT_FALSE(unitPower->grab().toImage() == plain);
    find("dwgl")->setFocus();
    EXPECT_TRUE(unitPower->grab().toImage() == plain);

    // Space, Enter and a screen reader's press run the click handler.
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(unitPower);
    EXPECT_EQ(spoken->role(), QAccessible::Button);
    EXPECT_EQ(spoken->text(QAccessible::Name), "单位功率(W)");
    ASSERT_NE(spoken->actionInterface(), nullptr);
    EXPECT_TRUE(spoken->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    const std::pair<const char*, std::function<void()>> presses[] = {
        {"Space",
         [&] {
             unitPower->setFocus();
             press(Qt::Key_Space);
         }},
        {"Enter",
         [&] {
             unitPower->setFocus();
             press(Qt::Key_Return);
         }},
        {"a screen reader's press",
         [&] { spoken->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); }},
    };
    for (const auto& [how, pressIt] : presses) {
        type("dwgl", "");
        pressIt();
        EXPECT_EQ(text("dwgl"), "8.9") << how;
    }
    exit(win());

    // The catalogue tabs and both elements of the total label.
    open("XCJS");
    find("Label11")->setFocus();
    press(Qt::Key_Return);
    EXPECT_TRUE(find("List2")->isVisible());
    EXPECT_EQ(text("bfs"), "33");
    find("Label10")->setFocus();
    press(Qt::Key_Space);
    EXPECT_TRUE(find("List1")->isVisible());
    EXPECT_EQ(text("bfs"), "20");
    type("s", "12.5");
    for (int element : {0, 1}) {
        find("Label8", element)->setFocus();
        press(Qt::Key_Space);
    }
    EXPECT_EQ(text("sz"), "25");
}

TEST_F(Keyboard, ScreenReadersHearWhatEachControlHolds)
{
    auto spoken = [](QWidget* w, QAccessible::Text what = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(w)->text(what);
    };
    // Each window is a window, named by its caption.
    for (const char* window : {"fhjs", "fljs", "zdjs", "XCJS"}) {
        open(window);
        QAccessibleInterface* w = QAccessible::queryAccessibleInterface(win());
        EXPECT_EQ(w->role(), QAccessible::Window) << window;
        EXPECT_EQ(w->text(QAccessible::Name), win()->windowTitle());
        exit(win());
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(win())->role(), QAccessible::Window);

    // A drop-down list is named, where it takes the focus, by what it holds;
    // its text is its value.
    open("zdjs");
    for (const char* name : {"ps", "H"}) {
        find(name)->setFocus();
        QWidget* focused = QApplication::focusWidget();
        EXPECT_NE(spoken(focused), text(name)) << name;
        EXPECT_EQ(spoken(focused, QAccessible::Value), text(name)) << name;
    }
    EXPECT_EQ(spoken(find("H")), "高度(m)");
    EXPECT_EQ(spoken(find("ps")), "单位面积空调负荷(kW/m²)");
    // The illuminance options say what they set; the reference table reads
    // as text, without its raw line breaks.
    EXPECT_EQ(spoken(find("zd300")), "300");
    EXPECT_EQ(spoken(find("zd300"), QAccessible::Description), "照度标准值 300 lx");
    EXPECT_FALSE(spoken(find("Label7")).contains('\r'));
    EXPECT_FALSE(spoken(find("Label7")).contains('\n'));
    EXPECT_TRUE(spoken(find("Label7")).startsWith("计算依据建筑电气设计手册第410页表16-35基准每100lx h=2~3 10~15--10.4"));
    exit(win());

    open("XCJS");
    find("bfs")->setFocus();
    EXPECT_EQ(spoken(QApplication::focusWidget()), "利用百分数");
    // The catalogue lists are labelled by their tabs, and read item by item.
    for (const auto& [list, label] : {std::pair{"List1", "Label10"}, std::pair{"List2", "Label11"}}) {
        SCOPED_TRACE(list);
        QAccessibleInterface* l = QAccessible::queryAccessibleInterface(find(list));
        const auto labels = l->relations(QAccessible::Label);
        EXPECT_EQ(labels.size(), 1);
        if (labels.size() == 1) {
            EXPECT_EQ(labels.front().first->object(), find(label));
        }
        auto* items = qobject_cast<QListWidget*>(find(list));
        EXPECT_EQ(l->childCount(), items->count());
        if (l->childCount() != items->count() || items->count() < 2)
            continue;
        EXPECT_EQ(l->child(1)->text(QAccessible::Name), items->item(1)->text());
        EXPECT_EQ(l->child(1)->parent(), l);
        EXPECT_EQ(l->indexOfChild(l->child(1)), 1);
    }
    // A button's name follows the caption it shows now.
    click("Label11");
    EXPECT_EQ(spoken(find("xcmj")), "计算钢管截面X");
    click("Label10");
    EXPECT_EQ(spoken(find("xcmj")), "计算线槽截面X");
}

// Shift+F10 opens the right-click menu in every window, where the focus is,
// with the program's own entries.
TEST_F(Keyboard, ShiftF10OpensTheMenuInEveryWindow)
{
    const auto windowNamed = [this](const std::string& name) {
        if (name == "gc")
            shell_->projectWindow();
        else if (name == "fhb")
            shell_->schedule(0);
        else if (name != "dqjs")
            shell_->open(name);
        return shell_->window(name);
    };
    for (const char* name : {"dqjs", "fhjs", "fljs", "zdjs", "XCJS", "gc", "fhb"}) {
        SCOPED_TRACE(name);
        current_ = windowNamed(name);
        activate();
        QTest::keyClick(current_->windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            ADD_FAILURE() << "no menu";
            continue;
        }
        QStringList entries;
        for (const QAction* a : menu->actions())
            entries << a->text();
        EXPECT_TRUE(entries.contains(QStringLiteral("保存工程(&S)"))) << entries.join('|').toStdString();
        menu->close();
    }
}
