#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

#include "RunQuillon.h"
#include "app/CatalogueAccess.h"
#include "store/Backups.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

using test::Ran, test::run, test::runQuillon;

// Gives the catalogue in dir exactly these movies; the first carries a cover of 1.5 MB (not a
// picture), so that copying the store takes several steps.
void fillCatalogue(const QString& dir, const QStringList& names, bool withCover = true) {
    Status status;
    auto store = CatalogueStore::open(dir, &status);
    ASSERT_TRUE(store) << status.describe().toStdString();
    ManagedObjectContext& context = store->viewContext();
    for (const auto& movie : context.fetch<Movies>()) context.deleteObject(movie);
    for (const QString& name : names) Movies::insertInto(context)->setName(name);
    if (withCover)
        context.fetch<Movies>().at(0)->setImage(Attribute::frontImage,
                                                QByteArray(1536 * 1024, 'c'));
    ASSERT_TRUE(context.save());
}

QString makeBackup(const QString& dir) {
    Status status;
    auto store = CatalogueStore::open(dir, &status);
    QString name;
    EXPECT_TRUE(store && backups::make(store->viewContext(), &name));
    return name;
}

bool execSql(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    const bool done = sqlite3_open(QFile::encodeName(path), &db) == SQLITE_OK &&
                      sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
}

// A whole catalogue: every page sound, its movies readable.
bool isWholeCatalogue(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_stmt* check = nullptr;
    bool whole =
        sqlite3_open_v2(QFile::encodeName(path), &db, SQLITE_OPEN_READONLY, nullptr) == 0 &&
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == 0 &&
        sqlite3_step(check) == SQLITE_ROW &&
        QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) == "ok";
    sqlite3_finalize(check);
    whole =
        whole && sqlite3_exec(db, "SELECT count(*) FROM Movies", nullptr, nullptr, nullptr) == 0;
    sqlite3_close(db);
    return whole;
}

// What a killed process may have left: hidden files being written.
QStringList hiddenEntries(const QString& dir) {
    return QDir(dir).entryList(
        {".*"}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(StoreCommandsTest, RestoreRefusesEveryBackupThatIsNotASoundCatalogueAndChangesNothing) {
    QTemporaryDir data, other;
    fillCatalogue(data.path(), {"Backed", "Up"});
    const QString good = makeBackup(data.path());
    fillCatalogue(data.path(), {"Current"});
    fillCatalogue(other.path(), {"Elsewhere"});
    const QString folder = backups::folder(data.path());
    const QByteArray whole = test::contents(QDir(folder).filePath(good));
    ASSERT_TRUE(::mkfifo(QFile::encodeName(data.filePath("fifo")), 0600) == 0);
    const auto bytes = [](QByteArray b) {
        return [b](const QString& path) { return test::writeBytes(path, b); };
    };
    const auto linkTo = [](const QString& target) {
        return [target](const QString& path) { return QFile::link(target, path); };
    };
    QByteArray damaged = whole;
    damaged.replace(4096, 512, QByteArray(512, '\xff'));  // the Movies table's first page
    const struct {
        const char* what;
        std::function<bool(const QString&)> make;
        const char* told;
    } cases[] = {
        {"a damaged page", bytes(damaged), "is damaged"},
        {"zero bytes", bytes(""), "is not a Quillon catalogue"},
        {"another program's SQLite file",
         [](const QString& path) { return execSql(path, "CREATE TABLE Books (title TEXT)"); },
         "is not a Quillon catalogue"},
        {"a newer schema",
         [&](const QString& path) {
             return test::writeBytes(path, whole) && execSql(path, "PRAGMA user_version = 99");
         },
         "was written by a newer version of Quillon"},
        {"a copy cut short", bytes(whole.left(whole.size() / 2)), "is damaged"},
        {"a link to another folder's store", linkTo(other.filePath("Quillon.sqlite")),
         "is not a regular file"},
        {"a link to a FIFO", linkTo(data.filePath("fifo")), "is not a regular file"},
    };
    const QString before = runQuillon(data.path(), {"list"}).out;
    ASSERT_TRUE(before.startsWith("# Movies = 1\n")) << before.toStdString();
    QStringList listed{good};
    int day = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name =
            QStringLiteral("Quillon 2030-01-%1 00-00-00.sqlite").arg(day++, 2, 10, QChar('0'));
        ASSERT_TRUE(c.make(QDir(folder).filePath(name)));
        if (QFileInfo(QDir(folder).filePath(name)).isFile() &&
            !QFileInfo(QDir(folder).filePath(name)).isSymLink())
            listed << name;
        const Ran restore = runQuillon(data.path(), {"restore", name}, 20000);
        EXPECT_EQ(restore.status, 1);
        EXPECT_TRUE(restore.errors.startsWith(
            QStringLiteral("restore: The backup \"%1\" %2").arg(name, c.told)))
            << restore.errors.toStdString();
        EXPECT_EQ(runQuillon(data.path(), {"list"}).out, before);
    }
    // Links are not backups; a refused restore copied nothing.
    EXPECT_EQ(runQuillon(data.path(), {"backups"}).out, listed.join('\n') + '\n');
    EXPECT_TRUE(hiddenEntries(data.path()).isEmpty() && hiddenEntries(folder).isEmpty());

    // Backups/ must be a folder of the catalogue's own.
    ASSERT_TRUE(QDir().rename(folder, other.filePath("Backups")));
    ASSERT_TRUE(QFile::link(other.filePath("Backups"), folder));
    for (const QStringList& command : {QStringList{"backups"}, {"restore", good}}) {
        const Ran refused = runQuillon(data.path(), command);
        EXPECT_EQ(refused.status, 1);
        EXPECT_TRUE(refused.errors.contains("The backup folder is a link"))
            << refused.errors.toStdString();
    }
    ASSERT_TRUE(QFile::remove(folder) && QDir().rename(other.filePath("Backups"), folder));
    EXPECT_EQ(runQuillon(data.path(), {"restore", good}).status, 0);
    EXPECT_TRUE(runQuillon(data.path(), {"list"}).out.startsWith("# Movies = 2\n"));
}

TEST(StoreCommandsTest, ACatalogueThatCannotBeOpenedIsStillPutBackAndItsFileIsKeptAsFound) {
    const struct {
        const char* what;
        std::function<bool(const QString&)> damage;
    } cases[] = {
        {"garbage",
         [](const QString& path) { return test::writeBytes(path, QByteArray(8192, 'z')); }},
        {"a newer schema",
         [](const QString& path) { return execSql(path, "PRAGMA user_version = 99"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir data;
        fillCatalogue(data.path(), {"Backed", "Up"});
        const QString good = makeBackup(data.path());
        fillCatalogue(data.path(), {"Current"});
        const QString store = data.filePath(CatalogueStore::kFileName);
        ASSERT_TRUE(c.damage(store));
        EXPECT_EQ(runQuillon(data.path(), {"list"}).status, 1);
        const QByteArray asFound = test::contents(store);

        EXPECT_EQ(runQuillon(data.path(), {"backups"}).out, good + "\n");
        const Ran restore = runQuillon(data.path(), {"restore", good});
        EXPECT_EQ(restore.status, 0) << restore.errors.toStdString();
        const QString kept = restore.out.trimmed();
        EXPECT_TRUE(kept.startsWith("Unreadable Quillon ")) << kept.toStdString();
        EXPECT_TRUE(restore.errors.contains("its file was copied unchanged to " + kept))
            << restore.errors.toStdString();
        EXPECT_EQ(test::contents(QDir(backups::folder(data.path())).filePath(kept)), asFound);
        EXPECT_TRUE(runQuillon(data.path(), {"list"}).out.startsWith("# Movies = 2\n"));
        EXPECT_EQ(runQuillon(data.path(), {"backups"}).out, good + "\n");
    }
}

// Kills the program where it stops itself (QUILLON_TEST_PAUSE_AT) part way through writing.
TEST(StoreCommandsTest, AKillWhileBackingUpOrRestoringLeavesTheOldOrTheNewCatalogueWhole) {
    for (const auto& [command, point] : {std::pair{"restore", "backup"},
                                         {"restore", "restore-copy"},
                                         {"restore", "restore-install"},
                                         {"import", "backup"}}) {
        SCOPED_TRACE(std::string(command) + " at " + point);
        QTemporaryDir data, files;
        fillCatalogue(files.path(), {"Imported"}, false);
        const QString exported = files.filePath("Quillon.csv");
        ASSERT_EQ(runQuillon(files.path(), {"export", exported}).status, 0);
        fillCatalogue(data.path(), {"New", "Movies"});
        const QString good = makeBackup(data.path());
        const QString newList = runQuillon(data.path(), {"list"}).out;
        fillCatalogue(data.path(), {"Old", "Ones", "Here"});
        const QString oldList = runQuillon(data.path(), {"list"}).out;
        const QStringList arguments{"--data-dir", data.path(), command,
                                    QString(command) == "restore" ? good : exported};

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUILLON_TEST_PAUSE_AT", point);
        process.setProcessEnvironment(environment);
        process.setReadChannel(QProcess::StandardError);
        process.start(QUILLON_BINARY, arguments);
        QByteArray said;
        while (!said.contains("paused at") && process.waitForReadyRead(30000))
            said += process.readAllStandardError();
        ASSERT_TRUE(said.contains(QByteArray("paused at ") + point)) << said.toStdString();
        ::kill(pid_t(process.processId()), SIGKILL);
        ASSERT_TRUE(process.waitForFinished(10000));

        const Ran after = runQuillon(data.path(), {"list"});
        EXPECT_EQ(after.status, 0) << after.errors.toStdString();
        EXPECT_TRUE(after.out == oldList || after.out == newList) << after.out.toStdString();
        for (const QString& name :
             runQuillon(data.path(), {"backups"}).out.split('\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(isWholeCatalogue(QDir(backups::folder(data.path())).filePath(name)))
                << name.toStdString();

        // Done again, it completes and leaves nothing behind.
        const Ran again = run(QStringList{QUILLON_BINARY} + arguments);
        EXPECT_EQ(again.status, 0) << again.errors.toStdString();
        if (QString(command) == "restore") {
            EXPECT_EQ(runQuillon(data.path(), {"list"}).out, newList);
        }
        EXPECT_EQ(hiddenEntries(data.path()), QStringList{});
        EXPECT_EQ(hiddenEntries(backups::folder(data.path())), QStringList{});
    }
}

TEST(StoreCommandsTest, WithoutAHomeFolderTheWindowAndTheCommandsSaySoAndOpenNothing) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "QUILLON_DATA_DIR"})
        environment.remove(name);
    // As root, as nobody: a store at the root of the file system could not be made even by a fault.
    QStringList asUser;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty()) GTEST_SKIP() << "running as root without setpriv";
        asUser = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    const QString told = noDataFolderError() + "\n";
    for (const QStringList& arguments : {QStringList{"list"}, {"backups"}, {"restore", "x"}}) {
        const Ran refused =
            run(asUser + QStringList{QUILLON_BINARY} + arguments, 60000, environment);
        EXPECT_EQ(refused.status, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(refused.errors.endsWith(told) && !refused.errors.contains("Unresolved"))
            << refused.errors.toStdString();
    }
    QProcess window;
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    window.setProcessEnvironment(environment);
    window.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList command = asUser + QStringList{QUILLON_BINARY};
    window.start(command.first(), command.mid(1));
    QByteArray shown;
    while (!shown.contains("HOME is not set") && window.waitForReadyRead(10000))
        shown += window.readAll();
    EXPECT_TRUE(shown.contains(noDataFolderError().toUtf8())) << shown.toStdString();
    ::kill(pid_t(window.processId()), SIGTERM);
    ASSERT_TRUE(window.waitForFinished(10000));
    EXPECT_EQ(window.exitCode(), 1);
}

}  // namespace
