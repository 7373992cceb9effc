#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

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

Run runQuillon(const QString& dataDir, const QStringList& arguments) {
    return run(QStringList{QUILLON_BINARY, "--data-dir", dataDir} + arguments);
}

// Starts the real program's window on a data folder; returns its merged output once that
// holds `shown` (or the program ended).
QByteArray startWindowUntil(QProcess& process, const QString& dataDir, const QByteArray& shown) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLON_DATA_DIR", dataDir);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QUILLON_BINARY, QStringList{});
    QByteArray seen;
    while (!seen.contains(shown) && process.waitForReadyRead(10000)) seen += process.readAll();
    return seen + process.readAll();
}

TEST(CommandLineTest,
     ListBackupsAndRestorePrintTheirResultsAndAReadOnlyFolderStillListsAndExports) {
    test::AppHarness app;
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
    QString first, second;
    ASSERT_TRUE(backups::make(app.context(), &first, QDateTime(QDate(2026, 3, 1), QTime(12, 0))));
    app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Heat")).at(0)->setName("Cold");
    ASSERT_TRUE(app.context().save());
    ASSERT_TRUE(backups::make(app.context(), &second, QDateTime(QDate(2026, 3, 2), QTime(12, 0))));
    app.app().closeStore();  // the program takes the catalogue's lock

    auto result =
        runQuillon(app.dataDir(), {"list", "--key", "genre", "--descending", "--search", "O"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(
        result.out,
        "# Movies = 2 of 4\n"
        "Genre: Horror\tMovie: alien   Year: 1979  Run Time: 0\tActors: , \tActress's: , \n"
        "Genre: Action\tMovie: Aliens   Year: 1986  Run Time: 0\tActors: , \tActress's: , \n");
    EXPECT_EQ(runQuillon(app.dataDir(), {"list", "--key", "colour"}).status, 2);

    // Global options may follow the command.
    EXPECT_EQ(run({QUILLON_BINARY, "backups", "--data-dir", app.dataDir()}).out,
              first + "\n" + second + "\n");
    result = runQuillon(app.dataDir(), {"restore", first});
    EXPECT_EQ(result.status, 0) << result.errors.toStdString();
    EXPECT_EQ(backups::list(app.dataDir()), (QStringList{first, second, result.out.chopped(1)}));
    EXPECT_EQ(app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Heat")).size(), 1u);
    app.app().closeStore();
    for (const auto& [arguments, status, error] :
         {std::tuple{QStringList{"restore", "Quillon 1999.sqlite"}, 1,
                     "restore: There is no backup named \"Quillon 1999.sqlite\""},
          {QStringList{"restore", first, second}, 2, "restore: give the name of one backup"},
          {QStringList{"backups", "now"}, 2, "backups: unexpected argument now"}}) {
        result = runQuillon(app.dataDir(), arguments);
        EXPECT_EQ(result.status, status) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.errors.startsWith(error)) << result.errors.toStdString();
    }
    EXPECT_EQ(backups::list(app.dataDir()).size(), 3) << "a refused restore backs up nothing";

    // A folder that cannot be written; root writes anywhere, so root runs the program as nobody.
    QTemporaryDir outDir;
    ASSERT_TRUE(QFile::setPermissions(outDir.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(QFile::setPermissions(app.dataDir(), QFileDevice::Permissions(0x5055)));
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
    result = quillon({"list"});  // by name, ascending
    EXPECT_TRUE(result.out.startsWith("# Movies = 4\nMovie: \tYear: 0"))
        << result.out.toStdString();
    const QString exported = outDir.filePath("Quillon.csv");
    EXPECT_EQ(quillon({"export", exported}).status, 0);
    EXPECT_EQ(test::contents(exported).count('\n'), 5);  // header and four movies
    QFile::setPermissions(app.dataDir(), QFileDevice::Permissions(0x7700));
}

TEST(CommandLineTest, TheWaitOptionTakesSecondsAnywhereInTheLine) {
    const CommandLine plain = parseCommandLine({"quillon", "list"});
    EXPECT_TRUE(plain.lockWaitMs == 10000 && !plain.waitGiven) << "only a window waits when told";
    for (const auto& [wait, ms] : {std::pair{"2.5", 2500}, {"-1", -1}, {"soon", -1}, {"", -1}}) {
        QStringList arguments{"quillon", "restore", "x", "--wait"};
        const CommandLine command = parseCommandLine(*wait ? arguments << wait : arguments);
        EXPECT_TRUE(command.waitGiven);
        EXPECT_EQ(command.error.isEmpty() ? command.lockWaitMs : -1, ms) << wait;
        EXPECT_EQ(command.arguments, QStringList{"x"});
    }
}

// (A lock left by a killed process is taken over: the store's own tests.)
TEST(CommandLineTest, SignalsEndTheWindowAndItsBoxesAndACommandWaitsForTheLockOrIsRefused) {
    QTemporaryDir fine, broken, locked;
    ASSERT_TRUE(test::writeBytes(broken.filePath("Quillon.sqlite"), QByteArray(8192, 'z')));
    Status status;
    auto holder = CatalogueStore::open(locked.path(), &status);
    ASSERT_TRUE(holder) << status.describe().toStdString();
    // `shown` is logged once the window or the box is up.
    for (const auto& [dataDir, shown, signal, exitStatus] :
         {std::tuple{fine.path(), "Launch", SIGTERM, 0},
          {broken.path(), "Unresolved error", SIGINT, 1},
          {locked.path(), "Quillon is already open on this catalogue", SIGTERM, 3}}) {
        QProcess process;
        const QByteArray output = startWindowUntil(process, dataDir, shown);
        ASSERT_TRUE(output.contains(shown)) << output.toStdString();
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << shown;
        EXPECT_EQ(process.exitCode(), exitStatus) << shown;
        // A refused start brings nothing else up.
        EXPECT_EQ((output + process.readAll()).contains("Launch"), exitStatus == 0) << shown;
    }

    for (const auto& [dataDir, exitStatus, error] :
         {std::tuple{locked.path(), 3, "Quillon is already open on this catalogue"},
          {broken.path(), 1, "Unresolved error "}}) {
        const auto refused = runQuillon(dataDir, {"--wait", "0", "list"});
        EXPECT_EQ(refused.status, exitStatus);
        EXPECT_TRUE(refused.errors.startsWith(error)) << refused.errors.toStdString();
        EXPECT_EQ(refused.errors.contains("--wait SECONDS"), exitStatus == 3);
    }
    QProcess waiting;
    waiting.start(QUILLON_BINARY, {"--data-dir", locked.path(), "--wait", "60", "list"});
    ASSERT_TRUE(waiting.waitForStarted());
    EXPECT_FALSE(waiting.waitForFinished(1500)) << waiting.readAllStandardError().toStdString();
    holder.reset();
    ASSERT_TRUE(waiting.waitForFinished(30000));
    EXPECT_EQ(waiting.exitCode(), 0);
    EXPECT_EQ(waiting.readAllStandardOutput(), "# Movies = 0\n");
}

}  // namespace
