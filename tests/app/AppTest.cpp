#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include "app/Application.h"
#include "app/FirstLaunch.h"
#include "app/MainWindow.h"
#include "platform/DataFolders.h"
#include "platform/UserDefaults.h"
#include "support/AppHarness.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"

using namespace quillon;

namespace {

TEST(FirstLaunchTest, SeedsOncePerFlagAndWhenTheFlagCannotBeWrittenOnlyIntoAnEmptyList) {
    test::AppHarness app;
    ManagedObjectContext& context = app.context();
    // One refused entry is logged and taken back; the others are saved.
    test::refuseWrites(app.dataDir(), Entity::GenreList, "INSERT", "NEW.genre = 'Drama'");
    test::LogCapture log;
    runFirstLaunchCheck(*standardUserDefaults(), context);
    EXPECT_EQ(log.lines.filter(test::kRefusedByTest).size(), 1)
        << log.lines.join('\n').toStdString();
    EXPECT_FALSE(context.hasChanges());

    // Second launch: nothing is restored, even when the user emptied the lists.
    for (const auto& genre : context.fetch<GenreList>()) context.deleteObject(genre);
    ASSERT_TRUE(context.save());
    runFirstLaunchCheck(*standardUserDefaults(), context);
    EXPECT_EQ(context.count(Entity::GenreList), 0);
    // Cleared user defaults while the store stays: the defaults arrive a second time.
    standardUserDefaults()->clear();
    runFirstLaunchCheck(*standardUserDefaults(), context);
    EXPECT_EQ(context.count(Entity::GenreList), 21);
    EXPECT_EQ(context.count(Entity::RatingList), 8);

    // A folder where the settings file should be: the flag cannot be written, even by root.
    standardUserDefaults()->clear();
    QFile::remove(DataFolders::userDefaultsFile());
    ASSERT_TRUE(QDir().mkpath(DataFolders::userDefaultsFile()));
    runFirstLaunchCheck(*standardUserDefaults(), context);
    EXPECT_EQ(context.count(Entity::GenreList), 21) << "both lists hold entries";
    for (const auto& rating : context.fetch<RatingList>()) context.deleteObject(rating);
    ASSERT_TRUE(context.save());
    auto window = app.window();  // its menu runs the check
    window->show();
    const QString alert = test::answerAlert();
    EXPECT_TRUE(alert.startsWith("Settings Not Saved / ") &&
                alert.contains(DataFolders::userDefaultsFile()))
        << alert.toStdString();
    EXPECT_EQ(context.count(Entity::GenreList), 42);
    EXPECT_EQ(context.count(Entity::RatingList), 4);
}

TEST(AppDelegateTest, AFailedSaveIsShownEvenAtExitAndKeepsTheChangesForTheNextSave) {
    test::AppHarness app;
    auto window = app.window();
    window->show();
    auto movie = Movies::insertInto(app.context());
    movie->setName("boom");
    test::refuseWrites(app.dataDir(), Entity::Movies, "INSERT", "NEW.name = 'boom'");
    EXPECT_FALSE(app.app().saveContext());
    const QString alert = test::answerAlert();
    EXPECT_TRUE(alert.startsWith("Unresolved error / Unresolved error ") &&
                alert.contains(test::kRefusedByTest))
        << alert.toStdString();
    EXPECT_TRUE(app.context().hasChanges());

    // At exit the window is gone: only a blocking box can still tell.
    window.reset();
    test::pumpEvents();
    ASSERT_FALSE(QApplication::activeWindow());
    QString box;
    QObject guard;
    QTimer::singleShot(0, &guard, [&box] {
        if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box = shown->windowTitle() + " / " + shown->text();
            shown->done(QMessageBox::Ok);
        }
    });
    app.app().applicationWillTerminate();
    EXPECT_EQ(box, alert);

    movie->setName("Boom");
    EXPECT_TRUE(app.app().saveContext());
    app.restart();
    EXPECT_EQ(app.context().fetch<Movies>().at(0)->name(), "Boom");
}

// (A locked catalogue's window: the command line's tests run it.)
TEST(StartWindowTest, AReadOnlyCatalogueSaysSoAndWaitsWithTheFirstLaunch) {
    test::AppHarness app;
    app.restart(false);
    app.app().setStoreOptions({.readOnly = true});
    int exitStatus = 1;
    auto window = startWindow(app.app(), &exitStatus);
    ASSERT_TRUE(window && exitStatus == 0);
    EXPECT_EQ(window->windowTitle(), "Quillon (read-only)");
    window->show();
    const QString alert = test::answerAlert();
    EXPECT_TRUE(alert.startsWith("Read-Only Catalogue / ") && alert.contains(app.dataDir()))
        << alert.toStdString();
    // Seeding waits for a catalogue that can be written; the flag stays unset.
    EXPECT_EQ(app.context().count(Entity::GenreList), 0);
    EXPECT_FALSE(standardUserDefaults()->value(kAboutHasBeenLaunchedBeforeFlag).toBool());
}

}  // namespace
