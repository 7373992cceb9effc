#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "ReferenceTestUtil.h"
#include "reference/ReferenceEntryViewControllers.h"
#include "reference/ReferenceListTableViewController.h"
#include "reference/ReferenceListViewController.h"
#include "reference/ReferenceSegues.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"

using namespace quillon;

namespace {

// The reference-list menu in an active window of its own, as the main menu would open it.
class ReferenceScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerReferenceSegues(fixture.storyboard());
        menu = new ReferenceListViewController;
        nav = std::make_unique<NavigationController>(menu);
        nav->setStoryboard(&fixture.storyboard());
        nav->resize(400, 700);
        nav->show();
        QApplication::setActiveWindow(nav.get());
        if (!QTest::qWaitForWindowActive(nav.get())) GTEST_SKIP() << "no active window";
    }
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) delete alert;
        nav.reset();
        test::pumpEvents();
    }

    ManagedObjectContext& context() { return fixture.context(); }
    ViewController* top() { return nav->topViewController(); }
    // Stores the entries, then opens the member's list from the menu.
    ReferenceListTableViewController* openList(const ReferenceMember& member,
                                               const QStringList& entries = {}) {
        test::addEntries(context(), member, entries);
        QTest::mouseClick(&member == &kGenreMember ? menu->GenreButton : menu->RatingButton,
                          Qt::LeftButton);
        test::pumpEvents();  // the list fetches right after it loads
        return list = qobject_cast<ReferenceListTableViewController*>(top());
    }
    QStringList shown() { return test::shownTexts(list->tableView()->model()); }
    // Replaces the field's text by typing, as a user would.
    void retype(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    // The one alert on screen, pressed away after reading it: "title / message".
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

TEST_F(ReferenceScreensTest, TheSortButtonTellsItsWayAndEscapeClearsTheSearchThenGoesBack) {
    ASSERT_TRUE(openList(kGenreMember, {"Drama", "Western", "Action"}));
    QToolButton* sort = list->sortButton();
    for (const bool ascending : {true, false, true}) {
        EXPECT_EQ(sort->accessibleDescription(),
                  ascending ? "Sorted ascending" : "Sorted descending");
        EXPECT_EQ(shown().first(), ascending ? "Action" : "Western");
        QTest::mouseClick(sort, Qt::LeftButton);
    }

    QTest::keyClicks(list->searchBar(), "wes");
    ASSERT_EQ(shown(), QStringList{"Western"});
    QTest::keyClick(list->searchBar(), Qt::Key_Escape);
    EXPECT_EQ(shown(), (QStringList{"Western", "Drama", "Action"}));
    EXPECT_EQ(top(), list);
    QTest::keyClick(list->searchBar(), Qt::Key_Escape);
    EXPECT_EQ(top(), menu);
}

// The Save button, Return in the field and Enter on the button all save.
TEST_F(ReferenceScreensTest, TheAddScreenRefusesBlankAndDuplicateTextsAndReturnsToAFreshList) {
    ASSERT_TRUE(openList(kGenreMember, {"Drama"}));
    QTest::mouseClick(list->AddButton(), Qt::LeftButton);
    auto* add = qobject_cast<AddGenreViewController*>(top());
    ASSERT_TRUE(add && add->textField()->hasFocus());
    QLineEdit* field = add->textField();
    QTest::mouseClick(add, Qt::LeftButton, {}, QPoint(200, 500));
    EXPECT_FALSE(field->hasFocus()) << "a tap on the screen ends editing";

    QTest::keyClicks(field, "   ");
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    EXPECT_EQ(dismissAlert(), "Record not Saved! / Genre not Entered");
    retype(field, " Drama");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(dismissAlert(), "Record not Saved! / Duplicates not allowed");
    EXPECT_EQ(top(), add);
    EXPECT_EQ(field->text(), " Drama") << "the input stays";

    retype(field, "Film Noir ");
    add->saveButton()->setFocus();
    QTest::keyClick(add->saveButton(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(top(), list);
    EXPECT_EQ(shown(), (QStringList{"Drama", "Film Noir"}));
}

TEST_F(ReferenceScreensTest, AFailedSaveIsShownAndTheScreenKeepsTheInput) {
    ASSERT_TRUE(openList(kRatingMember));
    QTest::mouseClick(list->AddButton(), Qt::LeftButton);
    auto* add = qobject_cast<AddRatingViewController*>(top());
    ASSERT_NE(add, nullptr);
    test::refuseWrites(fixture.dataDir(), kRatingMember.entity, "INSERT");
    QTest::keyClicks(add->textField(), "NC-17");
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    const QString alert = dismissAlert();
    EXPECT_TRUE(alert.startsWith("Record not Saved! / ") && alert.contains(test::kRefusedByTest))
        << alert.toStdString();
    EXPECT_EQ(top(), add);
    EXPECT_EQ(add->textField()->text(), "NC-17");

    test::allowWrites(fixture.dataDir());
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    EXPECT_EQ(top(), list);
    EXPECT_EQ(shown(), QStringList{"NC-17"});
}

TEST_F(ReferenceScreensTest, TappingAnEntryWhileSearchingEditsItAndTheListShowsTheChange) {
    ASSERT_TRUE(openList(kGenreMember, {"Drama", "Western"}));
    QTest::keyClicks(list->searchBar(), "wes");
    TableView* table = list->tableView();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 0)).center());
    auto* edit = qobject_cast<EditGenreViewController*>(top());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->textField()->text(), "Western");
    EXPECT_TRUE(list->searchBar()->text().isEmpty()) << "leaving the list ends the search";

    retype(edit->textField(), "  Spaghetti Western ");
    QTest::mouseClick(edit->saveButton(), Qt::LeftButton);
    EXPECT_EQ(top(), list);
    EXPECT_EQ(shown(), (QStringList{"Drama", "Spaghetti Western"}));
}

// A text far longer than a line entry's usual limit passes whole through the edit screen,
// untouched, and through the add screen, pasted; both lists.
TEST_F(ReferenceScreensTest, LongTextsPassWholeThroughTheEntryScreens) {
    const QString edited = "Edited " + QString(40000, QLatin1Char('e')) + "\u00e9\U0001F3AC.";
    const QString added = "Added " + QString(40000, QLatin1Char('a')) + "\u00e0\U0001F3AC.";
    for (const ReferenceMember* member : {&kGenreMember, &kRatingMember}) {
        SCOPED_TRACE(member->listTitle);
        ASSERT_TRUE(openList(*member, {edited}));
        TableView* table = list->tableView();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(0, 0)).center());
        auto* edit = dynamic_cast<EditReferenceEntryViewController*>(top());
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->textField()->text() == edited);
        QTest::mouseClick(edit->saveButton(), Qt::LeftButton);
        ASSERT_EQ(top(), list);
        QTest::mouseClick(list->AddButton(), Qt::LeftButton);
        auto* add = dynamic_cast<AddReferenceEntryViewController*>(top());
        ASSERT_NE(add, nullptr);
        add->textField()->insert(added);
        QTest::mouseClick(add->saveButton(), Qt::LeftButton);
        ASSERT_EQ(top(), list);
        nav->popToViewController(menu);
    }
    nav.reset();
    fixture.restart();
    for (const ReferenceMember* member : {&kGenreMember, &kRatingMember})
        EXPECT_TRUE(test::storedTexts(context(), *member) == (QStringList{edited, added}));
}

}  // namespace
