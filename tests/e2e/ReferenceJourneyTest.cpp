#include <gtest/gtest.h>

#include <QLineEdit>

#include "Journey.h"
#include "app/FirstLaunch.h"
#include "reference/ReferenceEntryViewControllers.h"
#include "reference/ReferenceListTableViewController.h"
#include "reference/ReferenceListViewController.h"
#include "toolkit/AlertController.h"
#include "toolkit/SearchBar.h"

using namespace quillon;

namespace {

// A user keeps the genre list from the main menu: adds a genre, finds it, renames it and
// deletes it, and finds the seeded list unchanged after a restart.
TEST(ReferenceJourney, AddFindRenameAndDeleteAGenreFromTheMainMenu) {
    test::AppHarness app;
    auto nav = test::showWindow(app);
    auto top = [&] { return nav->topViewController(); };
    auto* lists = test::openFromMenu<ReferenceListViewController>(
        *nav, &MainMenuViewController::ReferenceListButton);
    ASSERT_NE(lists, nullptr);
    QTest::mouseClick(lists->GenreButton, Qt::LeftButton);
    test::pumpEvents();
    auto* list = qobject_cast<GenreReferenceListTableViewController*>(top());
    ASSERT_NE(list, nullptr);
    const auto shown = [list] { return test::firstLabels(list->tableView()); };
    ASSERT_EQ(shown().size(), defaultGenres().size());

    QTest::mouseClick(list->AddButton(), Qt::LeftButton);
    auto* add = qobject_cast<AddGenreViewController*>(top());
    ASSERT_NE(add, nullptr);
    QTest::keyClicks(add->textField(), " Giallo ");
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    ASSERT_EQ(top(), list);

    QTest::keyClicks(list->searchBar(), "GIAL");
    ASSERT_EQ(shown(), QStringList{"Giallo"});
    TableView* table = list->tableView();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 0)).center());
    auto* edit = qobject_cast<EditGenreViewController*>(top());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->textField()->text(), "Giallo");
    QTest::keyClicks(edit->textField(), " Horror");
    QTest::mouseClick(edit->saveButton(), Qt::LeftButton);
    ASSERT_EQ(top(), list);

    QTest::keyClicks(list->searchBar(), "horror");
    ASSERT_EQ(shown(), (QStringList{"Giallo Horror", "Horror"}));
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(shown(), QStringList{"Horror"});
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
    QTest::mouseClick(nav->navigation().backButton(), Qt::LeftButton);
    QTest::mouseClick(nav->navigation().backButton(), Qt::LeftButton);
    EXPECT_TRUE(qobject_cast<MainMenuViewController*>(top()));

    nav.reset();
    test::pumpEvents();
    app.restart();
    QStringList stored, seeded = defaultGenres();
    for (const auto& entry : app.context().fetch<GenreList>())
        stored << entry->genre().value_or("");
    stored.sort();
    seeded.sort();
    EXPECT_EQ(stored, seeded);
}

}  // namespace
