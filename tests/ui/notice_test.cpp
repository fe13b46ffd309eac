// The failure notes of every calculator: heard by a screen reader, placed
// clear of the controls, and leaving every field exactly as it looked.

#include "app/ui/form.h"
#include "support/window_test.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

namespace {

// What one user action does: type a text into a field, or click a control.
struct Action {
    const char* field; // typed into, or clicked when `text` is null
    const char* text;
};

// A failure case of a calculator: the actions, and the field marked at the end.
struct Failure {
    std::vector<Action> actions;
    const char* marked;
};

struct Calculator {
    const char* window;
    std::vector<Failure> failures;
};

const Calculator calculators[] = {
    {"fhjs",
     {{{{"Pjs", "100"}, {"Cos", "0"}, {"Command1", nullptr}}, "Cos"},
      {{{"Cos", "1.2"}, {"Command1", nullptr}}, "Cos"},
      {{{"Cos", ""}, {"Command4", nullptr}}, "Cos"},
      {{{"Sjs", ""}, {"Command5", nullptr}}, "Sjs"},
      {{{"Pjs", "1E999"}, {"Command4", nullptr}}, "Pjs"},
      {{{"Pjs", "1E308"}, {"Cos", "0.1"}, {"Command4", nullptr}}, "Sjs"}}},
    {"fljs",
     {{{{"l", "10"}, {"w", "10"}, {"H", "-5"}, {"js", nullptr}}, "H"},
      {{{"l", "1e200"}, {"w", "1e200"}, {"H", "10"}, {"js", nullptr}}, "H"}}},
    {"zdjs",
     {{{{"mj", ""}, {"Command1", nullptr}}, "mj"},
      {{{"mj", "20"}, {"dwgl", ""}, {"Command1", nullptr}}, "dwgl"},
      {{{"gl", ""}, {"Command2", nullptr}}, "gl"},
      {{{"H", "x"}, {"Label3", nullptr}}, "H"},
      {{{"ps", ""}, {"Command3", nullptr}}, "ps"},
      {{{"l", "1e200"}, {"w", "1e200"}, {"s", nullptr}}, "mj"}}},
    {"XCJS",
     {{{{"bfs", "0"}, {"xcmj", nullptr}}, "bfs"},
      {{{"s", "1E999"}, {"Label8", nullptr}}, "s"},
      {{{"s", "1E308"}, {"sz", "1E308"}, {"Label8", nullptr}}, "sz"},
      {{{"VV2", "1E300"}, {"VV3", "1E300"}}, "VV3"}}},
};

} // namespace

class Notices : public WindowTest {
protected:
    void act(const Action& a)
    {
        if (a.text)
            type(a.field, QString::fromUtf8(a.text));
        else
            click(a.field);
    }
    ui::Form* form() const { return win()->findChild<ui::Form*>(QString(), Qt::FindDirectChildrenOnly); }

    // Everything a note must not cover: what takes input, options and buttons.
    std::vector<std::pair<QString, QRect>> controls() const
    {
        std::vector<std::pair<QString, QRect>> found;
        for (QWidget* w : win()->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
                                 qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w) ||
                                 qobject_cast<QListWidget*>(w);
            if (control && w->isVisibleTo(win()) && !w->objectName().startsWith("qt_") && !w->objectName().isEmpty())
                found.emplace_back(w->objectName(), QRect(w->mapTo(win(), QPoint(0, 0)), w->size()));
        }
        return found;
    }
};

TEST_F(Notices, EveryFailureIsMarkedHeardAndPlacedClearOfTheControls)
{
    for (const Calculator& calculator : calculators) {
        open(calculator.window);
        for (const Failure& f : calculator.failures) {
            for (const Action& a : f.actions)
                act(a);
            ASSERT_EQ(failedField(), f.marked) << calculator.window;
            const QString note = notice();
            ASSERT_FALSE(note.isEmpty());

            // An alert in the note's own words: a screen reader reads an alert
            // out as soon as it appears.
            QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(form()->failureNote());
            EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
            EXPECT_EQ(alert->text(QAccessible::Name), note);
            EXPECT_FALSE(alert->state().invisible);

            // The marked field carries the reason while it is marked.
            QAccessibleInterface* field = QAccessible::queryAccessibleInterface(find(f.marked));
            EXPECT_TRUE(note.endsWith(field->text(QAccessible::Description))) << f.marked;

            // Inside the window, over no input, option or button.
            const QRect placed = form()->failureNote()->geometry();
            EXPECT_TRUE(win()->rect().contains(placed)) << f.marked;
            for (const auto& [name, rect] : controls())
                EXPECT_FALSE(placed.intersects(rect)) << calculator.window << ": the note on " << f.marked
                                                      << " covers " << name.toStdString();
            // Nor would it take a click meant for what lies beneath.
            EXPECT_TRUE(form()->failureNote()->testAttribute(Qt::WA_TransparentForMouseEvents));
        }
        exit(win());
    }
}

TEST_F(Notices, AMarkLeavesTheFieldExactlyAsItWas)
{
    // The load example: after a failed power factor the result looks as before.
    open("fhjs");
    type("Pjs", "100");
    click("Command1");
    QWidget* reactive = find("Qjs");
    find("Command1")->setFocus();
    const QImage before = reactive->grab().toImage();
    type("Cos", "0");
    press(Qt::Key_C, Qt::AltModifier);
    type("Cos", "0.8");
    press(Qt::Key_C, Qt::AltModifier);
    find("Command1")->setFocus();
    EXPECT_EQ(text("Qjs"), "75");
    EXPECT_TRUE(reactive->grab().toImage() == before);
    exit(win());

    // And in every window, after each of its failures, every field keeps its face.
    for (const Calculator& calculator : calculators) {
        open(calculator.window);
        std::map<QString, QFont> fonts;
        for (QWidget* w : win()->findChildren<QWidget*>()) {
            const bool field = qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QComboBox*>(w);
            if (field && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                fonts[w->objectName()] = w->font();
        }
        for (const Failure& f : calculator.failures)
            for (const Action& a : f.actions)
                act(a);
        type(calculator.failures.back().marked, "1"); // an edit takes the mark away
        EXPECT_EQ(notice(), "");
        for (const auto& [name, font] : fonts) {
            QWidget* w = find(name.toUtf8().constData());
            EXPECT_EQ(w->font(), font) << calculator.window << " " << name.toStdString();
            EXPECT_EQ(w->font().family(), "宋体") << calculator.window << " " << name.toStdString();
        }
        exit(win());
    }
}

TEST_F(Notices, FramesDrawTheirTitleAboveTheirOptions)
{
    // Look at each frame as drawn, with its options taken away: its line must
    // run above the options' row, and nothing may be drawn across that row.
    for (const char* window : {"fljs", "zdjs"}) {
        open(window);
        const auto frames = win()->findChildren<QGroupBox*>();
        ASSERT_FALSE(frames.isEmpty());
        for (QGroupBox* frame : frames) {
            const auto options = frame->findChildren<QAbstractButton*>();
            for (QAbstractButton* option : options)
                option->hide();
            const QImage drawn = frame->grab().toImage();
            for (QAbstractButton* option : options)
                option->show();
            const QRgb background = drawn.pixel(frame->width() / 2, frame->height() / 2);
            auto drawnInRow = [&](int y) {
                int marks = 0;
                for (int x = 4; x < drawn.width() - 4; ++x)
                    marks += drawn.pixel(x, y) != background;
                return marks;
            };
            int line = -1; // the first row with a line near the right edge, clear of the title
            for (int y = 0; y < drawn.height() && line < 0; ++y) {
                int marks = 0;
                for (int x = drawn.width() - 10; x < drawn.width() - 4; ++x)
                    marks += drawn.pixel(x, y) != background;
                if (marks == 6)
                    line = y;
            }
            ASSERT_GE(line, 0) << frame->objectName().toStdString();
            for (QAbstractButton* option : options) {
                EXPECT_LT(line, option->y()) << option->objectName().toStdString();
                for (int y = option->y(); y < option->y() + option->height(); ++y)
                    ASSERT_EQ(drawnInRow(y), 0) << option->objectName().toStdString() << " row " << y;
            }
        }
        exit(win());
    }
}
