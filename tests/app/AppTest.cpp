#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "app/AppTestSupport.h"
#include "app/Application.h"
#include "app/FirstLaunch.h"
#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "platform/DataFolders.h"
#include "platform/UserDefaults.h"
#include "store/SelectionState.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"

using namespace quillon;
using apptest::BlockingBoxAnswerer;
using apptest::execSql;

namespace {

QStringList texts(ManagedObjectContext& context, Entity entity, Attribute attribute) {
    QStringList out;
    for (const auto& record : context.fetch(FetchRequest::all(entity)))
        out << record->text(attribute).value_or("<absent>");
    return out;
}

TEST(FirstLaunchTest, SeedsOncePerDeviceAndAgainWhenUserDefaultsAreCleared) {
    test::AppFixture app;
    {
        test::LogCapture log;
        auto defaults = standardUserDefaults();
        runFirstLaunchCheck(*defaults, app.context());
        EXPECT_EQ(log.lines, QStringList{"First Launch"});
    }
    EXPECT_EQ(texts(app.context(), Entity::GenreList, Attribute::genre), defaultGenres());
    EXPECT_EQ(texts(app.context(), Entity::RatingList, Attribute::rating),
              (QStringList{"G", "PG", "PG-13", "R"}));
    EXPECT_EQ(defaultGenres().size(), 22);
    EXPECT_TRUE(defaultGenres().contains("Science Fiction"));
    EXPECT_TRUE(defaultGenres().contains("Film-Noir"));
    EXPECT_FALSE(app.context().hasChanges());

    // Second launch: nothing is restored, even when the user emptied the lists.
    for (const auto& genre : app.context().fetch<GenreList>()) app.context().deleteObject(genre);
    ASSERT_TRUE(app.context().save());
    app.restart();
    {
        test::LogCapture log;
        auto defaults = standardUserDefaults();
        EXPECT_TRUE(defaults->value("AboutHasBeenLaunchedBeforeFlag").toBool());
        runFirstLaunchCheck(*defaults, app.context());
        EXPECT_EQ(log.lines, QStringList{"Not First Launch"});
    }
    EXPECT_EQ(app.context().count(Entity::GenreList), 0);
    EXPECT_EQ(app.context().count(Entity::RatingList), 4);

    // Cleared user defaults while the store stays: the defaults arrive a second time.
    standardUserDefaults()->clear();
    auto defaults = standardUserDefaults();
    runFirstLaunchCheck(*defaults, app.context());
    EXPECT_EQ(app.context().count(Entity::GenreList), 22);
    EXPECT_EQ(texts(app.context(), Entity::RatingList, Attribute::rating),
              (QStringList{"G", "PG", "PG-13", "R", "G", "PG", "PG-13", "R"}));
}

TEST(FirstLaunchTest, ARefusedEntryIsLoggedAndTakenBackAndTheOthersAreSaved) {
    test::AppFixture app;
    app.context().count(Entity::GenreList);  // opens the store
    execSql(app.dataDir(),
            "CREATE TRIGGER refuse BEFORE INSERT ON GenreList WHEN NEW.genre = 'Drama' "
            "BEGIN SELECT RAISE(ABORT, 'no drama'); END;");
    test::LogCapture log;
    auto defaults = standardUserDefaults();
    runFirstLaunchCheck(*defaults, app.context());
    EXPECT_EQ(log.lines.filter("no drama").size(), 1) << log.lines.join('\n').toStdString();
    EXPECT_FALSE(app.context().hasChanges());

    QStringList expected = defaultGenres();
    expected.removeAll("Drama");
    app.restart();
    EXPECT_EQ(texts(app.context(), Entity::GenreList, Attribute::genre), expected);
    EXPECT_EQ(app.context().count(Entity::RatingList), 4);
}

TEST(FirstLaunchTest, AnUnwritableFlagIsReportedAndFilledListsAreNotSeededAgain) {
    test::AppFixture app;
    // A folder where the file should be: the settings cannot be written, even by root.
    ASSERT_TRUE(QDir().mkpath(DataFolders::userDefaultsFile()));
    const struct {
        const char* launch;
        int genres, ratings;  // before the launch
        bool seeds;
    } launches[] = {{"first, empty lists", 0, 0, true},
                    {"again, both lists filled", 22, 4, false},
                    {"again, ratings emptied", 22, 0, true}};
    for (const auto& launch : launches) {
        SCOPED_TRACE(launch.launch);
        if (launch.ratings == 0)
            for (const auto& rating : app.context().fetch<RatingList>())
                app.context().deleteObject(rating);
        ASSERT_TRUE(app.context().save());
        ASSERT_EQ(app.context().count(Entity::GenreList), launch.genres);
        auto defaults = standardUserDefaults();
        test::LogCapture log;
        const FirstLaunchOutcome outcome = runFirstLaunchCheck(*defaults, app.context());
        EXPECT_TRUE(outcome.flagNotSaved);
        EXPECT_EQ(outcome.seeded, launch.seeds);
        EXPECT_TRUE(log.lines.contains(launch.seeds ? "First Launch" : "Not First Launch"));
        EXPECT_EQ(app.context().count(Entity::GenreList), launch.genres + (launch.seeds ? 22 : 0));
        EXPECT_EQ(app.context().count(Entity::RatingList), 4);
    }

    // The window tells the user once it is up.
    auto window = createMainWindow();
    window->show();
    test::pumpEvents();
    const auto alerts = AlertController::presentedAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->title(), "Settings Not Saved");
    EXPECT_TRUE(alerts[0]->message().contains(DataFolders::userDefaultsFile()));
    EXPECT_EQ(alerts[0]->actionTitles(), QStringList{"OK"});
    EXPECT_EQ(app.context().count(Entity::GenreList), 44);
}

class MainMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = createMainWindow();
        window->show();
        menu = qobject_cast<MainMenuViewController*>(window->topViewController());
        ASSERT_TRUE(menu);
    }
    int shownEntries() const {
        int shown = 0;
        for (auto* button : menu->MainMenuButton) shown += button->isVisible() ? 1 : 0;
        return shown;
    }
    test::AppFixture app;
    std::unique_ptr<NavigationController> window;
    MainMenuViewController* menu = nullptr;
};

TEST_F(MainMenuTest, ToggleOpensAndClosesAndEveryReturnShowsItClosed) {
    EXPECT_EQ(app.context().count(Entity::GenreList), 22);  // loading the menu seeded
    EXPECT_EQ(menu->MainMenuButton.size(), 7);
    EXPECT_EQ(shownEntries(), 0);
    EXPECT_EQ(SelectionState::shared().CallingScreen, "Menu");

    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    EXPECT_EQ(shownEntries(), 7);
    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    EXPECT_EQ(shownEntries(), 0);
    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    EXPECT_EQ(shownEntries(), 7);

    ASSERT_TRUE(menu->ListMoviesButton->isEnabled());
    QTest::mouseClick(menu->ListMoviesButton, Qt::LeftButton);
    ASSERT_EQ(window->viewControllers().size(), 2);
    EXPECT_EQ(SelectionState::shared().CallingScreen, "MainList");
    window->setNavigationBarHidden(true);
    window->topViewController()->unwind("unwindToMenu");
    test::pumpEvents();
    EXPECT_EQ(window->topViewController(), menu);
    EXPECT_EQ(shownEntries(), 0);
    EXPECT_FALSE(window->isNavigationBarHidden());
    EXPECT_EQ(SelectionState::shared().CallingScreen, "Menu");
}

TEST_F(MainMenuTest, AFailedSaveIsShownAndKeepsTheChangesForTheNextSave) {
    auto movie = Movies::insertInto(app.context());
    movie->setName("boom");
    execSql(app.dataDir(),
            "CREATE TRIGGER refuse BEFORE INSERT ON Movies WHEN NEW.name = 'boom' "
            "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;");
    EXPECT_FALSE(app.app().saveContext());
    test::pumpEvents();
    const auto alerts = AlertController::presentedAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->title(), "Unresolved error");
    EXPECT_TRUE(alerts[0]->message().startsWith("Unresolved error "));
    EXPECT_TRUE(alerts[0]->message().contains("disk says no"));
    alerts[0]->trigger("OK");
    test::pumpEvents();
    EXPECT_TRUE(app.context().hasChanges());

    movie->setName("Boom");
    EXPECT_TRUE(app.app().saveContext());
    app.restart();
    EXPECT_EQ(app.context().fetch<Movies>().at(0)->name(), "Boom");
}

TEST(AppDelegateTest, AFailedSaveAtExitIsShownInABoxWhenTheWindowIsGone) {
    test::AppFixture app;
    Movies::insertInto(app.context())->setName("boom");
    execSql(app.dataDir(),
            "CREATE TRIGGER refuse BEFORE INSERT ON Movies "
            "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;");
    ASSERT_FALSE(QApplication::activeWindow());
    BlockingBoxAnswerer answerer;
    app.app().applicationWillTerminate();
    ASSERT_EQ(answerer.boxes.size(), 1);
    EXPECT_TRUE(answerer.boxes[0].startsWith("Unresolved error: Unresolved error "));
    EXPECT_TRUE(answerer.boxes[0].contains("disk says no"));
}

TEST(StartWindowTest, ACatalogueOpenElsewhereBringsUpOnlyAMessage) {
    test::AppFixture app;
    Status status;
    auto elsewhere = CatalogueStore::open(app.dataDir(), &status);
    ASSERT_TRUE(elsewhere) << status.describe().toStdString();

    int exitStatus = 0;
    {
        BlockingBoxAnswerer answerer;
        EXPECT_FALSE(startWindow(app.app(), &exitStatus));
        EXPECT_EQ(answerer.boxes,
                  QStringList{"Quillon: Quillon is already open on this catalogue"});
    }
    EXPECT_EQ(exitStatus, 3);
    EXPECT_FALSE(app.app().isStoreOpen());
    EXPECT_FALSE(QFile::exists(DataFolders::userDefaultsFile()));  // no first launch ran

    elsewhere.reset();
    auto window = startWindow(app.app(), &exitStatus);
    ASSERT_TRUE(window);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(window->windowTitle(), "Quillon");
    window->show();
    test::pumpEvents();
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
}

TEST(StartWindowTest, AReadOnlyCatalogueSaysSoAndSavesFailWithTheAlert) {
    test::AppFixture app;
    auto movie = Movies::insertInto(app.context());
    movie->setName("Heat");
    ASSERT_TRUE(app.context().save());
    app.app().closeStore();
    app.app().setStoreOptions({.readOnly = true});

    int exitStatus = -1;
    auto window = startWindow(app.app(), &exitStatus);
    ASSERT_TRUE(window);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(window->windowTitle(), "Quillon (read-only)");
    window->show();
    test::pumpEvents();
    auto alerts = AlertController::presentedAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->title(), "Read-Only Catalogue");
    EXPECT_TRUE(alerts[0]->message().contains(app.dataDir()));
    alerts[0]->trigger("OK");
    // Seeding waits for a catalogue that can be written; the flag stays unset.
    EXPECT_EQ(app.context().count(Entity::GenreList), 0);
    EXPECT_FALSE(standardUserDefaults()->value(kAboutHasBeenLaunchedBeforeFlag).toBool());

    ASSERT_TRUE(app.context().fetch<Movies>().at(0)->setName("Heat 2"));
    EXPECT_FALSE(app.app().saveContext());
    test::pumpEvents();
    alerts = AlertController::presentedAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts[0]->message().startsWith("Unresolved error The catalogue is read-only"));
}

}  // namespace
