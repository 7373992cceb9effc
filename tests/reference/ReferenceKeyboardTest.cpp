#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "ReferenceTestUtil.h"
#include "reference/ReferenceListViewController.h"
#include "reference/ReferenceEntryViewControllers.h"
#include "reference/ReferenceListTableViewController.h"
#include "reference/ReferenceSegues.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

// The genre list driven from the keyboard, in an active window of its own.
class ReferenceKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerReferenceSegues(fixture.storyboard());
        test::addEntries(fixture.context(), kGenreMember, {"Drama", "Western"});
        menu = new ReferenceListViewController;
        nav = std::make_unique<NavigationController>(menu);
        nav->setStoryboard(&fixture.storyboard());
        nav->resize(400, 700);
        nav->show();
        QApplication::setActiveWindow(nav.get());
        if (!QTest::qWaitForWindowActive(nav.get())) GTEST_SKIP() << "no active window";
        QTest::mouseClick(menu->GenreButton, Qt::LeftButton);
        test::pumpEvents();
        list = qobject_cast<ReferenceListTableViewController*>(nav->topViewController());
        ASSERT_TRUE(list);
    }
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) delete alert;
        nav.reset();
        test::flushDeletes();
    }
    QStringList shown() { return test::shownTexts(list->tableView()->model()); }
    QString dismissAlert() {
        const auto alerts = AlertController::presentedAlerts();
        if (alerts.size() != 1) return QString("%1 alerts").arg(alerts.size());
        const QString text = alerts[0]->title() + " / " + alerts[0]->message();
        alerts[0]->trigger("OK");
        return text;
    }

    test::AppFixture fixture;
    ReferenceListViewController* menu = nullptr;
    std::unique_ptr<NavigationController> nav;
    ReferenceListTableViewController* list = nullptr;
};

TEST_F(ReferenceKeyboardTest, EnterSavesAnEntryScreenAsItsSaveButtonDoes) {
    QTest::mouseClick(list->AddButton(), Qt::LeftButton);
    auto* add = qobject_cast<AddGenreViewController*>(nav->topViewController());
    ASSERT_TRUE(add && add->textField()->hasFocus());
    QTest::keyClick(add->textField(), Qt::Key_Return);
    EXPECT_EQ(dismissAlert(), "Record not Saved! / Genre not Entered");
    QTest::keyClicks(add->textField(), "Drama");
    add->saveButton()->setFocus();
    QTest::keyClick(add->saveButton(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dismissAlert(), "Record not Saved! / Duplicates not allowed");
    EXPECT_EQ(nav->topViewController(), add);

    add->textField()->setFocus();
    QTest::keyClicks(add->textField(), " Noir");
    QTest::keyClick(add->textField(), Qt::Key_Return);
    EXPECT_EQ(nav->topViewController(), list);
    EXPECT_EQ(shown(), (QStringList{"Drama", "Drama Noir", "Western"}));
}

TEST_F(ReferenceKeyboardTest, EscapeClearsTheSearchThenGoesBackAndTheSortButtonTellsItsWay) {
    QToolButton* sort = list->SortButton();
    EXPECT_EQ(sort->accessibleName(), "Sorted ascending \u2191");
    QTest::mouseClick(sort, Qt::LeftButton);
    EXPECT_EQ(sort->accessibleName(), "Sorted descending \u2193");
    EXPECT_TRUE(sort->toolTip().startsWith("Sorted descending \u2193"));

    QTest::keyClicks(list->searchBar(), "wes");
    ASSERT_EQ(shown(), QStringList{"Western"});
    QTest::keyClick(list->searchBar(), Qt::Key_Escape);
    EXPECT_EQ(shown(), (QStringList{"Western", "Drama"}));
    EXPECT_EQ(nav->topViewController(), list);
    QTest::keyClick(list->searchBar(), Qt::Key_Escape);
    EXPECT_EQ(nav->topViewController(), menu);
}

}  // namespace
