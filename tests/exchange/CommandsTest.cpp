#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>

#include "commands/CommandParser.h"
#include "exchange/ExchangeCommands.h"
#include "formats/ExchangeTestUtil.h"
#include "store/Backups.h"

namespace quillon::test {
namespace {

using Command = int (*)(ManagedObjectContext&, const CommandInput&);

// Runs the command on the fixture's catalogue with standard output and error sent to files;
// checks its status, its output and a part of its error text.
void expectRun(Command command, AppFixture& app, const QStringList& args, int status,
               const QString& out, const QString& err) {
    SCOPED_TRACE(args.join(' ').toStdString());
    QTemporaryDir dir;
    FILE* streams[] = {stdout, stderr};
    const QString paths[] = {dir.filePath("out"), dir.filePath("err")};
    int saved[2];
    for (int i : {0, 1}) {
        std::fflush(streams[i]);
        saved[i] = dup(fileno(streams[i]));
        std::freopen(QFile::encodeName(paths[i]).constData(), "w", streams[i]);
    }
    const QString name = command == &runExportCommand ? "export" : "import";
    const int exitStatus =
        command(app.context(), parseCommandLine(QStringList{"quillon", name} + args).input);
    for (int i : {0, 1}) {
        std::fflush(streams[i]);
        dup2(saved[i], fileno(streams[i]));
        close(saved[i]);
    }
    EXPECT_EQ(exitStatus, status);
    EXPECT_EQ(QString::fromUtf8(contents(paths[0])), out);
    const QString errors = QString::fromUtf8(contents(paths[1]));
    EXPECT_TRUE(errors.contains(err)) << errors.toStdString();
}

// The export writes the screens' file; a target that is no regular file is refused and left
// as it was, with nothing written beside it.
TEST(Commands, ExportWritesTheScreensFileOrRefusesAndLeavesTheTargetAlone) {
    AppFixture app;
    addMovie(app.context(), "Covered", 2000, "Ann")
        ->setImage(Attribute::frontImage, makeJpeg(50, 70, Qt::red));
    ASSERT_TRUE(app.context().save().ok);
    QTemporaryDir dir, targets;
    const QString path = dir.filePath("backup.csv");
    expectRun(runExportCommand, app, {path}, 0, "1 movies exported to " + path + "\n", "");
    EXPECT_EQ(contents(path), exportBytes(app.context()));
    const QString missing = dir.filePath("missing/backup.csv");
    expectRun(runExportCommand, app, {missing}, 1, "", missing + ": ");

    // Without the check the file would be renamed over them.
    const QString pipe = targets.filePath("pipe"), link = targets.filePath("link");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(pipe, link));
    for (const auto& [target, type] :
         {std::pair(pipe, mode_t(S_IFIFO)), std::pair(link, mode_t(S_IFLNK))}) {
        expectRun(runExportCommand, app, {target}, 1, "",
                  target +
                      " is not a regular file (a device, a pipe or a folder); nothing was "
                      "written\n");
        struct stat after;
        ASSERT_EQ(lstat(QFile::encodeName(target).constData(), &after), 0);
        EXPECT_EQ(after.st_mode & S_IFMT, type) << target.toStdString();
    }
    EXPECT_EQ(
        QDir(targets.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
        QStringList({"link", "pipe"}))
        << "nothing written beside them";
}

// A cover that cannot be read from the store is left out and named; the export exits with 1.
TEST(Commands, ExportNamesACoverItCannotReadAndExitsOne) {
    AppFixture app;
    QByteArray unreadable(40000, Qt::Uninitialized);  // noise spans many pages and repeats nowhere
    QRandomGenerator random(3);
    for (char& c : unreadable) c = char(random.bounded(256));
    MoviePtr damaged = addMovie(app.context(), "Damaged", 1999, "Ann");
    damaged->setImage(Attribute::frontImage, unreadable);
    damaged->setText(Attribute::notes, "kept");
    ASSERT_TRUE(app.context().save().ok);
    app.restart();  // closed, so that the file can be damaged under it
    breakCoverPages(app.dataDir(), unreadable);
    ASSERT_FALSE(HasFatalFailure());

    QTemporaryDir dir;
    const QString path = dir.filePath("backup.csv");
    expectRun(runExportCommand, app, {path}, 1, "1 movies exported to " + path + "\n",
              "Damaged (1999): front cover left out: it could not be read from the catalogue (");
    EXPECT_EQ(contents(path), "[QUILLON]\n^Ann^^^^^^Damaged^kept^^^0^^1999^^\n");
}

TEST(Commands, ImportPrintsCountsAndTellsTheWrongFileByStatus) {
    AppFixture app;
    QTemporaryDir dir;
    const auto file = [&](const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(writeBytes(dir.filePath(name), bytes));
        return dir.filePath(name);
    };
    const QString counts = "Data Import Completed\n%1 added, %2 updated, 0 skipped, %3 failed\n";
    const QString good = file("Quillon.csv", "[QUILLON]\n" + movieLine("One", "2000", "Ann"));
    expectRun(runImportCommand, app, {good}, 0, counts.arg("1", "0", "0"), "");
    expectRun(runImportCommand, app, {file("list.txt", movieLine("Two", "2000", "Ann"))}, 2, "",
              "list.txt Is The Incorrect Import File\n");
    test::refuseWrites(app.dataDir(), Entity::Movies, "INSERT", "NEW.name = 'boom'");
    expectRun(
        runImportCommand, app,
        {file("f.csv", "[QUILLON]\n" + movieLine("boom", "0", "") + movieLine("ok", "0", ""))}, 1,
        counts.arg("1", "0", "1"), test::kRefusedByTest);
    expectRun(runImportCommand, app, {dir.filePath("none.csv")}, 1, "", dir.filePath("none.csv"));
    EXPECT_EQ(app.context().count(Entity::Movies), 2);

    QDir(backups::folder(app.dataDir())).removeRecursively();
    ASSERT_TRUE(writeBytes(backups::folder(app.dataDir()), "blocks the folder"));
    expectRun(runImportCommand, app, {good}, 1, "",
              "The catalogue could not be backed up, so nothing was imported: ");
}

// Only a regular file, or a link to one, is imported: a pipe without a writer, a device or a
// folder is refused before it is opened, so nothing waits on it. A sparse 4 GB file without a
// line feed is read up to the line cap, not into memory whole.
TEST(Commands, ImportReadsOnlyRegularFilesAndStopsAtALineOverTheCap) {
    AppFixture app;
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(name); };
    const auto at = [&](const char* name) { return QFile::encodeName(path(name)); };
    ASSERT_TRUE(writeBytes(path("Quillon.csv"), "[QUILLON]\n" + movieLine("One", "2000", "Ann")));
    ASSERT_TRUE(QFile::link(path("Quillon.csv"), path("link.csv")));
    ASSERT_EQ(mkfifo(at("pipe"), 0600), 0);
    ASSERT_TRUE(QFile::link(path("pipe"), path("pipe-link")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    const bool madeDevice = mknod(at("zero"), S_IFCHR | 0600, makedev(1, 5)) == 0;
    QFile sparse(path("sparse.csv"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    sparse.write("[QUILLON]\n" + movieLine("Two", "2000", "Ann") + "^Bo^");
    ASSERT_TRUE(sparse.resize(qint64(4) << 30));
    sparse.close();

    for (const char* name : {"pipe", "pipe-link", "folder", "zero"}) {
        if (!madeDevice && name == std::string("zero")) continue;
        expectRun(runImportCommand, app, {path(name)}, 1, "",
                  path(name) +
                      " is not a regular file (a device, a pipe or a folder); nothing was "
                      "imported\n");
    }
    const QString counts = "Data Import Completed\n%1 added, 0 updated, 0 skipped, %2 failed\n";
    expectRun(runImportCommand, app, {path("link.csv")}, 0, counts.arg(1).arg(0), "");
    expectRun(runImportCommand, app, {path("sparse.csv")}, 1, counts.arg(1).arg(1),
              exchange::longLineText(exchange::kMaxLineBytes) +
                  ": that line and any below it were not imported\n");
    EXPECT_EQ(names(app.context()), QStringList({"One", "Two"}));
    if (!madeDevice) GTEST_SKIP() << "mknod needs root: the device was not tried";
}

// The options of other formats, each with what it prints and the status it ends with; a dry run
// changes nothing.
TEST(Commands, ImportAndExportTakeOtherFormatsAndTheirOptions) {
    AppFixture app;
    QTemporaryDir dir;
    const auto file = [&](const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(writeBytes(dir.filePath(name), bytes));
        return dir.filePath(name);
    };
    const QString peer = file("peer.csv", "Film;Jahr;Ort\nAlien;1979;Shelf\nAlien;1979;Box\n");
    const QString mapped = "Film=name,Jahr=year";
    const QString counts = "%1\n%2 added, %3 updated, 0 skipped, 0 failed\n";
    const QString done = "Data Import Completed", dry = "Dry run: nothing was changed";
    const QString wrong =
        "peer.csv Is The Incorrect Import File\nNo column holds the movies' names";
    const struct {
        QStringList args;
        int status;
        QString out;
        QString err;
        int movies;  // in the catalogue afterwards
    } cases[] = {
        {{peer}, 2, "", wrong, 0},
        {{"--map", mapped, "--dry-run", peer}, 0, counts.arg(dry, "1", "1"), "", 0},
        {{"--map", mapped, "--delimiter", ",", peer}, 2, "", wrong, 0},
        {{"--map", "Film=title", peer},
         2,
         "",
         "--map takes COLUMN=FIELD, and FIELD is name, year, director, cast, notes or another "
         "field's name, or ignore; not \"Film=title\"",
         0},
        {{"--format", "tellico", peer}, 1, "", "The file, line 1: ", 0},
        {{"--map", mapped, "--no-unmapped-notes", peer}, 0, counts.arg(done, "1", "1"), "", 1},
        {{"--map", mapped, peer}, 0, counts.arg(done, "0", "2"), "", 1},
        {{"--delimiter", ":", peer}, 2, "", "--delimiter must be \",\", \";\", \"|\" or tab", 1},
    };
    for (const auto& c : cases) {
        expectRun(runImportCommand, app, c.args, c.status, c.out, c.err);
        EXPECT_EQ(app.context().count(Entity::Movies), c.movies);
    }
    const auto alien = app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Alien"));
    ASSERT_EQ(alien.size(), 1u);
    EXPECT_EQ(alien[0]->notes(), "Ort: Box");

    const QString csv = dir.filePath("out.csv"), tc = dir.filePath("out.tc");
    const QString note =
        "Covers are not written to a spreadsheet; export a Quillon file or a Tellico collection "
        "to keep them.\n";
    expectRun(runExportCommand, app, {"--format", "csv", "--delimiter", ";", csv}, 0,
              "1 movies exported to " + csv + "\n" + note, "");
    EXPECT_EQ(contents(csv),
              "\xEF\xBB\xBFMovie Name;Year;Leading Actor;Second Actor;Leading Actress;Second "
              "Actress;Director;Producer;Writer;Rating;Run Time;Genre;Notes;Color\r\n"
              "Alien;1979;;;;;;;;;;;Ort: Box;\r\n");
    expectRun(runExportCommand, app, {"--delimiter", ";", tc}, 2, "",
              "export: --delimiter separates a spreadsheet's cells: it goes with --format csv\n"
              "Usage: quillon export");
    EXPECT_FALSE(QFile::exists(tc));
    expectRun(runExportCommand, app, {"--format", "tellico", tc}, 0,
              "1 movies exported to " + tc + "\n", "");
    expectRun(runImportCommand, app, {tc}, 0, counts.arg(done, "0", "1"), "");
}

}  // namespace
}  // namespace quillon::test
