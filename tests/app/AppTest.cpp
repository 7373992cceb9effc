#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include "app/Application.h"
#include "app/FirstLaunch.h"
#include "app/MainWindow.h"
#include "platform/DataFolders.h"
#include "platform/UserDefaults.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"

using namespace quillon;

namespace {

// Runs `action`, pressing OK on the blocking message box it shows; returns "title: text".
QStringList boxesShownBy(const std::function<void()>& action) {
    QStringList boxes;
    QObject context;
    QTimer::singleShot(0, &context, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->windowTitle() + ": " + box->text();
            box->done(QMessageBox::Ok);
        }
    });
    action();
    return boxes;
}

// The one alert on screen as "title: message", answered with OK.
QString onlyAlert() {
    test::pumpEvents();
    const auto alerts = AlertController::presentedAlerts();
    if (alerts.size() != 1) return QString("%1 alerts").arg(alerts.size());
    const QString shown = alerts[0]->title() + ": " + alerts[0]->message();
    alerts[0]->trigger("OK");
    return shown;
}

QStringList texts(ManagedObjectContext& context, Entity entity, Attribute attribute) {
    QStringList out;
    for (const auto& record : context.fetch(FetchRequest::all(entity)))
        out << record->text(attribute).value_or("<absent>");
    return out;
}

// Runs the launch check once; returns what it logged.
QStringList launch(ManagedObjectContext& context, FirstLaunchOutcome* outcome = nullptr) {
    test::LogCapture log;
    auto defaults = standardUserDefaults();
    const FirstLaunchOutcome result = runFirstLaunchCheck(*defaults, context);
    if (outcome) *outcome = result;
    return log.lines;
}

TEST(FirstLaunchTest, SeedsEachEntryOncePerDeviceAndAgainWhenUserDefaultsAreCleared) {
    test::AppFixture app;
    app.context().count(Entity::GenreList);  // opens the store
    // One refused entry is logged and taken back; the others are saved.
    test::refuseWrites(app.dataDir(), Entity::GenreList, "INSERT", "NEW.genre = 'Drama'");
    const QStringList log = launch(app.context());
    EXPECT_EQ(log.filter(test::kRefusedByTest).size(), 1) << log.join('\n').toStdString();
    EXPECT_EQ(log.filter("Launch"), QStringList{"First Launch"});
    EXPECT_FALSE(app.context().hasChanges());
    QStringList genres = defaultGenres();
    genres.removeAll("Drama");
    const QStringList ratings{"G", "PG", "PG-13", "R"};
    app.restart();
    EXPECT_EQ(texts(app.context(), Entity::GenreList, Attribute::genre), genres);
    EXPECT_EQ(texts(app.context(), Entity::RatingList, Attribute::rating), ratings);

    // Second launch: nothing is restored, even when the user emptied the lists.
    for (const auto& genre : app.context().fetch<GenreList>()) app.context().deleteObject(genre);
    ASSERT_TRUE(app.context().save());
    app.restart();
    EXPECT_EQ(launch(app.context()), QStringList{"Not First Launch"});
    EXPECT_EQ(app.context().count(Entity::GenreList), 0);

    // Cleared user defaults while the store stays: the defaults arrive a second time.
    standardUserDefaults()->clear();
    launch(app.context());
    EXPECT_EQ(app.context().count(Entity::GenreList), 21);
    EXPECT_EQ(texts(app.context(), Entity::RatingList, Attribute::rating), ratings + ratings);
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
    for (const auto& l : launches) {
        SCOPED_TRACE(l.launch);
        if (l.ratings == 0)
            for (const auto& rating : app.context().fetch<RatingList>())
                app.context().deleteObject(rating);
        ASSERT_TRUE(app.context().save());
        ASSERT_EQ(app.context().count(Entity::GenreList), l.genres);
        FirstLaunchOutcome outcome;
        const QStringList log = launch(app.context(), &outcome);
        EXPECT_TRUE(outcome.flagNotSaved);
        EXPECT_EQ(outcome.seeded, l.seeds);
        EXPECT_TRUE(log.contains(l.seeds ? "First Launch" : "Not First Launch"));
        EXPECT_EQ(app.context().count(Entity::GenreList), l.genres + (l.seeds ? 22 : 0));
        EXPECT_EQ(app.context().count(Entity::RatingList), 4);
    }

    // The window tells the user once it is up.
    auto window = createMainWindow();
    window->show();
    const QString alert = onlyAlert();
    EXPECT_TRUE(alert.startsWith("Settings Not Saved: ")) << alert.toStdString();
    EXPECT_TRUE(alert.contains(DataFolders::userDefaultsFile()));
    EXPECT_EQ(app.context().count(Entity::GenreList), 44);
}

TEST(AppDelegateTest, AFailedSaveIsShownEvenAtExitAndKeepsTheChangesForTheNextSave) {
    test::AppFixture app;
    auto window = createMainWindow();
    window->show();
    auto movie = Movies::insertInto(app.context());
    movie->setName("boom");
    test::refuseWrites(app.dataDir(), Entity::Movies, "INSERT", "NEW.name = 'boom'");
    EXPECT_FALSE(app.app().saveContext());
    const QString alert = onlyAlert();
    EXPECT_TRUE(alert.startsWith("Unresolved error: Unresolved error ")) << alert.toStdString();
    EXPECT_TRUE(alert.contains(test::kRefusedByTest));
    EXPECT_TRUE(app.context().hasChanges());

    // At exit the window is gone: only a blocking box can still tell.
    window.reset();
    test::pumpEvents();
    ASSERT_FALSE(QApplication::activeWindow());
    EXPECT_EQ(boxesShownBy([&] { app.app().applicationWillTerminate(); }), QStringList{alert});

    movie->setName("Boom");
    EXPECT_TRUE(app.app().saveContext());
    app.restart();
    EXPECT_EQ(app.context().fetch<Movies>().at(0)->name(), "Boom");
}

TEST(StartWindowTest, ALockedCatalogueBringsUpOnlyAMessageAndAReadOnlyOneSaysSo) {
    test::AppFixture app;
    Movies::insertInto(app.context())->setName("Heat");
    ASSERT_TRUE(app.context().save());
    app.app().closeStore();
    Status status;
    auto elsewhere = CatalogueStore::open(app.dataDir(), &status);
    ASSERT_TRUE(elsewhere) << status.describe().toStdString();

    int exitStatus = 0;
    EXPECT_EQ(boxesShownBy([&] { EXPECT_FALSE(startWindow(app.app(), &exitStatus)); }),
              QStringList{"Quillon: Quillon is already open on this catalogue"});
    EXPECT_EQ(exitStatus, 3);
    EXPECT_FALSE(app.app().isStoreOpen());
    EXPECT_FALSE(QFile::exists(DataFolders::userDefaultsFile()));  // no first launch ran

    elsewhere.reset();
    app.app().setStoreOptions({.readOnly = true});
    auto window = startWindow(app.app(), &exitStatus);
    ASSERT_TRUE(window);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(window->windowTitle(), "Quillon (read-only)");
    window->show();
    const QString alert = onlyAlert();
    EXPECT_TRUE(alert.startsWith("Read-Only Catalogue: ")) << alert.toStdString();
    EXPECT_TRUE(alert.contains(app.dataDir()));
    // Seeding waits for a catalogue that can be written; the flag stays unset.
    EXPECT_EQ(app.context().count(Entity::GenreList), 0);
    EXPECT_FALSE(standardUserDefaults()->value(kAboutHasBeenLaunchedBeforeFlag).toBool());

    ASSERT_TRUE(app.context().fetch<Movies>().at(0)->setName("Heat 2"));
    EXPECT_FALSE(app.app().saveContext());
    EXPECT_TRUE(
        onlyAlert().startsWith("Unresolved error: Unresolved error The catalogue is read-only"));
}

}  // namespace
