#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
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
    EXPECT_EQ(selector.count(), 3);
    EXPECT_EQ(selector.itemText(1), "Year");
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

TEST(MainQueueTest, RunsLaterInSchedulingOrder) {
    QStringList order;
    Clock clock;
    clock.runAfter(0.05, [&] { order << "late1"; }, nullptr);
    mainQueue::async([&] { order << "a"; });
    clock.runAfter(0.05, [&] { order << "late2"; }, nullptr);
    mainQueue::async([&] { order << "b"; });
    QObject context;
    mainQueue::async([&] { order << "c"; }, &context);
    clock.runAfter(0, [&] { order << "d"; }, nullptr);
    EXPECT_TRUE(order.isEmpty()) << "nothing runs before the current event ends";
    test::pumpEvents();
    EXPECT_EQ(order, (QStringList{"a", "b", "c", "d"}));
    test::pumpEvents(150);
    EXPECT_EQ(order, (QStringList{"a", "b", "c", "d", "late1", "late2"}));
}

TEST(MainQueueTest, WorkIsDroppedWhenItsContextIsDestroyed) {
    int ran = 0;
    auto* context = new QObject;
    mainQueue::async([&] { ++ran; }, context);
    Clock().runAfter(0.02, [&] { ++ran; }, context);
    delete context;
    test::pumpEvents(80);
    EXPECT_EQ(ran, 0);
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
    EXPECT_EQ(wheel.wheel()->count(), 3);
    wheel.pick(1);
    EXPECT_FALSE(wheel.isWheelOpen());
    EXPECT_EQ(wheel.text(), "Comedy");
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.at(0).at(0).toString(), "Comedy");
    ASSERT_EQ(edited.count(), 1);
}

TEST(AppearanceTest, ColoursAndDarkness) {
    const QColor row = appearance::listRowBackground();
    EXPECT_NEAR(row.hsvHueF(), 0.5, 0.01);
    EXPECT_NEAR(row.hsvSaturationF(), 0.06, 0.01);
    EXPECT_NEAR(row.valueF(), 0.96, 0.01);
    EXPECT_EQ(row.alpha(), 255);

    const QPalette saved = QApplication::palette();
    QPalette dark = saved;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    EXPECT_TRUE(appearance::isDarkAppearance());
    QPalette light = saved;
    light.setColor(QPalette::Window, QColor(240, 240, 240));
    light.setColor(QPalette::WindowText, Qt::black);
    light.setColor(QPalette::Text, Qt::black);
    QApplication::setPalette(light);
    EXPECT_FALSE(appearance::isDarkAppearance());
    QApplication::setPalette(saved);
}


}  // namespace
