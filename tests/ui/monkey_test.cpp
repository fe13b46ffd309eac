// Thousands of random user actions over every window, with a fixed seed so
// that a failure can be replayed. After each action: exactly one window is
// visible, no modal window is open, and no field shows an infinite or
// not-a-number value.

#include "window_test.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <random>

namespace {

// Pieces of what an engineer might type, mistype or paste. No letter of
// "inf" or "nan" is among them, so any such text in a field was written by
// the program.
const QString pieces[] = {
    "0",   "1",   "2.5",  "4",    "30",   "100",    "150",  "0.75", "-",    "+",    ".",   "E",     "e",
    "E999", "E-999", "1E308", "9E307", ",",  " ",     "kW",   "m",    "%",    "根",   "１２", "３.５", "0.06",
    "E+",  "--",  "..",   "1,000", "-0",  "33",     "\t",
};

QString randomText(std::mt19937& random)
{
    std::uniform_int_distribution<int> kind(0, 19);
    const int k = kind(random);
    if (k == 0)
        return {};
    if (k == 1) // a very long number
        return QString(std::uniform_int_distribution<int>(300, 2000)(random), '9');
    QString text;
    const int count = std::uniform_int_distribution<int>(1, 4)(random);
    for (int i = 0; i < count; ++i)
        text += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
    return text;
}

bool showsNotANumber(const QString& text)
{
    const QString t = text.toLower();
    return t.contains("inf") || t.contains("nan");
}

} // namespace

class Monkey : public WindowTest {
protected:
    std::map<QString, int> visits_;
    template <class T> T* pick(const QList<T*>& list, std::mt19937& random)
    {
        return list.isEmpty() ? nullptr : list[std::uniform_int_distribution<qsizetype>(0, list.size() - 1)(random)];
    }

    QWidget* visibleWindow() const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !w->objectName().isEmpty())
                return w;
        return nullptr;
    }

    void act(std::mt19937& random)
    {
        QWidget* window = visibleWindow();
        ASSERT_NE(window, nullptr);
        current_ = window;
        ++visits_[window->objectName()];
        const int what = std::uniform_int_distribution<int>(0, 99)(random);
        const bool inMenu = window->objectName() == "dqjs";

        if (inMenu) {
            // Mostly open a calculator; now and then end the program and start again.
            if (what < 2) {
                QTest::mouseClick(find(window, "END"), Qt::LeftButton);
                EXPECT_EQ(ended_, 1);
                restart();
                return;
            }
            const char* buttons[] = {"fh", "zd", "fl", "xc"};
            QTest::mouseClick(find(window, buttons[what % 4]), Qt::LeftButton);
            return;
        }
        if (what < 3) { // leave through the title bar
            window->close();
            return;
        }
        if (what < 40) { // type or paste into a field
            QList<QWidget*> fields;
            for (QWidget* w : window->findChildren<QWidget*>())
                if (!w->objectName().isEmpty() && w->isVisibleTo(window) &&
                    (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QPlainTextEdit*>(w)))
                    fields << w;
            QWidget* field = pick(fields, random);
            if (!field)
                return;
            QWidget* target = field;
            if (auto* box = qobject_cast<QComboBox*>(field))
                target = box->lineEdit();
            const QString text = randomText(random);
            if (auto* e = qobject_cast<QLineEdit*>(target)) {
                if (what % 3 == 0)
                    e->clear();
                const bool keyboard = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 31 && c.unicode() < 127; });
                if (text.size() > 40 || !keyboard)
                    e->insert(text); // pasted, or through the input method
                else
                    QTest::keyClicks(e, text);
            } else if (auto* m = qobject_cast<QPlainTextEdit*>(target)) {
                m->insertPlainText(text);
            }
            return;
        }
        if (what < 45) { // double-click a field
            QWidget* field = pick(window->findChildren<QLineEdit*>(), random);
            if (field && field->isVisibleTo(window))
                QTest::mouseDClick(field, Qt::LeftButton);
            return;
        }
        if (what < 50) { // pick an item of a drop-down list
            auto* box = pick(window->findChildren<QComboBox*>(), random);
            if (box)
                box->setCurrentIndex(std::uniform_int_distribution<int>(0, box->count() - 1)(random));
            return;
        }
        // Click something clickable: buttons, options and labels.
        QList<QWidget*> clickable;
        for (QWidget* w : window->findChildren<QWidget*>())
            if (!w->objectName().isEmpty() && w->isVisibleTo(window) && (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)))
                clickable << w;
        // The way back is taken less often than the rest, so that a visit lasts.
        QWidget* target = pick(clickable, random);
        const QString name = target ? target->objectName() : QString();
        if (!target || ((name == "END" || name == "Command2") && what % 5 != 0))
            return;
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() / 2, target->height() / 2));
    }

    void checkInvariants(int step)
    {
        ASSERT_EQ(visibleWindows().size(), 1) << "after action " << step << ": " << visibleWindows().join(",").toStdString();
        ASSERT_EQ(QApplication::activeModalWidget(), nullptr) << "after action " << step;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            for (QLineEdit* e : top->findChildren<QLineEdit*>())
                ASSERT_FALSE(showsNotANumber(e->text())) << top->objectName().toStdString() << " "
                                                          << e->objectName().toStdString() << " after action " << step;
            for (QPlainTextEdit* m : top->findChildren<QPlainTextEdit*>())
                ASSERT_FALSE(showsNotANumber(m->toPlainText())) << m->objectName().toStdString() << " after action " << step;
        }
    }
};

TEST_F(Monkey, ThousandsOfRandomActionsKeepTheProgramSound)
{
    for (const unsigned seed : {20261208u, 7u, 4242u}) {
        restart();
        std::mt19937 random(seed);
        for (int step = 0; step < 5000; ++step) {
            act(random);
            checkInvariants(step);
            if (HasFatalFailure()) {
                ADD_FAILURE() << "seed " << seed;
                return;
            }
        }
    }
    // Every calculator got a fair share of the actions.
    for (const char* name : {"fhjs", "fljs", "zdjs", "XCJS"})
        EXPECT_GT(visits_[name], 1000) << name;
}
