// The failure notes of every calculator: heard by a screen reader, placed
// clear of the controls, and leaving every field exactly as it looked.

#include "form.h"
#include "widgets.h"
#include "window_test.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
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
// Where the note may stand: touching the field, elsewhere clear of every
// caption but the field's own, or anywhere clear of the controls (a window
// with no free place left).
enum class Place { Touching, Clear, Anywhere };

struct Failure {
    std::vector<Action> actions;
    const char* marked;
    Place place;
    const char* says = nullptr; // the reason, where it matters which
};

struct Calculator {
    const char* window;
    std::vector<Failure> failures;
};

const Calculator calculators[] = {
    {"fhjs",
     {{{{"Pjs", "100"}, {"Cos", "0"}, {"Command1", nullptr}}, "Cos", Place::Touching},
      {{{"Cos", "1.2"}, {"Command1", nullptr}}, "Cos", Place::Touching},
      {{{"Cos", ""}, {"Command4", nullptr}}, "Cos", Place::Touching},
      {{{"Sjs", ""}, {"Command5", nullptr}}, "Sjs", Place::Touching, "请先计算视在功率"},
      {{{"Pjs", "1E999"}, {"Command4", nullptr}}, "Pjs", Place::Clear},
      {{{"Pjs", "1E308"}, {"Cos", "0.1"}, {"Command4", nullptr}}, "Pjs", Place::Clear},
      {{{"Pjs", "1"}, {"Cos", "1E-310"}, {"Command4", nullptr}}, "Cos", Place::Touching}}},
    {"fljs",
     {{{{"l", "10"}, {"w", "10"}, {"H", "-5"}, {"js", nullptr}}, "H", Place::Clear, "高度不能为负数"},
      {{{"l", "1e160"}, {"w", "1e150"}, {"H", "30"}, {"js", nullptr}}, "l", Place::Clear, "数值超出可计算的范围"},
      {{{"l", "10"}, {"w", "1e307"}, {"H", "120"}, {"js", nullptr}}, "w", Place::Clear}}},
    {"zdjs",
     {{{{"mj", ""}, {"Command1", nullptr}}, "mj", Place::Anywhere, "请先计算房间面积"},
      {{{"mj", "20"}, {"dwgl", ""}, {"Command1", nullptr}}, "dwgl", Place::Anywhere},
      {{{"gl", ""}, {"Command2", nullptr}}, "gl", Place::Anywhere},
      {{{"H", "x"}, {"Label3", nullptr}}, "H", Place::Clear, "不是一个数"},
      {{{"ps", ""}, {"Command3", nullptr}}, "ps", Place::Anywhere, "未填写"},
      {{{"l", "1e200"}, {"w", "1e150"}, {"s", nullptr}}, "l", Place::Anywhere}}},
    {"XCJS",
     {{{{"bfs", "0"}, {"xcmj", nullptr}}, "bfs", Place::Touching, "须填一个不为 0 的数"},
      {{{"s", "1E999"}, {"Label8", nullptr}}, "s", Place::Clear},
      {{{"s", "1E308"}, {"sz", "1.7E308"}, {"Label8", nullptr}}, "sz", Place::Clear},
      {{{"VV2", "1E300"}, {"VV3", "1E100"}}, "VV2", Place::Clear}}},
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
            SCOPED_TRACE(::testing::Message() << calculator.window << ", failure "
                                              << &f - calculator.failures.data() + 1 << " on " << f.marked);
            for (const Action& a : f.actions)
                act(a);
            EXPECT_EQ(failedField(), f.marked);
            const QString note = notice();
            EXPECT_FALSE(note.isEmpty());
            if (failedField() != f.marked || note.isEmpty())
                continue;

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
            if (f.says) {
                EXPECT_TRUE(note.endsWith(QString::fromUtf8(f.says))) << note.toStdString();
            }
            // Touching its field where it can, and clear of the other captions.
            const QRect at(find(f.marked)->mapTo(win(), QPoint(0, 0)), find(f.marked)->size());
            const int apart = qMax(qMax(at.left() - placed.right(), placed.left() - at.right()),
                                   qMax(at.top() - placed.bottom(), placed.top() - at.bottom()));
            if (f.place == Place::Touching) {
                EXPECT_LE(apart, 4) << calculator.window << ": the note on " << f.marked;
            }
            for (QLabel* caption : win()->findChildren<QLabel*>()) {
                if (f.place == Place::Anywhere || qobject_cast<ui::Note*>(caption) || caption->buddy() == find(f.marked) ||
                    !caption->isVisibleTo(win()) || caption->objectName().isEmpty())
                    continue;
                const QRect shown(caption->mapTo(win(), QPoint(0, 0)), caption->size());
                EXPECT_FALSE(placed.intersects(shown)) << calculator.window << ": the note on " << f.marked << " covers "
                                                       << caption->objectName().toStdString();
            }
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
        std::map<QString, QString> descriptions;
        for (QWidget* w : win()->findChildren<QWidget*>()) {
            const bool field = qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QComboBox*>(w);
            if (field && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                fonts[w->objectName()] = w->font(), descriptions[w->objectName()] = w->accessibleDescription();
        }
        for (const Failure& f : calculator.failures)
            for (const Action& a : f.actions)
                act(a);
        // An edit takes the mark away: the note, the red frame and the reason.
        const char* corrected = calculator.failures.back().marked;
        type(corrected, "1");
        EXPECT_EQ(notice(), "");
        EXPECT_EQ(failedField(), "");
        QWidget* field = find(corrected);
        EXPECT_EQ(field->accessibleDescription(), descriptions[field->objectName()]) << corrected;
        const QImage drawn = win()->grab().toImage();
        const QRect around = QRect(field->mapTo(win(), QPoint(0, 0)), field->size()).adjusted(-2, -2, 2, 2);
        int red = 0;
        for (int x = around.left(); x <= around.right(); ++x)
            for (const int y : {around.top(), around.bottom()})
                red += drawn.rect().contains(x, y) && qRed(drawn.pixel(x, y)) > 150 && qGreen(drawn.pixel(x, y)) < 60;
        EXPECT_EQ(red, 0) << calculator.window << " " << corrected;
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
