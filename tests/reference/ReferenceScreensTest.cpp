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
#include "store/SelectionState.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"
#include "toolkit/UndoNotice.h"

using namespace quillon;

namespace {

// The reference-list menu in a window of its own, as the main menu would open it.
class ReferenceScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerReferenceSegues();
        menu = new ReferenceListViewController;
        nav = std::make_unique<NavigationController>(menu);
        nav->resize(400, 700);
        nav->show();
        QApplication::setActiveWindow(nav.get());
        test::pumpEvents();
    }
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) delete alert;
        nav.reset();
        test::flushDeletes();
    }

    ManagedObjectContext& context() { return fixture.context(); }
    QPushButton* buttonFor(const ReferenceMember& member) {
        return &member == &kGenreMember ? menu->GenreButton : menu->RatingButton;
    }
    ViewController* top() { return nav->topViewController(); }

    ReferenceListTableViewController* openList(QPushButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        test::pumpEvents();  // the list fetches right after it loads
        return qobject_cast<ReferenceListTableViewController*>(top());
    }
    QStringList shown(ReferenceListTableViewController* list) {
        return test::shownTexts(list->tableView()->model());
    }
    void tapRow(ReferenceListTableViewController* list, int row) {
        TableView* table = list->tableView();
        const QRect rect = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    }
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
        EXPECT_EQ(alerts[0]->actionTitles(), QStringList{"OK"});
        alerts[0]->trigger("OK");
        return text;
    }

    test::AppFixture fixture;
    ReferenceListViewController* menu = nullptr;
    std::unique_ptr<NavigationController> nav;
};

TEST_F(ReferenceScreensTest, TheMenuOpensBothListsWithTheirTitlesAndLooks) {
    EXPECT_EQ(menu->title(), "Reference Lists");
    for (QPushButton* button : {menu->GenreButton, menu->RatingButton}) {
        EXPECT_TRUE(button->styleSheet().contains("border-radius: 10px"));
        EXPECT_TRUE(button->styleSheet().contains("2px solid black"));
    }
    test::addEntries(context(), kRatingMember, {"R", "G"});

    ReferenceListTableViewController* genres = openList(menu->GenreButton);
    ASSERT_NE(genres, nullptr);
    EXPECT_NE(qobject_cast<GenreReferenceListTableViewController*>(genres), nullptr);
    EXPECT_EQ(genres->title(), "Genre List");
    EXPECT_EQ(genres->searchBar()->placeholderText(), "Search by Genre");
    EXPECT_TRUE(shown(genres).isEmpty()) << "an empty list shows no rows";
    EXPECT_FALSE(genres->DarkMode);

    QTest::mouseClick(nav->backButton(), Qt::LeftButton);
    ReferenceListTableViewController* ratings = openList(menu->RatingButton);
    ASSERT_NE(qobject_cast<RatingReferenceListTableViewController*>(ratings), nullptr);
    EXPECT_EQ(ratings->title(), "Rating List");
    EXPECT_EQ(ratings->searchBar()->placeholderText(), "Search by Rating");
    EXPECT_EQ(shown(ratings), (QStringList{"G", "R"}));
}

TEST_F(ReferenceScreensTest, TheListSortsBothWaysAndDeletesWhileSearching) {
    test::addEntries(context(), kGenreMember, {"Drama", "Action", "Comedy"});
    ReferenceListTableViewController* list = openList(menu->GenreButton);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(shown(list), (QStringList{"Action", "Comedy", "Drama"}));
    QTest::mouseClick(list->SortButton(), Qt::LeftButton);
    EXPECT_EQ(shown(list), (QStringList{"Drama", "Comedy", "Action"}));
    QTest::mouseClick(list->SortButton(), Qt::LeftButton);
    EXPECT_EQ(shown(list), (QStringList{"Action", "Comedy", "Drama"}));

    QTest::keyClicks(list->searchBar(), "O");
    ASSERT_EQ(shown(list), (QStringList{"Action", "Comedy"}));
    TableView* table = list->tableView();
    table->setCurrentIndex(table->model()->index(1, 0));
    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(shown(list), QStringList{"Action"});
    EXPECT_FALSE(context().hasChanges()) << "the delete is saved at once";
    EXPECT_EQ(test::storedTexts(context(), kGenreMember), (QStringList{"Drama", "Action"}));
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty()) << "no confirmation";
}

// Both lists: a deleted entry leaves both arrays, and the undo key brings it back.
TEST_F(ReferenceScreensTest, DeletedEntriesStayGoneUntilTheUndoKeyBringsThemBack) {
    for (const ReferenceMember* member : {&kGenreMember, &kRatingMember}) {
        SCOPED_TRACE(member->listTitle);
        test::addEntries(context(), *member, {"Drama", "Action", "Comedy"});
        ReferenceListTableViewController* list = openList(buttonFor(*member));
        ASSERT_NE(list, nullptr);
        QTest::keyClicks(list->searchBar(), "O");
        ASSERT_EQ(shown(list), (QStringList{"Action", "Comedy"}));
        TableView* table = list->tableView();
        table->setCurrentIndex(table->model()->index(1, 0));
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Backspace);
        EXPECT_EQ(shown(list), (QStringList{"Action", "Comedy"})) << "Backspace never deletes";
        QTest::keyClick(table, Qt::Key_Delete);
        EXPECT_EQ(shown(list), QStringList{"Action"});
        EXPECT_FALSE(context().hasChanges()) << "the delete is saved at once";
        EXPECT_EQ(list->undoNotice()->text(), "Deleted \u201CComedy\u201D");
        EXPECT_TRUE(list->undoNotice()->isVisible());
        EXPECT_TRUE(AlertController::presentedAlerts().isEmpty()) << "no confirmation";

        list->searchBar()->clear();
        EXPECT_EQ(shown(list), (QStringList{"Action", "Drama"}));
        QTest::keyClicks(list->searchBar(), "c");
        EXPECT_EQ(shown(list), QStringList{"Action"});

        QTest::keyClick(list->searchBar(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(list->searchBar()->text(), "c");
        EXPECT_EQ(shown(list), (QStringList{"Action", "Comedy"}));
        EXPECT_EQ(table->currentIndex().row(), 1);
        EXPECT_FALSE(list->undoNotice()->isVisible());
        EXPECT_FALSE(context().hasChanges());
        EXPECT_EQ(test::storedTexts(context(), *member),
                  (QStringList{"Drama", "Action", "Comedy"}));
        QTest::mouseClick(nav->backButton(), Qt::LeftButton);
    }
}

TEST_F(ReferenceScreensTest, ARefusedDeleteOrUndoIsShownAndTakenBack) {
    for (const ReferenceMember* member : {&kGenreMember, &kRatingMember}) {
        SCOPED_TRACE(member->listTitle);
        test::addEntries(context(), *member, {"G", "PG"});
        ReferenceListTableViewController* list = openList(buttonFor(*member));
        ASSERT_NE(list, nullptr);
        test::refuseWrites(fixture.dataDir(), member->entity, "DELETE");
        list->tableView()->requestDelete(0);
        EXPECT_EQ(dismissAlert(),
                  "Unresolved error / Unresolved error The changes could not be saved, "
                  "{code = 1811, reason = refused by test}");
        EXPECT_EQ(shown(list), (QStringList{"G", "PG"})) << "the row is back";
        EXPECT_FALSE(list->undoNotice()->isVisible());
        member->insertInto(context())->setText(member->attribute, "R");
        EXPECT_TRUE(fixture.app().saveContext()) << "the refused delete blocks no later save";
        test::allowWrites(fixture.dataDir());

        list->tableView()->requestDelete(0);
        test::refuseWrites(fixture.dataDir(), member->entity, "INSERT");
        EXPECT_TRUE(list->undoDelete());
        EXPECT_TRUE(dismissAlert().contains("refused by test"));
        EXPECT_EQ(shown(list), QStringList{"PG"});
        EXPECT_FALSE(context().hasChanges());
        test::allowWrites(fixture.dataDir());
        EXPECT_TRUE(list->undoDelete()) << "the refused undo can be tried again";
        EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
        list->fetchList();
        EXPECT_EQ(shown(list), (QStringList{"G", "PG", "R"}));
        EXPECT_EQ(test::storedTexts(context(), *member), (QStringList{"G", "PG", "R"}));
        QTest::mouseClick(nav->backButton(), Qt::LeftButton);
    }
}

TEST_F(ReferenceScreensTest, TheAddScreenRefusesBadInputAndReturnsToAFreshList) {
    test::addEntries(context(), kGenreMember, {"Drama"});
    ReferenceListTableViewController* list = openList(menu->GenreButton);
    QTest::mouseClick(list->AddButton(), Qt::LeftButton);
    auto* add = qobject_cast<AddGenreViewController*>(top());
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->title(), "Add Genre");
    QLineEdit* field = add->findChild<QLineEdit*>("GenreTextField");
    ASSERT_EQ(field, add->textField());
    EXPECT_TRUE(field->hasFocus());
    EXPECT_TRUE(field->styleSheet().contains("border-radius: 5px"));
    QTest::mouseClick(add, Qt::LeftButton, {}, QPoint(200, 500));
    EXPECT_FALSE(field->hasFocus()) << "a tap on the screen ends editing";

    QTest::keyClicks(field, "   ");
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    EXPECT_EQ(dismissAlert(), "Record not Saved! / Genre not Entered");
    retype(field, " Drama");
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    EXPECT_EQ(dismissAlert(), "Record not Saved! / Duplicates not allowed");
    EXPECT_EQ(top(), add);
    EXPECT_EQ(field->text(), " Drama") << "the input stays";

    retype(field, "Film Noir ");
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
    EXPECT_EQ(top(), list);
    EXPECT_EQ(shown(list), (QStringList{"Drama", "Film Noir"}));
}

TEST_F(ReferenceScreensTest, AFailedSaveIsShownAndTheScreenKeepsTheInput) {
    ReferenceListTableViewController* list = openList(menu->RatingButton);
    QTest::mouseClick(list->AddButton(), Qt::LeftButton);
    auto* add = qobject_cast<AddRatingViewController*>(top());
    ASSERT_NE(add, nullptr);
    QLineEdit* field = add->findChild<QLineEdit*>("RatingTextField");
    ASSERT_NE(field, nullptr);
    test::refuseWrites(fixture.dataDir(), kRatingMember.entity, "INSERT");
    QTest::keyClicks(field, "NC-17");
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    const QString alert = dismissAlert();
    EXPECT_TRUE(alert.startsWith("Record not Saved! / ")) << alert.toStdString();
    EXPECT_TRUE(alert.contains("refused by test")) << alert.toStdString();
    EXPECT_EQ(top(), add);
    EXPECT_EQ(field->text(), "NC-17");

    test::allowWrites(fixture.dataDir());
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    EXPECT_EQ(top(), list);
    EXPECT_EQ(shown(list), QStringList{"NC-17"});
}

TEST_F(ReferenceScreensTest, TappingAnEntryEditsItAndTheListShowsTheChange) {
    test::addEntries(context(), kGenreMember, {"Drama", "Western"});
    ReferenceListTableViewController* list = openList(menu->GenreButton);
    QTest::keyClicks(list->searchBar(), "wes");
    tapRow(list, 0);
    auto* edit = qobject_cast<EditGenreViewController*>(top());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->title(), "Edit Genre");
    EXPECT_EQ(SelectionState::shared().SelectedListGenre, "Western");
    EXPECT_EQ(SelectionState::shared().CallingScreen, "Master");
    EXPECT_EQ(edit->detailItem(), list->query().ListOfEntries[1]);
    QLineEdit* field = edit->textField();
    EXPECT_EQ(field->objectName(), "GenreTextField");
    EXPECT_EQ(field->text(), "Western");
    EXPECT_TRUE(field->hasFocus());
    EXPECT_TRUE(list->searchBar()->text().isEmpty()) << "leaving the list ends the search";

    retype(field, "  Spaghetti Western ");
    QTest::mouseClick(edit->saveButton(), Qt::LeftButton);
    EXPECT_EQ(top(), list);
    EXPECT_EQ(shown(list), (QStringList{"Drama", "Spaghetti Western"}));

    tapRow(list, 0);
    edit = qobject_cast<EditGenreViewController*>(top());
    ASSERT_NE(edit, nullptr);
    edit->textField()->clear();
    QTest::mouseClick(edit->saveButton(), Qt::LeftButton);
    EXPECT_EQ(top(), list);
    EXPECT_EQ(shown(list), (QStringList{"", "Spaghetti Western"}));
    EXPECT_EQ(test::storedTexts(context(), kGenreMember), (QStringList{"", "Spaghetti Western"}));
}

}  // namespace
