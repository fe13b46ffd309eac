#include "window_test.h"

#include "builder.h"
#include "clock.h"
#include "convert.h"
#include "form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <cmath>

void WindowTest::SetUp() { restart(); }

void WindowTest::restart()
{
    shell_.reset();
    ended_ = 0;
    Shell::Options options;
    options.endProgram = [this] { ++ended_; };
    options.chooseFile = [this](Shell::Choice, QWidget*, const QString& suggested) {
        suggested_ << suggested;
        return chosen_;
    };
    options.dataFolder = dataFolder();
    options.projectsFolder = projectsFolder();
    shell_ = std::make_unique<Shell>(options);
    shell_->start();
    current_ = shell_->window("dqjs");
    activate();
}

void WindowTest::TearDown()
{
    // The program never shows a modal window or a dialog of any kind.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<QDialog*>(w), nullptr) << w->metaObject()->className();
    shell_.reset();
}

QWidget* WindowTest::open(const char* window)
{
    static const std::map<std::string, const char*> buttons = {
        {"fhjs", "fh"}, {"zdjs", "zd"}, {"fljs", "fl"}, {"XCJS", "xc"}};
    QWidget* menu = shell_->window("dqjs");
    QTest::mouseClick(find(menu, buttons.at(window)), Qt::LeftButton);
    current_ = shell_->window(window);
    activate();
    return current_;
}

void WindowTest::exit(QWidget* window)
{
    const char* name = window->objectName() == "fhjs" ? "Command2" : "END";
    QTest::mouseClick(find(window, name), Qt::LeftButton);
    current_ = shell_->window("dqjs");
    activate();
}

void WindowTest::activate()
{
    // Access keys and Enter reach only the active window, as on a desktop.
    QApplication::setActiveWindow(current_);
    EXPECT_TRUE(QTest::qWaitForWindowActive(current_)) << current_->objectName().toStdString();
}

QWidget* WindowTest::find(QWidget* window, const char* name, int index)
{
    for (QWidget* w : window->findChildren<QWidget*>(name)) {
        const QVariant i = w->property("index");
        if (index < 0 || (i.isValid() && i.toInt() == index))
            return w;
    }
    ADD_FAILURE() << "no control " << name << " in " << window->objectName().toStdString();
    return nullptr;
}

void WindowTest::click(const char* name, int index)
{
    QWidget* w = find(name, index);
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
}

void WindowTest::doubleClick(const char* name)
{
    QWidget* w = find(name);
    ASSERT_NE(w, nullptr);
    if (auto* box = qobject_cast<QComboBox*>(w))
        w = box->lineEdit();
    QTest::mouseDClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
}

void WindowTest::erase(const char* name)
{
    QWidget* w = find(name);
    ASSERT_NE(w, nullptr);
    if (auto* box = qobject_cast<QComboBox*>(w))
        w = box->lineEdit();
    w->setFocus();
    if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        m->selectAll();
    else
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Delete);
}

void WindowTest::type(const char* name, const QString& text)
{
    erase(name);
    QWidget* w = find(name);
    if (auto* box = qobject_cast<QComboBox*>(w))
        w = box->lineEdit();
    QTest::keyClicks(w, text);
}

void WindowTest::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(current_->windowHandle(), key, modifiers);
    // A button pressed by its access key shows itself pressed for a moment
    // and clicks when it comes up again.
    if (modifiers & Qt::AltModifier)
        ui::clock::advance(130);
}

QString WindowTest::text(const char* name) const
{
    QWidget* w = find(name);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        return m->toPlainText();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    return {};
}

bool WindowTest::checked(const char* name) const
{
    auto* b = qobject_cast<QAbstractButton*>(find(name));
    return b && b->isChecked();
}

QString WindowTest::notice() const
{
    auto* form = current_->findChild<ui::Form*>(QString(), Qt::FindDirectChildrenOnly);
    return form ? form->failureText() : QString();
}

QString WindowTest::failedField() const
{
    auto* form = current_->findChild<ui::Form*>(QString(), Qt::FindDirectChildrenOnly);
    return form ? form->failedField() : QString();
}

QStringList WindowTest::focusOrder(const char* first, int count) const
{
    QStringList names;
    QWidget* w = find(first);
    while (w && names.size() < count) {
        if (w->focusPolicy() & Qt::TabFocus)
            names << w->objectName();
        w = w->nextInFocusChain();
        if (w == find(first))
            break;
    }
    return names;
}

QStringList WindowTest::visibleWindows() const
{
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            names << w->objectName();
    return names;
}

ui::Form* WindowTest::form() const
{
    return current_->findChild<ui::Form*>(QString(), Qt::FindDirectChildrenOnly);
}

namespace {

// What the engineer types: mostly sensible figures, some with units or
// spaces, now and then nothing, a negative or garbage.
QString randomFigure(std::mt19937& random, const ui::Control& field)
{
    const int k = std::uniform_int_distribution<int>(0, 29)(random);
    if (k == 0)
        return {};
    if (k == 1)
        return "abc";
    if (k == 2)
        return "-" + QString::number(std::uniform_int_distribution<int>(1, 60)(random));
    if (!field.items.empty() && k < 12)
        return QString::fromStdString(field.items[std::uniform_int_distribution<std::size_t>(0, field.items.size() - 1)(random)]);
    const double v = std::uniform_int_distribution<int>(0, 4000)(random) / std::pow(10.0, std::uniform_int_distribution<int>(0, 3)(random));
    QString text = QString::fromStdString(numeric::formatNumber(v));
    if (k == 3)
        text += "kW";
    if (k == 4)
        text = " " + text + " ";
    return text;
}

// A cable row's size is mostly one its catalogue has.
const QString sizes[] = {"1.5", "2.5", "4", "6", "10", "16", "25", "5", "7", "9", "12", "0.75", "1", "95", "185"};

} // namespace

void WindowTest::actAtRandom(std::mt19937& random)
{
    const ui::Table& table = form()->table();
    std::vector<const ui::Control*> fields, clickable;
    for (const ui::Control& c : table.controls) {
        if ((c.kind == ui::Kind::Field || c.kind == ui::Kind::Combo) && c.quantity.role != ui::Role::None)
            fields.push_back(&c);
        const bool exit = c.caption == "退出&E";
        if ((c.kind == ui::Kind::Button && !exit) || c.kind == ui::Kind::Option)
            clickable.push_back(&c);
        if (c.kind == ui::Kind::Label && form()->control(c.name, c.index)->focusPolicy() != Qt::NoFocus)
            clickable.push_back(&c);
    }
    if (std::uniform_int_distribution<int>(0, 1)(random) == 0) {
        const ui::Control* c = fields[std::uniform_int_distribution<std::size_t>(0, fields.size() - 1)(random)];
        QString text = randomFigure(random, *c);
        if (table.window.name == "XCJS" && c->name.back() == '1')
            text = sizes[std::uniform_int_distribution<std::size_t>(0, std::size(sizes) - 1)(random)];
        QWidget* w = form()->control(c->name);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setText(text);
        else if (auto* box = qobject_cast<QComboBox*>(w))
            box->setEditText(text);
    } else {
        const ui::Control* c = clickable[std::uniform_int_distribution<std::size_t>(0, clickable.size() - 1)(random)];
        QWidget* w = form()->control(c->name, c->index);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
    }
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    ui::installTranslation();
    // Time is the tests' own: it moves when a test says so.
    ui::clock::stopForTests();
    // A name no control has fails at once.
    ui::setStrictNames(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
