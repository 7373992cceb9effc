#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/FirstLaunch.h"
#include "app/MainMenuViewController.h"
#include "reference/ReferenceListViewController.h"
#include "reference/ReferenceEntryViewControllers.h"
#include "reference/ReferenceListTableViewController.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

QStringList shownTexts(ReferenceListTableViewController* list) {
    QStringList texts;
    const QAbstractItemModel* model = list->tableView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data(LabelTextsRole).toStringList().join("|");
    return texts;
}

void clickRow(ReferenceListTableViewController* list, int row) {
    TableView* table = list->tableView();
    const QRect rect = table->visualRect(table->model()->index(row, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
}

QStringList storedGenres(ManagedObjectContext& context) {
    QStringList genres;
    for (const auto& entry : context.fetch<GenreList>()) genres << entry->genre().value_or("");
    return genres;
}

// A user keeps the genre list from the main menu: adds a genre, finds it, renames it and
// deletes it, and finds the seeded list unchanged after a restart.
TEST(ReferenceJourney, AddFindRenameAndDeleteAGenreFromTheMainMenu) {
    test::AppHarness fixture;
    auto nav = fixture.window();
    auto* menu = qobject_cast<MainMenuViewController*>(nav->topViewController());
    nav->resize(430, 860);
    nav->show();
    QApplication::setActiveWindow(nav.get());
    test::pumpEvents();
    auto top = [&] { return nav->topViewController(); };

    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    ASSERT_TRUE(menu->ReferenceListButton->isEnabled());
    QTest::mouseClick(menu->ReferenceListButton, Qt::LeftButton);
    auto* referenceMenu = qobject_cast<ReferenceListViewController*>(top());
    ASSERT_NE(referenceMenu, nullptr);
    QTest::mouseClick(referenceMenu->GenreButton, Qt::LeftButton);
    test::pumpEvents();
    auto* list = qobject_cast<GenreReferenceListTableViewController*>(top());
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->tableView()->model()->rowCount(), int(defaultGenres().size()));

    QTest::mouseClick(list->AddButton(), Qt::LeftButton);
    auto* add = qobject_cast<AddGenreViewController*>(top());
    ASSERT_NE(add, nullptr);
    QTest::keyClicks(add->textField(), " Giallo ");
    QTest::mouseClick(add->saveButton(), Qt::LeftButton);
    ASSERT_EQ(top(), list);

    QTest::keyClicks(list->searchBar(), "GIAL");
    ASSERT_EQ(shownTexts(list), QStringList{"Giallo"});
    clickRow(list, 0);
    auto* edit = qobject_cast<EditGenreViewController*>(top());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->textField()->text(), "Giallo");
    QTest::keyClicks(edit->textField(), " Horror");
    QTest::mouseClick(edit->saveButton(), Qt::LeftButton);
    ASSERT_EQ(top(), list);
    EXPECT_TRUE(shownTexts(list).contains("Giallo Horror"));

    QTest::keyClicks(list->searchBar(), "horror");
    ASSERT_EQ(shownTexts(list), (QStringList{"Giallo Horror", "Horror"}));
    list->tableView()->setCurrentIndex(list->tableView()->model()->index(0, 0));
    QTest::keyClick(list->tableView(), Qt::Key_Delete);
    EXPECT_EQ(shownTexts(list), QStringList{"Horror"});
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());

    QTest::mouseClick(nav->backButton(), Qt::LeftButton);
    QTest::mouseClick(nav->backButton(), Qt::LeftButton);
    EXPECT_EQ(top(), menu);
    nav.reset();
    test::pumpEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    fixture.restart();
    QStringList stored = storedGenres(fixture.context());
    QStringList seeded = defaultGenres();
    stored.sort();
    seeded.sort();
    EXPECT_EQ(stored, seeded);
}

}  // namespace
