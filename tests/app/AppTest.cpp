#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>

#include <QProcess>
#include <QTest>

#include "app/FirstLaunch.h"
#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "platform/UserDefaults.h"
#include "store/SelectionState.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"

using namespace quillon;

namespace {

QStringList texts(ManagedObjectContext& context, Entity entity, Attribute attribute) {
    QStringList out;
    for (const auto& record : context.fetch(FetchRequest::all(entity)))
        out << record->text(attribute).value_or("<absent>");
    return out;
}

void execSql(const QString& dataDir, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dataDir + "/Quillon.sqlite").toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
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

TEST(FirstLaunchTest, AFailedSeedSaveIsLoggedAndTheRestGoesOn) {
    test::AppFixture app;
    app.context().count(Entity::GenreList);  // opens the store
    execSql(app.dataDir(),
            "CREATE TRIGGER refuse BEFORE INSERT ON GenreList WHEN NEW.genre = 'Drama' "
            "BEGIN SELECT RAISE(ABORT, 'no drama'); END;");
    test::LogCapture log;
    auto defaults = standardUserDefaults();
    runFirstLaunchCheck(*defaults, app.context());
    // Every later save retries the refused entry too, so each of them fails while it is pending.
    EXPECT_GE(log.lines.filter("no drama").size(), 1);
    EXPECT_EQ(app.context().count(Entity::GenreList), 22);
    EXPECT_TRUE(app.context().hasChanges());
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

QString runQuillon(const QStringList& arguments, int* exitCode, QString* errors = nullptr) {
    QProcess process;
    process.start(QUILLON_BINARY, arguments);
    process.waitForFinished(60000);
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (errors) *errors = QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(CommandLineTest, ListPrintsTheScreensTextsAndABrokenStoreEndsWithStatusOne) {
    test::AppFixture app;
    for (auto [name, year, genre] : {std::tuple{"Heat", 1995, "Crime"}, {"alien", 1979, "Horror"},
                                     {"Aliens", 1986, "Action"}}) {
        auto m = Movies::insertInto(app.context());
        m->setName(QString(name));
        m->setYear(qint16(year));
        m->setText(Attribute::genre, QString(genre));
    }
    Movies::insertInto(app.context())->setText(Attribute::leadingActress1, "Weaver");
    ASSERT_TRUE(app.context().save());

    int status = 0;
    QString out = runQuillon({"--data-dir", app.dataDir(), "list", "--key", "genre",
                              "--descending", "--search", "O"},
                             &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out,
              "# Movies = 2 of 4\n"
              "Genre: Horror\tMovie: alien   Year: 1979  Run Time: 0\tActors: , \tActress's: , \n"
              "Genre: Action\tMovie: Aliens   Year: 1986  Run Time: 0\tActors: , \tActress's: , \n");
    out = runQuillon({"list", "--data-dir", app.dataDir()}, &status);
    EXPECT_EQ(out.split('\n').mid(0, 3),
              (QStringList{"# Movies = 4", "Movie: \tYear: 0   Run Time: 0\tActors: , \t"
                                           "Actress's: Weaver, ",
                           "Movie: Aliens\tYear: 1986   Run Time: 0\tActors: , \tActress's: , "}));

    QString errors;
    runQuillon({"--data-dir", app.dataDir(), "list", "--key", "colour"}, &status);
    EXPECT_EQ(status, 2);

    QTemporaryDir broken;
    QFile file(broken.filePath("Quillon.sqlite"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'z'));
    file.close();
    runQuillon({"--data-dir", broken.path(), "list"}, &status, &errors);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errors.startsWith("Unresolved error ")) << errors.toStdString();
}

}  // namespace

namespace {

TEST(CommandLineTest, TerminationSignalsQuitTheWindowCleanly) {
    QTemporaryDir dataDir;
    for (const int signal : {SIGTERM, SIGINT}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QUILLON_DATA_DIR", dataDir.path());
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QUILLON_BINARY, QStringList{});
        ASSERT_TRUE(process.waitForStarted());
        // The menu has loaded once the launch check has logged.
        QByteArray errors;
        while (!errors.contains("Launch") && process.waitForReadyRead(10000))
            errors += process.readAll();
        ASSERT_TRUE(errors.contains("Launch")) << errors.toStdString();
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }
}

}  // namespace
