#include "icons.h"
#include "builder.h"
#include "widgets.h"
#include "clock.h"
#include "window_test.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <algorithm>
#include <vector>

using MenuShell = WindowTest;

TEST_F(MenuShell, StartShowsOnlyTheMenuAndBuildsNothingElse)
{
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    for (const char* name : {"fhjs", "fljs", "zdjs", "XCJS"})
        EXPECT_EQ(shell_->window(name), nullptr) << name;
    QWidget* menu = shell_->window("dqjs");
    EXPECT_EQ(menu->windowTitle(), "Elcarta");
    EXPECT_EQ(menu->size(), QSize(312, 271));
}

TEST_F(MenuShell, MenuControlsAsTabled)
{
    struct Row {
        const char* name;
        const char* caption;
        QRect twips;
    };
    const Row rows[] = {
        {"fh", "负荷计算&F", {360, 360, 1935, 495}},   {"zd", "照度计算&Z", {2640, 360, 1695, 495}},
        {"fl", "防雷计算&L", {360, 1080, 1935, 495}},  {"xc", "线槽计算&C", {2640, 1080, 1695, 495}},
        {"END", "退出&E", {480, 2160, 1815, 495}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto* b = get<QPushButton>(r.name);
        if (!b)
            continue; // get() has said so
        EXPECT_EQ(b->text(), QString::fromUtf8(r.caption));
        EXPECT_EQ(b->geometry(), QRect(r.twips.x() / 15, r.twips.y() / 15, r.twips.width() / 15, r.twips.height() / 15));
        EXPECT_EQ(b->font().family(), "宋体");
        EXPECT_DOUBLE_EQ(b->font().pointSizeF(), 15.75);
    }
    auto* credit = get<QLabel>("Label1");
    ASSERT_NE(credit, nullptr);
    EXPECT_EQ(credit->font().family(), "华文行楷");
    EXPECT_FALSE(credit->text().isEmpty());
    EXPECT_FALSE(credit->text().contains('\n'));
    EXPECT_EQ(credit->geometry(), QRect(56, 200, 185, 33));

    // END holds the focus first, then the four calculators in reading order.
    EXPECT_EQ(focusOrder("END", 5), (QStringList{"END", "fh", "zd", "fl", "xc"}));
}

// Tab goes from stop to stop in the order of their tab indexes in every
// window, with each clickable label just before the field it names and the
// schedule's own table in the place of the one it replaced; no stop is left
// out of the chain.
TEST_F(MenuShell, TabFollowsTheTabIndexesInEveryWindow)
{
    for (const char* name : {"dqjs", "fhjs", "fljs", "zdjs", "XCJS", "gc", "fhb"}) {
        SCOPED_TRACE(name);
        shell_->open(name);
        QWidget* window = shell_->window(name);
        ASSERT_NE(window, nullptr);
        auto* form = window->findChild<ui::Form*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(form, nullptr);
        auto isStop = [&](QWidget* w) {
            return (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && form->tabIndex(w);
        };
        std::vector<std::pair<double, QString>> chain;
        for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
            if (window->isAncestorOf(w) && isStop(w))
                chain.emplace_back(*form->tabIndex(w), w->objectName());
        // The chain is a ring: it is read from its lowest stop.
        std::rotate(chain.begin(), std::min_element(chain.begin(), chain.end()), chain.end());
        QStringList order;
        for (const auto& [tab, stop] : chain)
            order << QString("%1:%2").arg(stop).arg(tab);
        EXPECT_TRUE(std::is_sorted(chain.begin(), chain.end(), [](auto& a, auto& b) { return a.first < b.first; }))
            << order.join(' ').toStdString();
        std::size_t stops = 0;
        for (QWidget* w : window->findChildren<QWidget*>())
            stops += isStop(w) ? 1 : 0;
        EXPECT_EQ(chain.size(), stops);
        EXPECT_GT(stops, 0u);
        // Every control the table gives a tab index keeps one, a control a
        // window puts in the builder's place too.
        for (const ui::Control& c : form->table().controls)
            if (c.tab >= 0) {
                QWidget* w = form->control(c.name, c.index);
                EXPECT_TRUE(w && form->tabIndex(w) == static_cast<double>(c.tab)) << c.name;
            }
    }
}

TEST_F(MenuShell, ChineseFacesAreFoundOnThisMachine)
{
    // "宋体" and "华文行楷" resolve to installed Song and Kai faces, not to a
    // Latin fallback that would draw boxes.
    const QString song = QFontInfo(find("fh")->font()).family();
    const QString kai = QFontInfo(find("Label1")->font()).family();
    EXPECT_TRUE(song == "宋体" || song == "SimSun" || song.contains("Ming") || song.contains("Sung") ||
                song == "Noto Serif CJK SC")
        << song.toStdString();
    EXPECT_TRUE(kai == "华文行楷" || kai == "STXingkai" || kai.contains("Kai")) << kai.toStdString();
    // Where it is installed, Noto Serif CJK SC is taken before AR PL UMing,
    // whose "l" looks like "1" at small sizes.
    const QStringList installed = QFontDatabase::families();
    if (installed.contains("Noto Serif CJK SC") && !installed.contains("SimSun")) {
        EXPECT_EQ(song, "Noto Serif CJK SC");
    }
}

// In whatever face this machine draws 宋体, every caption of every window
// stands whole in its place, and the illuminance window's reference table
// shows all its sixteen lines. Only the lightning window's 防雷等级为： is
// laid out to wrap, a character a line.
TEST_F(MenuShell, EveryCaptionStandsWholeInItsPlace)
{
    for (const char* name : {"dqjs", "fhjs", "fljs", "zdjs", "XCJS"}) {
        shell_->open(name);
        // A button's other captions, given by its handlers, stand whole too.
        if (auto* form = shell_->window(name)->findChild<ui::Form*>(QString(), Qt::FindDirectChildrenOnly))
            for (const ui::Control& c : form->table().controls)
                for (const std::string& other : c.alternates) {
                    form->setCaption(c.name, QString::fromStdString(other));
                    QAbstractButton* b = qobject_cast<QAbstractButton*>(form->control(c.name));
                    ASSERT_NE(b, nullptr);
                    QStyleOptionButton caption;
                    caption.initFrom(b);
                    const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &caption, b);
                    EXPECT_LE(b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width(), room.width()) << other;
                    form->setCaption(c.name, QString::fromStdString(c.caption));
                }
        for (QAbstractButton* b : shell_->window(name)->findChildren<QAbstractButton*>()) {
            QStyleOptionButton caption;
            caption.initFrom(b);
            const bool option = qobject_cast<QRadioButton*>(b);
            const QRect room = b->style()->subElementRect(
                option ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &caption, b);
            EXPECT_LE(b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width(), room.width())
                << b->objectName().toStdString();
        }
        for (QLabel* l : shell_->window(name)->findChildren<QLabel*>()) {
            if (l->objectName() != "djz" && !l->text().contains('\n') && l->isVisibleTo(l->window())) {
                EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->contentsRect().width())
                    << l->objectName().toStdString();
            }
        }
    }
    auto* table = shell_->window("zdjs")->findChild<ui::ClickLabel*>("Label7");
    ASSERT_NE(table, nullptr);
    EXPECT_LE(16 * table->linePitch(), table->contentsRect().height());
    EXPECT_GE(table->linePitch(), QFontInfo(table->font()).pixelSize()); // the lines never overlap
}

TEST_F(MenuShell, EachCalculatorOpensWithItsCaptionSizeAndIcon)
{
    struct Window {
        const char* name;
        const char* caption;
        QSize size;
        int icon;
        double points;
    };
    const Window windows[] = {
        {"fhjs", "负荷计算", {473, 426}, 80, 15.75},
        {"fljs", "防雷计算", {570, 458}, 32, 14.25},
        {"zdjs", "照度计算", {694, 377}, 48, 15.75},
        {"XCJS", "线槽计算", {626, 536}, 48, 15.75},
    };
    for (const Window& w : windows) {
        SCOPED_TRACE(w.name);
        QWidget* win = open(w.name);
        EXPECT_NE(win, nullptr);
        if (!win)
            continue;
        EXPECT_EQ(visibleWindows(), QStringList{w.name});
        EXPECT_EQ(win->windowTitle(), QString::fromUtf8(w.caption));
        EXPECT_EQ(win->size(), w.size) << w.name;
        EXPECT_EQ(win->minimumSize(), win->maximumSize()) << w.name;
        EXPECT_EQ(win->font().family(), "宋体");
        EXPECT_DOUBLE_EQ(win->font().pointSizeF(), w.points);
        EXPECT_TRUE(win->windowIcon().availableSizes().contains(QSize(w.icon, w.icon))) << w.name;
        exit(win);
        EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    }
    EXPECT_TRUE(shell_->window("dqjs")->windowIcon().availableSizes().contains(QSize(48, 48)));
}

TEST_F(MenuShell, IconsDifferFromWindowToWindow)
{
    const QImage menu = icons::windowImage("dqjs", 48);
    for (const char* name : {"zdjs", "XCJS"})
        EXPECT_NE(icons::windowImage(name, 48), menu) << name;
    EXPECT_EQ(icons::windowImage("fhjs", 80).size(), QSize(80, 80));
    EXPECT_EQ(icons::windowImage("fljs", 32).size(), QSize(32, 32));
}

TEST_F(MenuShell, CalculatorIsBuiltOnceAndKeepsItsFields)
{
    QWidget* first = open("fhjs");
    EXPECT_EQ(text("Cos"), "0.8"); // the start text of a first opening
    type("Pjs", "42");
    exit(first);
    for (const char* other : {"zdjs", "fljs", "XCJS"}) {
        open(other);
        exit(win());
    }
    EXPECT_EQ(open("fhjs"), first);
    EXPECT_EQ(text("Pjs"), "42");
}

TEST_F(MenuShell, ShowComesBeforeHide)
{
    // At no moment between the click and its end is no window visible.
    int emptyMoments = 0;
    QWidget* menu = shell_->window("dqjs");
    struct Watch : QObject {
        int* empty;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide) {
                int visible = 0;
                for (QWidget* w : QApplication::topLevelWidgets())
                    visible += w->isVisible() ? 1 : 0;
                if (visible == 0)
                    ++*empty;
            }
            return false;
        }
    } watch;
    watch.empty = &emptyMoments;
    menu->installEventFilter(&watch);
    QWidget* calc = open("zdjs");
    calc->installEventFilter(&watch);
    exit(calc);
    EXPECT_EQ(emptyMoments, 0);
}

TEST_F(MenuShell, TitleBarCloseReturnsToTheMenuOrEndsTheProgram)
{
    QWidget* calc = open("fljs");
    calc->close();
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    EXPECT_EQ(ended_, 0);
    EXPECT_EQ(open("fljs"), calc);

    // A close request just as the menu appears was meant for the calculator
    // (Alt+F4 pressed twice); a later one ends the program.
    exit(calc);
    shell_->window("dqjs")->close();
    EXPECT_EQ(ended_, 0);
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    ui::clock::advance(600);
    shell_->window("dqjs")->close();
    EXPECT_EQ(ended_, 1);
    EXPECT_TRUE(visibleWindows().isEmpty());
}

TEST_F(MenuShell, EndFromTheMenuEndsEvenWithCalculatorsHidden)
{
    for (const char* name : {"fhjs", "XCJS"}) {
        open(name);
        exit(win());
    }
    click("END");
    EXPECT_EQ(ended_, 1);
    EXPECT_TRUE(visibleWindows().isEmpty());
}

TEST_F(MenuShell, AccessKeysOfTheMenu)
{
    press(Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(visibleWindows(), QStringList{"fljs"});
    current_ = shell_->window("fljs");
    activate();
    press(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    current_ = shell_->window("dqjs");
    activate();
    ui::clock::advance(600); // not a bounce of the calculator's own Alt+E
    press(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(ended_, 1);
}

TEST_F(MenuShell, GeometryFollowsTheScaleFactor)
{
    EXPECT_GT(ui::scale(), 0);
    EXPECT_EQ(ui::px(1500), qRound(100 * ui::scale()));
    EXPECT_EQ(shell_->window("dqjs")->width(), ui::px(4680));
}
