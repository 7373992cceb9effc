#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/MainWindow.h"
#include "e2e/Journey.h"
#include "movies/AddMovieViewController.h"
#include "movies/EditMoviesViewController.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/MovieForm.h"
#include "store/Records.h"
#include "toolkit/AlertController.h"

using namespace quillon;

namespace {

QString shownName(MainWindow& window) {
    auto* form = qobject_cast<MovieFormViewController*>(window.detail()->topViewController());
    return form ? form->entry(FormField::MovieName)->text() : QString();
}

// At 1200 px a user works through the list without leaving it: picks a movie, changes it,
// picks another and saves on the way, adds one, then narrows the window with a form open.
TEST(SideBySideJourney, PickChangePickAnotherSaveAddAndNarrowTheWindowKeepingTheInput) {
    test::AppHarness app;
    for (const char* name : {"Alien", "Brazil"}) {
        MoviePtr movie = Movies::insertInto(app.context());
        movie->setName(name);
        movie->setYear(1980);
    }
    ASSERT_TRUE(app.context().save().ok);
    auto window = app.window();
    window->resize(1200, 760);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get())) GTEST_SKIP() << "no active window";
    auto* list = test::openFromMenu<ListMoviesTableViewController>(
        *window, &MainMenuViewController::ListMoviesButton);
    ASSERT_TRUE(list);
    ASSERT_TRUE(window->isSideBySide());
    ASSERT_TRUE(window->detail()->isVisible());
    auto* hint = window->detail()->findChild<QLabel*>("selectMovieHint");
    ASSERT_TRUE(hint && hint->isVisible());
    EXPECT_EQ(hint->text(), "Select a movie, or press Ctrl+N to add one");

    test::pick(list->tableView(), 0);
    EXPECT_EQ(window->topViewController(), list) << "the list stays";
    EXPECT_EQ(shownName(*window), "Alien");
    auto* alien = qobject_cast<EditMoviesViewController*>(window->detail()->topViewController());
    ASSERT_TRUE(alien);
    QLineEdit* director = alien->entry(FormField::Director);
    director->setFocus();
    QTest::keyClicks(director, "Ridley Scott");

    const auto selectedName = [&] {
        return list->tableView()->currentIndex().data(LabelTextsRole).toStringList().value(0);
    };
    test::pick(list->tableView(), 1);
    AlertController* ask = test::onlyAlert();
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->title(), "Save changes to Alien?");
    EXPECT_EQ(ask->actionTitles(), (QStringList{"Save", "Discard", "Cancel"}));
    ask->trigger("Cancel");
    test::pumpEvents();
    EXPECT_EQ(window->detail()->topViewController(), alien) << "kept, with its input";
    EXPECT_EQ(director->text(), "Ridley Scott");
    EXPECT_EQ(selectedName(), "Movie: Alien");
    test::pick(list->tableView(), 1);
    ask = test::onlyAlert();
    ASSERT_TRUE(ask);
    ask->trigger("Save");
    test::pumpEvents();
    const auto movieNamed = [&](const QString& name) {
        for (const MoviePtr& movie : app.context().fetch<Movies>())
            if (movie->name() == name) return movie;
        return MoviePtr();
    };
    ASSERT_TRUE(movieNamed("Alien"));
    EXPECT_EQ(movieNamed("Alien")->director().value_or(QString()), "Ridley Scott");
    EXPECT_FALSE(app.context().hasChanges());
    EXPECT_EQ(shownName(*window), "Brazil");
    EXPECT_EQ(window->topViewController(), list);
    EXPECT_EQ(selectedName(), "Movie: Brazil") << "the row shown on the right";

    // Ctrl+N from the list: the add form on the right; saved, it joins the list.
    QApplication::setActiveWindow(window.get());  // back from the alert
    list->tableView()->setFocus();
    QTest::keyClick(list->tableView(), Qt::Key_N, Qt::ControlModifier);
    test::pumpEvents();
    auto* add = qobject_cast<AddMovieViewController*>(window->detail()->topViewController());
    ASSERT_TRUE(add);
    for (const MovieFormField& field : kMovieFormFields)
        if (field.requiredOnAdd)
            add->entry(field.field)->setText(field.field == FormField::Year ? "1997" : "Cube");
    add->entry(FormField::MovieName)->setFocus();
    QTest::keyClick(add->entry(FormField::MovieName), Qt::Key_S, Qt::ControlModifier);
    test::pumpEvents();
    EXPECT_TRUE(movieNamed("Cube"));
    EXPECT_EQ(list->tableView()->model()->rowCount(), 3) << "the count follows";
    EXPECT_EQ(selectedName(), "Movie: Cube") << "the new row, selected";
    EXPECT_EQ(window->topViewController(), list);
    EXPECT_FALSE(
        window->detail()->topViewController()->inherits("quillon::MovieFormViewController"));

    // Narrowed with a changed form open: one screen at a time, the same form, its input kept.
    test::pick(list->tableView(), 1);
    auto* shown = qobject_cast<EditMoviesViewController*>(window->detail()->topViewController());
    ASSERT_TRUE(shown);
    QTest::keyClicks(shown->entry(FormField::Director), "Terry Gilliam");
    window->resize(600, 760);
    test::pumpEvents();
    EXPECT_FALSE(window->isSideBySide());
    EXPECT_FALSE(window->detail()->isVisible());
    EXPECT_EQ(window->topViewController(), shown);
    EXPECT_EQ(shown->entry(FormField::Director)->text(), "Terry Gilliam");
    EXPECT_TRUE(shown->hasUnsavedChanges());
    window->resize(1200, 760);
    test::pumpEvents();
    EXPECT_EQ(window->topViewController(), list);
    EXPECT_EQ(window->detail()->topViewController(), shown);
    EXPECT_EQ(shown->entry(FormField::Director)->text(), "Terry Gilliam");

    // Deleting the movie shown on the right empties the right side.
    EXPECT_EQ(selectedName(), "Movie: Brazil");
    list->tableView()->setFocus();
    QTest::keyClick(list->tableView(), Qt::Key_Delete);
    test::pumpEvents();
    EXPECT_FALSE(movieNamed("Brazil"));
    EXPECT_EQ(window->detail()->viewControllers().size(), 1);
    EXPECT_TRUE(hint->isVisible());
}

}  // namespace
