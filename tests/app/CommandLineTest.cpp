#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "app/AppTestSupport.h"
#include "app/CommandLine.h"
#include "store/Backups.h"
#include "support/TestSupport.h"

using namespace quillon;
using apptest::readUntil;
using apptest::runQuillon;

namespace {

void addMovies(ManagedObjectContext& context) {
    for (auto [name, year, genre] : {std::tuple{"Heat", 1995, "Crime"},
                                     {"alien", 1979, "Horror"},
                                     {"Aliens", 1986, "Action"}}) {
        auto m = Movies::insertInto(context);
        m->setName(QString(name));
        m->setYear(qint16(year));
        m->setText(Attribute::genre, QString(genre));
    }
    Movies::insertInto(context)->setText(Attribute::leadingActress1, "Weaver");
}

// The window of the real program on a data folder, with its output merged.
void startWindowProcess(QProcess& process, const QString& dataDir) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QUILLON_DATA_DIR", dataDir);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QUILLON_BINARY, QStringList{});
    ASSERT_TRUE(process.waitForStarted());
}

TEST(CommandLineTest, ListPrintsTheScreensTextsAndABrokenStoreEndsWithStatusOne) {
    test::AppFixture app;
    addMovies(app.context());
    ASSERT_TRUE(app.context().save());
    app.app().closeStore();  // the program takes the catalogue's lock

    auto run = runQuillon(
        {"--data-dir", app.dataDir(), "list", "--key", "genre", "--descending", "--search", "O"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(
        run.out,
        "# Movies = 2 of 4\n"
        "Genre: Horror\tMovie: alien   Year: 1979  Run Time: 0\tActors: , \tActress's: , \n"
        "Genre: Action\tMovie: Aliens   Year: 1986  Run Time: 0\tActors: , \tActress's: , \n");
    run = runQuillon({"list", "--data-dir", app.dataDir()});
    EXPECT_EQ(run.out.split('\n').mid(0, 3),
              (QStringList{"# Movies = 4",
                           "Movie: \tYear: 0   Run Time: 0\tActors: , \t"
                           "Actress's: Weaver, ",
                           "Movie: Aliens\tYear: 1986   Run Time: 0\tActors: , \tActress's: , "}));
    EXPECT_EQ(runQuillon({"--data-dir", app.dataDir(), "list", "--key", "colour"}).status, 2);

    QTemporaryDir broken;
    QFile file(broken.filePath("Quillon.sqlite"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'z'));
    file.close();
    run = runQuillon({"--data-dir", broken.path(), "list"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.errors.startsWith("Unresolved error ")) << run.errors.toStdString();
}

TEST(CommandLineTest, GlobalOptionsAndUsage) {
    const struct {
        QStringList arguments;
        int waitMs;
        bool given;
        bool error;
    } cases[] = {
        {{"list"}, 10000, false, false},
        {{"--wait", "2.5", "list"}, 2500, true, false},
        {{"--wait=0", "export", "f"}, 0, true, false},
        {{"restore", "x", "--wait", "1"}, 1000, true, false},
        {{"--wait", "-1", "list"}, 0, true, true},
        {{"--wait", "soon", "list"}, 0, true, true},
        {{"list", "--wait"}, 0, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine command = parseCommandLine(QStringList{"quillon"} + c.arguments);
        EXPECT_EQ(!command.error.isEmpty(), c.error);
        EXPECT_EQ(command.waitGiven, c.given);
        if (!c.error) {
            EXPECT_EQ(command.lockWaitMs, c.waitMs);
            EXPECT_FALSE(command.arguments.contains("--wait"));
        }
    }
    EXPECT_EQ(parseCommandLine({"quillon", "restore", "NAME"}).arguments, QStringList{"NAME"});
    for (const char* text : {"--wait SECONDS", "\n  backups ", "\n  restore NAME "})
        EXPECT_TRUE(usageText().contains(text)) << text;
}

TEST(CommandLineTest, ACatalogueOpenElsewhereIsWaitedForThenRefusedWithStatusThree) {
    test::AppFixture app;
    addMovies(app.context());
    ASSERT_TRUE(app.context().save());  // this process now holds the catalogue

    auto run = runQuillon({"--data-dir", app.dataDir(), "--wait", "0", "list"});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.errors.startsWith("Quillon is already open on this catalogue"))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains("--wait SECONDS"));
    EXPECT_TRUE(run.out.isEmpty());

    // A command that waits gets the catalogue once it is let go.
    QProcess waiting;
    waiting.start(QUILLON_BINARY, {"--data-dir", app.dataDir(), "--wait", "60", "list"});
    ASSERT_TRUE(waiting.waitForStarted());
    EXPECT_FALSE(waiting.waitForFinished(1500)) << waiting.readAllStandardError().toStdString();
    app.app().closeStore();
    ASSERT_TRUE(waiting.waitForFinished(30000));
    EXPECT_EQ(waiting.exitCode(), 0);
    EXPECT_TRUE(waiting.readAllStandardOutput().startsWith("# Movies = 4\n"));

    // The window refuses at once and brings nothing else up; a signal still ends it.
    app.context();
    QProcess window;
    startWindowProcess(window, app.dataDir());
    const QByteArray output = readUntil(window, "Quillon is already open on this catalogue");
    ASSERT_TRUE(output.contains("Quillon is already open on this catalogue"))
        << output.toStdString();
    ::kill(pid_t(window.processId()), SIGTERM);
    ASSERT_TRUE(window.waitForFinished(10000));
    EXPECT_EQ(window.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(window.exitCode(), 3);
    EXPECT_FALSE((output + window.readAll()).contains("Launch"));
}

TEST(CommandLineTest, TheLockOfAProcessThatDiedIsTakenOver) {
    QTemporaryDir dataDir;
    QProcess crashed;
    startWindowProcess(crashed, dataDir.path());
    ASSERT_TRUE(readUntil(crashed, "Launch").contains("Launch"));
    ::kill(pid_t(crashed.processId()), SIGKILL);
    ASSERT_TRUE(crashed.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(dataDir.filePath("Quillon.lock")));

    const auto run = runQuillon({"--data-dir", dataDir.path(), "--wait", "0", "list"});
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_EQ(run.out, "# Movies = 0\n");
}

TEST(CommandLineTest, TerminationSignalsEndTheWindowAndItsStartUpBoxes) {
    QTemporaryDir broken;
    QFile file(broken.filePath("Quillon.sqlite"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'z'));
    file.close();
    QTemporaryDir fine;
    const struct {
        QString dataDir;
        QByteArray shown;  // logged once the window or the box is up
        int status;
    } cases[] = {{fine.path(), "Launch", 0}, {broken.path(), "Unresolved error", 1}};
    for (const auto& c : cases) {
        for (const int signal : {SIGTERM, SIGINT}) {
            SCOPED_TRACE(c.shown.toStdString() + " " + std::to_string(signal));
            QProcess process;
            startWindowProcess(process, c.dataDir);
            const QByteArray output = readUntil(process, c.shown);
            ASSERT_TRUE(output.contains(c.shown)) << output.toStdString();
            ::kill(pid_t(process.processId()), signal);
            ASSERT_TRUE(process.waitForFinished(10000));
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), c.status);
        }
    }
}

TEST(CommandLineTest, BackupsAreListedOldestFirstAndRestoredAfterASafetyCopy) {
    test::AppFixture app;
    addMovies(app.context());
    ASSERT_TRUE(app.context().save());
    const QDateTime noon(QDate(2026, 3, 1), QTime(12, 0));
    QString first, second;
    ASSERT_TRUE(backups::make(app.context(), &first, noon));
    app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Heat")).at(0)->setName("Cold");
    ASSERT_TRUE(app.context().save());
    ASSERT_TRUE(backups::make(app.context(), &second, noon.addDays(1)));
    app.app().closeStore();

    auto run = runQuillon({"--data-dir", app.dataDir(), "backups"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, first + "\n" + second + "\n");

    run = runQuillon({"--data-dir", app.dataDir(), "restore", first});
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    const QString safety = run.out.trimmed();
    EXPECT_EQ(run.out, safety + "\n");
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
        run = runQuillon(QStringList{"--data-dir", app.dataDir()} + f.arguments);
        EXPECT_EQ(run.status, f.status);
        EXPECT_TRUE(run.errors.startsWith(f.error)) << run.errors.toStdString();
    }
    EXPECT_EQ(backups::list(app.dataDir()).size(), 3);
}

// The folder is made read-only and the program run as a user that cannot write it (root
// writes anywhere, so root runs it as "nobody").
TEST(CommandLineTest, AReadOnlyFolderStillListsAndExports) {
    test::AppFixture app;
    addMovies(app.context());
    ASSERT_TRUE(app.context().save());
    app.app().closeStore();
    QTemporaryDir outDir;
    ASSERT_TRUE(QFile::setPermissions(outDir.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(
        QFile::setPermissions(app.dataDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                 QFileDevice::ReadOther | QFileDevice::ExeOther));
    QStringList asUser;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty()) GTEST_SKIP() << "running as root without setpriv";
        asUser = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    auto run = [&](const QStringList& arguments) {
        QProcess process;
        const QStringList command = asUser + QStringList{QUILLON_BINARY} + arguments;
        process.start(command.first(), command.mid(1));
        process.waitForFinished(60000);
        return std::pair{process.exitCode(),
                         QString::fromUtf8(process.readAll() + process.readAllStandardError())};
    };
    QProcess probe;
    probe.start(asUser.isEmpty() ? "touch" : asUser.first(),
                (asUser.isEmpty() ? QStringList{} : asUser.mid(1) + QStringList{"touch"}) +
                    QStringList{app.dataDir() + "/probe"});
    probe.waitForFinished();
    if (probe.exitCode() == 0) GTEST_SKIP() << "the folder stays writable for this user";

    auto [status, out] = run({"--data-dir", app.dataDir(), "list"});
    EXPECT_EQ(status, 0) << out.toStdString();
    EXPECT_TRUE(out.startsWith("# Movies = 4\n")) << out.toStdString();
    const QString exported = outDir.filePath("Quillon.csv");
    std::tie(status, out) = run({"--data-dir", app.dataDir(), "export", exported});
    EXPECT_EQ(status, 0) << out.toStdString();
    QFile file(exported);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 5);  // header and four movies
    std::tie(status, out) = run({"--data-dir", app.dataDir(), "restore", "x"});
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(QFile::exists(app.dataDir() + "/Quillon.lock"));
    QFile::setPermissions(app.dataDir(), QFileDevice::Permissions(0x7700));
}

}  // namespace
