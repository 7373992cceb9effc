#include <gtest/gtest.h>

#include <QToolButton>

#include "Journey.h"
#include "movies/ListMoviesTableViewController.h"
#include "toolkit/KeySelector.h"
#include "toolkit/SearchBar.h"
#include "toolkit/UndoNotice.h"

using namespace quillon;

namespace {

// A user starts the program, searches the movie list, deletes a movie while searching and takes
// it back, sorts, changes the key, deletes another, and finds that after a restart.
TEST(MovieListJourney, StartSearchDeleteUndoSortDeleteAndComeBack) {
    test::AppHarness app;
    const QByteArray front = test::jpegOf({40, 60}, Qt::red),
                     back = test::jpegOf({40, 60}, Qt::blue);
    for (auto [name, year] : {std::pair{"Vertigo", 1958}, {"Psycho", 1960}, {"Rope", 1948}}) {
        auto movie = Movies::insertInto(app.context());
        movie->setName(QString(name));
        movie->setYear(qint16(year));
        movie->setImage(Attribute::frontImage, front);
        movie->setImage(Attribute::backImage, back);
    }
    ASSERT_TRUE(app.app().saveContext());
    app.restart();
    auto window = test::showWindow(app);
    EXPECT_EQ(app.context().count(Entity::GenreList), 22) << "the first start seeds the lists";
    auto* list = test::openFromMenu<ListMoviesTableViewController>(
        *window, &MainMenuViewController::ListMoviesButton);
    ASSERT_TRUE(list);
    const auto shown = [list] { return test::firstLabels(list->tableView()); };
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 3");
    EXPECT_EQ(shown(), (QStringList{"Movie: Psycho", "Movie: Rope", "Movie: Vertigo"}));

    QTest::keyClicks(list->searchBar(), "p");
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 2 of 3");
    list->tableView()->setFocus();
    list->tableView()->setCurrentIndex(list->tableView()->model()->index(0, 0));
    QTest::keyClick(list->tableView(), Qt::Key_Delete);
    EXPECT_EQ(shown(), QStringList{"Movie: Rope"});
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 1 of 2");
    EXPECT_TRUE(list->undoNotice()->isVisible());
    list->searchBar()->setFocus();
    list->searchBar()->selectAll();
    QTest::keyClick(list->searchBar(), Qt::Key_Backspace);
    EXPECT_EQ(shown(), (QStringList{"Movie: Rope", "Movie: Vertigo"}));
    QTest::keyClick(list->searchBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shown(), (QStringList{"Movie: Psycho", "Movie: Rope", "Movie: Vertigo"}));
    EXPECT_FALSE(list->undoNotice()->isVisible());

    QTest::mouseClick(list->sortButton(), Qt::LeftButton);
    list->segment()->setSelectedIndex(2);
    EXPECT_EQ(shown(), (QStringList{"Year: 1960", "Year: 1958", "Year: 1948"}));
    list->tableView()->setFocus();
    list->tableView()->setCurrentIndex(list->tableView()->model()->index(1, 0));
    QTest::keyClick(list->tableView(), Qt::Key_Delete);
    EXPECT_EQ(shown(), (QStringList{"Year: 1960", "Year: 1948"}));
    QTest::mouseClick(window->backButton(), Qt::LeftButton);
    test::pumpEvents();
    EXPECT_TRUE(qobject_cast<MainMenuViewController*>(window->topViewController()));

    window.reset();
    app.restart();
    QStringList stored;
    for (const auto& movie : app.context().fetch<Movies>()) stored << *movie->name();
    EXPECT_EQ(stored, (QStringList{"Psycho", "Rope"}));
    const auto psycho = app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Psycho"));
    EXPECT_TRUE(psycho.at(0)->frontImage() == front && psycho.at(0)->backImage() == back);
}

}  // namespace
