#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>

#include "support/TestSupport.h"
#include "toolkit/Appearance.h"
#include "toolkit/ChoiceWheel.h"
#include "toolkit/KeySelector.h"
#include "toolkit/Clock.h"
#include "toolkit/MainQueue.h"
#include "toolkit/SearchBar.h"

using namespace quillon;

namespace {

TEST(KeySelectorTest, ValueChangedOnlyWhenTheIndexChanges) {
    KeySelector selector({"Title", "Year", "Genre"});
    selector.show();
    EXPECT_EQ(selector.selectedIndex(), 0);
    QSignalSpy changed(&selector, &KeySelector::valueChanged);

    selector.setSelectedIndex(0);
    EXPECT_EQ(changed.count(), 0);
    selector.setSelectedIndex(2);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 2);

    // A user's click on another segment reports it; a click on the selected one does not.
    QList<QAbstractButton*> buttons = selector.findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 3);
    QTest::mouseClick(buttons.at(1), Qt::LeftButton);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(0).toInt(), 1);
    EXPECT_EQ(selector.selectedIndex(), 1);
    QTest::mouseClick(buttons.at(1), Qt::LeftButton);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(buttons.at(1)->isChecked());
    EXPECT_FALSE(buttons.at(2)->isChecked());
}

// Work runs after the current event in scheduling order, delayed work after its delay; work
// whose context was destroyed is dropped.
TEST(MainQueueTest, RunsLaterInSchedulingOrderWhileItsContextLives) {
    QStringList order;
    Clock clock;
    clock.runAfter(0.05, [&] { order << "late1"; }, nullptr);
    mainQueue::async([&] { order << "a"; });
    clock.runAfter(0.05, [&] { order << "late2"; }, nullptr);
    mainQueue::async([&] { order << "b"; });
    QObject context;
    mainQueue::async([&] { order << "c"; }, &context);
    clock.runAfter(0, [&] { order << "d"; }, nullptr);
    auto* gone = new QObject;
    mainQueue::async([&] { order << "dropped"; }, gone);
    clock.runAfter(0.02, [&] { order << "dropped"; }, gone);
    delete gone;
    EXPECT_TRUE(order.isEmpty()) << "nothing runs before the current event ends";
    test::pumpEvents();
    EXPECT_EQ(order, (QStringList{"a", "b", "c", "d"}));
    test::pumpEvents(150);
    EXPECT_EQ(order, (QStringList{"a", "b", "c", "d", "late1", "late2"}));
}

TEST(SearchBarTest, ReportsEveryChangeAndDeactivates) {
    SearchBar bar;
    bar.show();
    QSignalSpy changed(&bar, &QLineEdit::textChanged);
    QTest::keyClicks(&bar, "ab");
    EXPECT_EQ(changed.count(), 2);
    bar.setFocus();
    bar.deactivate();
    EXPECT_TRUE(bar.text().isEmpty());
    EXPECT_FALSE(bar.hasFocus());
    ASSERT_EQ(changed.count(), 3);
    EXPECT_EQ(changed.last().at(0).toString(), "");
}

TEST(ChoiceWheelTest, PickingPutsTheChoiceIntoTheText) {
    ChoiceWheel wheel;
    wheel.setChoices({"Drama", "Comedy", "Horror"});
    wheel.show();
    QSignalSpy picked(&wheel, &ChoiceWheel::choicePicked);
    QSignalSpy edited(&wheel, &QLineEdit::textEdited);
    QTest::mouseClick(&wheel, Qt::LeftButton);
    EXPECT_TRUE(wheel.isWheelOpen());
    ASSERT_NE(wheel.wheel(), nullptr);
    wheel.pick(1);
    EXPECT_FALSE(wheel.isWheelOpen());
    EXPECT_EQ(wheel.text(), "Comedy");
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.at(0).at(0).toString(), "Comedy");
    ASSERT_EQ(edited.count(), 1);
}

TEST(AppearanceTest, DarkWhenTheWindowIsDarkerThanTheText) {
    const QPalette saved = QApplication::palette();
    for (const bool dark : {true, false}) {
        QPalette palette = saved;
        palette.setColor(QPalette::Window, dark ? QColor(30, 30, 30) : QColor(240, 240, 240));
        palette.setColor(QPalette::Text, dark ? Qt::white : Qt::black);
        QApplication::setPalette(palette);
        EXPECT_EQ(appearance::isDarkAppearance(), dark);
    }
    QApplication::setPalette(saved);
}

}  // namespace
