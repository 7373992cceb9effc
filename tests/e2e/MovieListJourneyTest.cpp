#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "movies/ListMoviesTableViewController.h"
#include "support/TestSupport.h"
#include "toolkit/KeySelector.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

QStringList rowTitles(ListMoviesTableViewController* list) {
    QStringList titles;
    auto* model = list->tableView()->model();
    for (int r = 0; r < model->rowCount(); ++r)
        titles << model->index(r, 0).data(LabelTextsRole).toStringList().value(0);
    return titles;
}

TEST(MovieListJourney, StartSeeListSearchSortDeleteAndComeBack) {
    test::AppFixture app;
    auto window = createMainWindow();
    window->show();
    test::pumpEvents();
    auto* menu = qobject_cast<MainMenuViewController*>(window->topViewController());
    ASSERT_TRUE(menu);
    EXPECT_EQ(app.context().count(Entity::GenreList), 22);
    EXPECT_EQ(app.context().count(Entity::RatingList), 4);

    for (auto [name, year] : {std::pair{"Vertigo", 1958}, {"Psycho", 1960}, {"Rope", 1948}}) {
        auto movie = Movies::insertInto(app.context());
        movie->setName(QString(name));
        movie->setYear(qint16(year));
        movie->setText(Attribute::director, "Hitchcock");
    }
    ASSERT_TRUE(app.app().saveContext());

    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    QTest::mouseClick(menu->ListMoviesButton, Qt::LeftButton);
    auto* list = qobject_cast<ListMoviesTableViewController*>(window->topViewController());
    ASSERT_TRUE(list);
    test::pumpEvents();
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 3");
    EXPECT_EQ(rowTitles(list), (QStringList{"Movie: Psycho", "Movie: Rope", "Movie: Vertigo"}));

    QTest::keyClicks(list->searchBar(), "p");
    EXPECT_EQ(rowTitles(list), (QStringList{"Movie: Psycho", "Movie: Rope"}));
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 2 of 3");

    QTest::mouseClick(list->sortButton(), Qt::LeftButton);  // refetch shows everything, descending
    EXPECT_EQ(rowTitles(list), (QStringList{"Movie: Vertigo", "Movie: Rope", "Movie: Psycho"}));
    list->searchBar()->clear();

    list->segment()->setSelectedIndex(2);
    EXPECT_EQ(rowTitles(list), (QStringList{"Year: 1960", "Year: 1958", "Year: 1948"}));

    list->tableView()->setFocus();
    list->tableView()->setCurrentIndex(list->tableView()->model()->index(1, 0));
    QTest::keyClick(list->tableView(), Qt::Key_Delete);
    EXPECT_EQ(rowTitles(list), (QStringList{"Year: 1960", "Year: 1948"}));

    QTest::mouseClick(window->backButton(), Qt::LeftButton);
    test::pumpEvents();
    EXPECT_EQ(window->topViewController(), menu);

    app.restart();
    QStringList stored;
    for (const auto& movie : app.context().fetch<Movies>()) stored << *movie->name();
    EXPECT_EQ(stored, (QStringList{"Psycho", "Rope"}));
}

}  // namespace
