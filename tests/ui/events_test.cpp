// The hooks a window's controls hang on their events, and work put off until
// the windows have drawn what the engineer pressed.

#include "clock.h"
#include "drawn.h"
#include "widgets.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(EventHooks, TheLaterIsAskedFirstAndAConsumedEventGoesNoFurther)
{
    QWidget w;
    std::string asked;
    bool consume = false;
    ui::onEvent(&w, QEvent::User, [&] {
        asked += "first ";
        return false;
    });
    ui::onEvent(&w, QEvent::User, [&] {
        asked += "second ";
        return consume;
    });
    ui::onEvent(&w, QEvent::User + 1, [&] {
        asked += "other ";
        return false;
    });

    QEvent user(QEvent::User);
    QCoreApplication::sendEvent(&w, &user);
    EXPECT_EQ(asked, "second first ");

    asked.clear();
    consume = true;
    QCoreApplication::sendEvent(&w, &user);
    EXPECT_EQ(asked, "second ");
}

TEST(EventHooks, OneAddedWhileTheHooksAreAskedCountsFromTheNextEvent)
{
    QWidget w;
    int added = 0, ran = 0;
    ui::onEvent(&w, QEvent::User, [&] {
        if (added++ == 0)
            ui::onEvent(&w, QEvent::User, [&] {
                ++ran;
                return false;
            });
        return false;
    });
    QEvent user(QEvent::User);
    QCoreApplication::sendEvent(&w, &user);
    EXPECT_EQ(ran, 0);
    QCoreApplication::sendEvent(&w, &user);
    EXPECT_EQ(ran, 1);
}

TEST(EventHooks, AnObjectMadeWhereAHookedOneWasHasNoneOfItsHooks)
{
    int ran = 0;
    for (int i = 0; i < 2; ++i) {
        auto* w = new QWidget;
        if (i == 0)
            ui::onEvent(w, QEvent::User, [&] {
                ++ran;
                return false;
            });
        QEvent user(QEvent::User);
        QCoreApplication::sendEvent(w, &user);
        delete w;
    }
    EXPECT_EQ(ran, 1);
}

// A button in a shown window, clicked as the engineer clicks it.
struct Clicked : ::testing::Test {
    void SetUp() override
    {
        ui::drawn::install();
        window.resize(200, 100);
        button = new QPushButton("计算", &window);
        button->setGeometry(10, 10, 80, 30);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
    }
    QWidget window;
    QPushButton* button = nullptr;
};

TEST_F(Clicked, WorkPutOffRunsOnlyOnceTheClickIsDrawn)
{
    // The button is drawn up before its handler runs; what the handler
    // changes is drawn after it.
    bool handled = false, drawnAfter = false, ran = false, ranDrawn = false;
    QObject::connect(button, &QPushButton::clicked, [&] {
        handled = true;
        window.update();
        ui::drawn::afterInput(&window, 10000, [&] {
            ran = true;
            ranDrawn = drawnAfter;
        });
    });
    ui::onEvent(&window, QEvent::Paint, [&] {
        drawnAfter = drawnAfter || handled;
        return false;
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(ran);
    for (int i = 0; i < 20 && !ran; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(ranDrawn);
}

TEST_F(Clicked, WorkAskedForAfterTheClickWasDrawnRunsWithoutAnotherDrawing)
{
    QTest::mouseClick(button, Qt::LeftButton);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    bool ran = false;
    ui::drawn::afterInput(&window, 10000, [&] { ran = true; });
    for (int i = 0; i < 20 && !ran; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}

} // namespace
