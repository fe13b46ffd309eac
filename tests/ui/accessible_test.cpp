// What screen readers and magnifiers are told of every window: each field
// named by the caption the engineer reads beside it, with its tooltip as its
// description; a press action on a label only where a click on it does
// something; places in the screen's pixels at the scale the program runs at
// (test_accessible_scaled runs these at 1.5); a minimised window still named
// and not shown.

#include "calculators.h"
#include "accessible.h"
#include "builder.h"
#include "form.h"
#include "widgets.h"
#include "window_test.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <functional>

namespace {

bool takesText(ui::Kind kind)
{
    using K = ui::Kind;
    return kind == K::Field || kind == K::MultiField || kind == K::Combo || kind == K::List || kind == K::Choice ||
           kind == K::Grid;
}

// The empty pixels between two places; 0 where they touch or overlap.
int gap(const QRect& a, const QRect& b)
{
    const int apart = std::max(std::max(a.left() - b.right(), b.left() - a.right()),
                               std::max(a.top() - b.bottom(), b.top() - a.bottom()));
    return std::max(0, apart - 1);
}

QRect inWindow(const QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// Where a widget is on the screen, in the screen's own pixels.
QRect onScreen(const QWidget* w, const QRect& inWidget)
{
    const QScreen* screen = w->screen();
    const qreal ratio = screen->devicePixelRatio();
    const QPoint corner = screen->geometry().topLeft();
    return QRect((w->mapToGlobal(inWidget.topLeft()) - corner) * ratio + corner, inWidget.size() * ratio);
}
QRect onScreen(const QWidget* w) { return onScreen(w, w->rect()); }

QAccessibleInterface* spoken(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }

} // namespace

class Accessible : public WindowTest {
protected:
    // Shows each of the program's windows in turn (the menu, the calculators,
    // the project window and a board's schedule) and checks it.
    void forEachWindow(const std::function<void(ui::Form&)>& check)
    {
        std::vector<std::function<void()>> show = {[] {}};
        for (const Calculator& c : calculators())
            show.push_back([this, &c] { shell_->open(c.window); });
        show.push_back([this] { shell_->projectWindow(); });
        show.push_back([this] { shell_->schedule(0); });
        for (const auto& showIt : show) {
            showIt();
            ui::Form* form = shell_->visible();
            ASSERT_NE(form, nullptr);
            SCOPED_TRACE(form->def().name);
            check(*form);
        }
    }
};

TEST_F(Accessible, EveryFieldIsNamedByTheCaptionBesideItAndDescribedByItsTooltip)
{
    forEachWindow([](ui::Form& form) {
        QWidget* window = form.window();
        for (const ui::Control& c : form.table().controls) {
            if (!takesText(c.kind))
                continue;
            QWidget* w = form.control(c.name, c.index);
            ASSERT_NE(w, nullptr) << c.name;
            const QString name = spoken(w)->text(QAccessible::Name);
            EXPECT_FALSE(name.isEmpty()) << c.name;
            EXPECT_NE(name, w->toolTip()) << c.name << " is called by its tooltip";
            // The notes call it the same.
            EXPECT_EQ(form.describe(c.name), name) << c.name;
            if (!w->toolTip().isEmpty()) {
                EXPECT_EQ(spoken(w)->text(QAccessible::Description), w->toolTip()) << c.name;
            }
            if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit()) {
                EXPECT_EQ(spoken(box->lineEdit())->text(QAccessible::Name), name) << c.name;
            }

            // What the engineer reads beside it: a label or a button, without
            // its access key; else what the window's table calls it.
            bool beside = false;
            for (QWidget* caption : window->findChildren<QWidget*>()) {
                QString shown;
                if (auto* l = qobject_cast<QLabel*>(caption); l && !qobject_cast<ui::Note*>(l))
                    shown = l->text();
                else if (auto* b = qobject_cast<QPushButton*>(caption))
                    shown = b->text();
                if (!shown.isEmpty() && caption->isVisibleTo(window) &&
                    gap(inWindow(caption), inWindow(w)) <= ui::px(300))
                    beside = beside || ui::spokenCaption(shown).remove('&') == name;
            }
            EXPECT_TRUE(beside || name.toStdString() == c.spoken) << c.name << " is called " << name.toStdString();
        }
    });
}

TEST_F(Accessible, ACaptionLinksItsFieldAndRenamesItWhenItChanges)
{
    forEachWindow([](ui::Form& form) {
        for (const ui::Control& c : form.table().controls) {
            if (c.names.empty())
                continue;
            QWidget* caption = form.control(c.name, c.index);
            QWidget* field = form.control(c.names);
            ASSERT_NE(field, nullptr) << c.name;
            EXPECT_EQ(form.captionOf(field), caption) << c.name << " names " << c.names;
            if (c.index >= 0)
                continue; // an element of a control array takes its caption from its handlers
            const QString before = form.text(c.name);
            form.setCaption(c.name, QStringLiteral("改后") + before);
            EXPECT_EQ(spoken(field)->text(QAccessible::Name),
                      ui::spokenCaption(QStringLiteral("改后") + before).remove('&'))
                << c.names;
            form.setCaption(c.name, before);
            EXPECT_EQ(spoken(field)->text(QAccessible::Name), form.describe(c.names)) << c.names;
        }
    });
}

TEST_F(Accessible, OnlyALabelThatDoesSomethingOffersAPress)
{
    int clickable = 0;
    forEachWindow([&](ui::Form& form) {
        for (const ui::Control& c : form.table().controls) {
            if (c.kind != ui::Kind::Label)
                continue;
            auto* label = qobject_cast<ui::ClickLabel*>(form.control(c.name, c.index));
            ASSERT_NE(label, nullptr) << c.name;
            QAccessibleInterface* a = spoken(label);
            const QStringList actions = a->actionInterface() ? a->actionInterface()->actionNames() : QStringList();
            // Clickable only where the window's form gave it a click handler.
            if (!label->isClickable()) {
                EXPECT_TRUE(actions.isEmpty()) << c.name << " offers " << actions.join(' ').toStdString();
                EXPECT_EQ(a->role(), QAccessible::StaticText) << c.name;
                continue;
            }
            ++clickable;
            EXPECT_EQ(a->role(), QAccessible::Button) << c.name;
            ASSERT_TRUE(actions.contains(QAccessibleActionInterface::pressAction())) << c.name;
            QSignalSpy clicks(label, &ui::ClickLabel::clicked);
            a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            EXPECT_EQ(clicks.count(), 1) << c.name;
        }
    });
    EXPECT_GT(clickable, 0);
}

TEST_F(Accessible, PlacesAreToldInTheScreensPixels)
{
    // The scale these run at, where one is set, is the scale the places are in.
    if (!qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
        EXPECT_DOUBLE_EQ(win()->screen()->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }
    forEachWindow([](ui::Form& form) {
        QWidget* window = form.window();
        QAccessibleInterface* w = spoken(window);
        EXPECT_EQ(w->rect(), onScreen(window));
        for (const ui::Control& c : form.table().controls) {
            QWidget* control = form.control(c.name, c.index);
            ASSERT_NE(control, nullptr) << c.name;
            if (!control->isVisibleTo(window))
                continue;
            // The program's own interfaces: labels, drop-down lists, lists.
            using K = ui::Kind;
            if (c.kind == K::Label || c.kind == K::Combo || c.kind == K::Choice || c.kind == K::List) {
                EXPECT_EQ(spoken(control)->rect(), onScreen(control)) << c.name;
            }
            if (auto* list = qobject_cast<QListWidget*>(control); list && list->count() > 0) {
                EXPECT_EQ(spoken(control)->child(0)->rect(),
                          onScreen(list->viewport(), list->visualItemRect(list->item(0))))
                    << c.name;
            }
            // A tool's point on the screen finds the control there, whoever
            // tells its place.
            // A window that scrolls shows only part of its controls on a small screen.
            const QPoint middle = onScreen(control).center();
            if (c.parent.empty() && onScreen(window).contains(middle)) {
                QAccessibleInterface* found = w->childAt(middle.x(), middle.y());
                ASSERT_NE(found, nullptr) << c.name;
                auto* there = qobject_cast<QWidget*>(found->object());
                EXPECT_TRUE(there == control || (there && onScreen(there).contains(middle))) << c.name;
            }
        }
    });
}

TEST_F(Accessible, AMinimisedWindowKeepsItsCaptionAndIsNotShown)
{
    forEachWindow([](ui::Form& form) {
        QWidget* window = form.window();
        QAccessibleInterface* w = spoken(window);
        EXPECT_EQ(w->role(), QAccessible::Window);
        EXPECT_FALSE(w->state().invisible);
        window->showMinimized();
        EXPECT_EQ(w->text(QAccessible::Name), window->windowTitle());
        EXPECT_TRUE(w->state().invisible);
        window->showNormal();
        EXPECT_FALSE(w->state().invisible);
        EXPECT_EQ(w->text(QAccessible::Name), window->windowTitle());
    });
}
