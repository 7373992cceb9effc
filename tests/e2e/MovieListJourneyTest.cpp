#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QToolButton>

#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "movies/ListMoviesTableViewController.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/KeySelector.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"
#include "toolkit/UndoNotice.h"

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
    test::AppHarness app;
    auto window = app.window();
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

TEST(MovieListJourney, DeleteWhileSearchingClearTheSearchUndoAndRestart) {
    test::AppHarness app;
    QByteArray front, back;
    for (auto [bytes, colour] : {std::pair{&front, Qt::red}, {&back, Qt::blue}}) {
        QImage picture(40, 60, QImage::Format_RGB32);
        picture.fill(colour);
        QBuffer buffer(bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPG", 60);
    }
    for (const char* name : {"Vertigo", "Psycho", "Rope"}) {
        auto movie = Movies::insertInto(app.context());
        movie->setName(QString(name));
        movie->setImage(Attribute::frontImage, front);
        movie->setImage(Attribute::backImage, back);
    }
    ASSERT_TRUE(app.app().saveContext());
    app.restart();
    auto window = app.window();
    window->show();
    QApplication::setActiveWindow(window.get());
    test::pumpEvents();
    auto* menu = qobject_cast<MainMenuViewController*>(window->topViewController());
    ASSERT_TRUE(menu);
    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    QTest::mouseClick(menu->ListMoviesButton, Qt::LeftButton);
    auto* list = qobject_cast<ListMoviesTableViewController*>(window->topViewController());
    ASSERT_TRUE(list);
    test::pumpEvents();

    QTest::keyClicks(list->searchBar(), "sy");
    ASSERT_EQ(rowTitles(list), QStringList{"Movie: Psycho"});
    list->tableView()->setFocus();
    list->tableView()->setCurrentIndex(list->tableView()->model()->index(0, 0));
    QTest::keyClick(list->tableView(), Qt::Key_Delete);
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 0 of 2");
    EXPECT_TRUE(list->undoNotice()->isVisible());

    list->searchBar()->setFocus();
    list->searchBar()->selectAll();
    QTest::keyClick(list->searchBar(), Qt::Key_Backspace);
    EXPECT_EQ(rowTitles(list), (QStringList{"Movie: Rope", "Movie: Vertigo"}));
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 2");

    QTest::keyClick(list->searchBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rowTitles(list), (QStringList{"Movie: Psycho", "Movie: Rope", "Movie: Vertigo"}));
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 3");
    EXPECT_FALSE(list->undoNotice()->isVisible());

    QTest::mouseClick(window->backButton(), Qt::LeftButton);
    test::pumpEvents();
    window.reset();
    app.restart();
    const auto psycho = app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Psycho"));
    ASSERT_EQ(psycho.size(), 1u);
    EXPECT_EQ(psycho[0]->frontImage(), front);
    EXPECT_EQ(psycho[0]->backImage(), back);
    EXPECT_EQ(app.context().count(Entity::Movies), 3);
}

}  // namespace
