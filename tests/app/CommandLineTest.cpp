#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "app/CommandLine.h"
#include "store/Backups.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

struct Run {
    int status;  // -1 when the program did not end normally
    QString out, errors;
};

Run run(QStringList command) {
    QProcess process;
    process.start(command.takeFirst(), command);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

Run runQuillon(const QStringList& arguments) {
    return run(QStringList{QUILLON_BINARY} + arguments);
}

// Four movies, saved; the catalogue stays open in this process.
void addMovies(test::AppHarness& app) {
    for (auto [name, year, genre] : {std::tuple{"Heat", 1995, "Crime"},
                                     {"alien", 1979, "Horror"},
                                     {"Aliens", 1986, "Action"}}) {
        auto m = Movies::insertInto(app.context());
        m->setName(QString(name));
        m->setYear(qint16(year));
        m->setText(Attribute::genre, QString(genre));
    }
    Movies::insertInto(app.context())->setText(Attribute::leadingActress1, "Weaver");
    ASSERT_TRUE(app.context().save());
}

void writeBrokenStore(const QString& dataDir) {
    QFile file(dataDir + "/Quillon.sqlite");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'z'));
}

// Starts the real program's window on a data folder; returns its merged output once that
// holds `shown` (or the program ended).
QByteArray startWindowUntil(QProcess& process, const QString& dataDir, const QByteArray& shown) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QUILLON_DATA_DIR", dataDir);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QUILLON_BINARY, QStringList{});
    QByteArray seen;
    while (!seen.contains(shown) && process.waitForReadyRead(10000)) seen += process.readAll();
    return seen + process.readAll();
}

TEST(CommandLineTest, ListPrintsTheScreensTextsEvenReadOnlyAndABrokenStoreEndsWithStatusOne) {
    test::AppHarness app;
    addMovies(app);
    app.app().closeStore();  // the program takes the catalogue's lock

    auto result = runQuillon(
        {"--data-dir", app.dataDir(), "list", "--key", "genre", "--descending", "--search", "O"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(
        result.out,
        "# Movies = 2 of 4\n"
        "Genre: Horror\tMovie: alien   Year: 1979  Run Time: 0\tActors: , \tActress's: , \n"
        "Genre: Action\tMovie: Aliens   Year: 1986  Run Time: 0\tActors: , \tActress's: , \n");
    result = runQuillon({"list", "--data-dir", app.dataDir()});
    EXPECT_EQ(result.out.split('\n').mid(0, 3),
              (QStringList{"# Movies = 4",
                           "Movie: \tYear: 0   Run Time: 0\tActors: , \tActress's: Weaver, ",
                           "Movie: Aliens\tYear: 1986   Run Time: 0\tActors: , \tActress's: , "}));
    EXPECT_EQ(runQuillon({"--data-dir", app.dataDir(), "list", "--key", "colour"}).status, 2);

    QTemporaryDir broken;
    writeBrokenStore(broken.path());
    result = runQuillon({"--data-dir", broken.path(), "list"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.errors.startsWith("Unresolved error ")) << result.errors.toStdString();

    // A read-only folder still lists and exports.
    QTemporaryDir outDir;
    ASSERT_TRUE(QFile::setPermissions(outDir.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(
        QFile::setPermissions(app.dataDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                 QFileDevice::ReadOther | QFileDevice::ExeOther));
    // Root writes anywhere, so root runs the program as "nobody".
    QStringList asUser;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty()) GTEST_SKIP() << "running as root without setpriv";
        asUser = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    if (run(asUser + QStringList{"touch", app.dataDir() + "/probe"}).status == 0)
        GTEST_SKIP() << "the folder stays writable for this user";
    const auto quillon = [&](const QStringList& arguments) {
        return run(asUser + QStringList{QUILLON_BINARY, "--data-dir", app.dataDir()} + arguments);
    };

    result = quillon({"list"});
    EXPECT_EQ(result.status, 0) << result.errors.toStdString();
    EXPECT_TRUE(result.out.startsWith("# Movies = 4\n")) << result.out.toStdString();
    const QString exported = outDir.filePath("Quillon.csv");
    result = quillon({"export", exported});
    EXPECT_EQ(result.status, 0) << result.errors.toStdString();
    QFile file(exported);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 5);  // header and four movies
    EXPECT_EQ(quillon({"restore", "x"}).status, 1);
    EXPECT_FALSE(QFile::exists(app.dataDir() + "/Quillon.lock"));
    QFile::setPermissions(app.dataDir(), QFileDevice::Permissions(0x7700));
}

TEST(CommandLineTest, GlobalOptionsAndUsage) {
    const struct {
        QStringList arguments;
        int waitMs;  // -1: refused
        bool given;
    } cases[] = {
        {{"list"}, 10000, false},
        {{"--wait", "2.5", "list"}, 2500, true},
        {{"--wait=0", "export", "f"}, 0, true},
        {{"restore", "x", "--wait", "1"}, 1000, true},
        {{"--wait", "-1", "list"}, -1, true},
        {{"--wait", "soon", "list"}, -1, true},
        {{"list", "--wait"}, -1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine command = parseCommandLine(QStringList{"quillon"} + c.arguments);
        EXPECT_EQ(command.error.isEmpty(), c.waitMs >= 0);
        EXPECT_EQ(command.waitGiven, c.given);
        if (c.waitMs >= 0) {
            EXPECT_EQ(command.lockWaitMs, c.waitMs);
            EXPECT_FALSE(command.arguments.contains("--wait"));
        }
    }
    EXPECT_EQ(parseCommandLine({"quillon", "restore", "NAME"}).arguments, QStringList{"NAME"});
    for (const char* text : {"--wait SECONDS", "\n  backups ", "\n  restore NAME "})
        EXPECT_TRUE(usageText().contains(text)) << text;
}

TEST(CommandLineTest,
     TheLockIsWaitedForOrRefusedSignalsEndTheWindowAndItsBoxesDeadLocksAreTakenOver) {
    QTemporaryDir fine, broken, locked;
    writeBrokenStore(broken.path());
    Status status;
    auto holder = CatalogueStore::open(locked.path(), &status);
    ASSERT_TRUE(holder) << status.describe().toStdString();
    const struct {
        QString dataDir;
        QByteArray shown;  // logged once the window or the box is up
        int status;
    } cases[] = {{fine.path(), "Launch", 0},
                 {broken.path(), "Unresolved error", 1},
                 {locked.path(), "Quillon is already open on this catalogue", 3}};
    for (const auto& c : cases) {
        for (const int signal : {SIGTERM, SIGINT}) {
            SCOPED_TRACE(c.shown.toStdString() + " " + std::to_string(signal));
            QProcess process;
            const QByteArray output = startWindowUntil(process, c.dataDir, c.shown);
            ASSERT_TRUE(output.contains(c.shown)) << output.toStdString();
            ::kill(pid_t(process.processId()), signal);
            ASSERT_TRUE(process.waitForFinished(10000));
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), c.status);
            // A refused start brings nothing else up.
            EXPECT_EQ((output + process.readAll()).contains("Launch"), c.status == 0);
        }
    }

    // A command is refused at once with --wait 0, or waits until the catalogue is let go.
    const auto refused = runQuillon({"--data-dir", locked.path(), "--wait", "0", "list"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_TRUE(refused.errors.startsWith("Quillon is already open on this catalogue"))
        << refused.errors.toStdString();
    EXPECT_TRUE(refused.errors.contains("--wait SECONDS"));
    EXPECT_TRUE(refused.out.isEmpty());
    QProcess waiting;
    waiting.start(QUILLON_BINARY, {"--data-dir", locked.path(), "--wait", "60", "list"});
    ASSERT_TRUE(waiting.waitForStarted());
    EXPECT_FALSE(waiting.waitForFinished(1500)) << waiting.readAllStandardError().toStdString();
    holder.reset();
    ASSERT_TRUE(waiting.waitForFinished(30000));
    EXPECT_EQ(waiting.exitCode(), 0);
    EXPECT_EQ(waiting.readAllStandardOutput(), "# Movies = 0\n");

    // The lock of a window that was killed is taken over.
    QProcess crashed;
    ASSERT_TRUE(startWindowUntil(crashed, fine.path(), "Launch").contains("Launch"));
    ::kill(pid_t(crashed.processId()), SIGKILL);
    ASSERT_TRUE(crashed.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(fine.filePath("Quillon.lock")));
    const auto result = runQuillon({"--data-dir", fine.path(), "--wait", "0", "list"});
    EXPECT_EQ(result.status, 0) << result.errors.toStdString();
    EXPECT_EQ(result.out, "# Movies = 0\n");
}

TEST(CommandLineTest, BackupsAreListedOldestFirstAndRestoredAfterASafetyCopy) {
    test::AppHarness app;
    addMovies(app);
    const QDateTime noon(QDate(2026, 3, 1), QTime(12, 0));
    QString first, second;
    ASSERT_TRUE(backups::make(app.context(), &first, noon));
    app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Heat")).at(0)->setName("Cold");
    ASSERT_TRUE(app.context().save());
    ASSERT_TRUE(backups::make(app.context(), &second, noon.addDays(1)));
    app.app().closeStore();

    EXPECT_EQ(runQuillon({"--data-dir", app.dataDir(), "backups"}).out,
              first + "\n" + second + "\n");
    const auto restored = runQuillon({"--data-dir", app.dataDir(), "restore", first});
    EXPECT_EQ(restored.status, 0) << restored.errors.toStdString();
    const QString safety = restored.out.trimmed();
    EXPECT_EQ(restored.out, safety + "\n");
    EXPECT_EQ(backups::list(app.dataDir()), (QStringList{first, second, safety}));
    EXPECT_EQ(app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Heat")).size(), 1u);
    EXPECT_TRUE(app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Cold")).empty());
    app.app().closeStore();

    const struct {
        QStringList arguments;
        int status;
        QString error;
    } failures[] = {
        {{"restore", "Quillon 1999-01-01 00-00-00.sqlite"},
         1,
         "restore: There is no backup named \"Quillon 1999-01-01 00-00-00.sqlite\""},
        {{"restore"}, 2, "restore: give the name of one backup"},
        {{"restore", first, second}, 2, "restore: give the name of one backup"},
        {{"backups", "now"}, 2, "backups: unexpected argument now"},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.arguments.join(' ').toStdString());
        const auto result = runQuillon(QStringList{"--data-dir", app.dataDir()} + f.arguments);
        EXPECT_EQ(result.status, f.status);
        EXPECT_TRUE(result.errors.startsWith(f.error)) << result.errors.toStdString();
    }
    EXPECT_EQ(backups::list(app.dataDir()).size(), 3);
}

}  // namespace
