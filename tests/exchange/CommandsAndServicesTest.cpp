#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "ExchangeTestUtil.h"
#include "exchange/ExchangeCommands.h"
#include "store/Backups.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

struct CommandResult {
    int status;
    QString out;
    QString err;
};

QString readAndRestore(FILE* stream, int saved, const QString& path) {
    std::fflush(stream);
    dup2(saved, fileno(stream));
    close(saved);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

// Runs a command with standard output and error sent to files.
CommandResult runCaptured(int (*command)(const QStringList&), const QStringList& args) {
    QTemporaryDir dir;
    const QString outPath = dir.filePath("out"), errPath = dir.filePath("err");
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(fileno(stdout)), savedErr = dup(fileno(stderr));
    std::freopen(outPath.toLocal8Bit().constData(), "w", stdout);
    std::freopen(errPath.toLocal8Bit().constData(), "w", stderr);
    const int status = command(args);
    return {status, readAndRestore(stdout, savedOut, outPath),
            readAndRestore(stderr, savedErr, errPath)};
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

// Runs the command and checks its status, output and a part of its error text.
void expectRun(int (*command)(const QStringList&), const QStringList& args, int status,
               const QString& out, const QString& err) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const CommandResult result = runCaptured(command, args);
    EXPECT_EQ(result.status, status);
    EXPECT_EQ(result.out, out);
    EXPECT_TRUE(result.err.contains(err)) << result.err.toStdString();
}

TEST(Commands, ExportWritesTheSameFileAsTheScreensAndReportsFailures) {
    AppFixture app;
    MoviePtr movie = addMovie(app.context(), "Covered", 2000, "Ann");
    movie->setImage(Attribute::frontImage, makeJpeg(50, 70, Qt::red));
    ASSERT_TRUE(app.context().save().ok);
    QTemporaryDir dir;
    const QString path = dir.filePath("backup.csv");

    expectRun(runExportCommand, {path}, 0, "1 movies exported to " + path + "\n", "");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), exportBytes(app.context()));
    expectRun(runExportCommand, {dir.filePath("missing/backup.csv")}, 1, "",
              dir.filePath("missing/backup.csv") + ": ");
    expectRun(runExportCommand, {}, 1, "", "usage: quillon export FILE\n");
    expectRun(runExportCommand, {"a", "b"}, 1, "", "usage: quillon export FILE\n");
}

TEST(Commands, ExportRefusesATargetThatIsNoRegularFileAndLeavesItAlone) {
    AppFixture app;
    addMovie(app.context(), "One", 2000, "Ann");
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe"), folder = dir.filePath("folder");
    const QString link = dir.filePath("link"), device = dir.filePath("full");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::link(pipe, link));
    QList<std::pair<QString, mode_t>> targets = {
        {pipe, S_IFIFO}, {folder, S_IFDIR}, {link, S_IFLNK}};
    // The same device as /dev/full, where the system lets us make one.
    if (mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 7)) == 0)
        targets.append({device, S_IFCHR});

    for (const auto& [target, type] : targets) {
        expectRun(runExportCommand, {target}, 1, "",
                  target +
                      " is not a regular file (a device, a pipe or a folder); nothing was "
                      "written\n");
        struct stat after;
        ASSERT_EQ(lstat(QFile::encodeName(target).constData(), &after), 0);
        EXPECT_EQ(after.st_mode & S_IFMT, type) << target.toStdString();
    }
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(),
        targets.size())
        << "nothing written beside them";
    EXPECT_TRUE(QDir(folder).isEmpty());
}

TEST(Commands, ExportNamesEveryCoverItLeavesOutAndExitsOne) {
    AppFixture app;
    QImage noise(200, 200, QImage::Format_RGB32);  // noise keeps the JPEG over many pages
    QRandomGenerator random(3);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, random.generate());
    QByteArray unreadable;
    QBuffer buffer(&unreadable);
    buffer.open(QIODevice::WriteOnly);
    noise.save(&buffer, "JPG", 95);
    MoviePtr damaged = addMovie(app.context(), "Damaged", 1999, "Ann");
    damaged->setImage(Attribute::frontImage, unreadable);
    damaged->setText(Attribute::notes, "kept");
    MoviePtr odd = addMovie(app.context(), "Odd", 2000, "Bo");
    odd->setImage(Attribute::backImage, QByteArray("not a picture"));
    ASSERT_TRUE(app.context().save().ok);
    app.restart();  // closed, so that the file can be damaged under it
    breakCoverPages(app.dataDir(), unreadable);
    ASSERT_FALSE(HasFatalFailure());

    QTemporaryDir dir;
    const QString path = dir.filePath("backup.csv");
    const CommandResult result = runCaptured(runExportCommand, {path});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "2 movies exported to " + path + "\n");
    const QStringList errors = result.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errors.size(), 2) << result.err.toStdString();
    EXPECT_TRUE(errors[0].startsWith(
        "Damaged (1999): front cover left out: it could not be read from the catalogue ("))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[1].startsWith("Odd (2000): back cover left out: it could not be decoded ("))
        << errors[1].toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              "[QUILLON]\n^Ann^^^^^^Damaged^kept^^^0^^1999^^\n^Bo^^^^^^Odd^^^^0^^2000^^\n");
}

TEST(Commands, ImportPrintsCountsAndTellsTheWrongFileByStatus) {
    AppFixture app;
    QTemporaryDir dir;
    const QString counts = "Data Import Completed\n%1 added, %2 updated, 0 skipped, %3 failed\n";
    const QString good = writeFile(dir, "Quillon.csv", "[QUILLON]\n^Ann^^^^^^One^^^^90^^2000^^\n");
    expectRun(runImportCommand, {good}, 0, counts.arg("1", "0", "0"), "");
    expectRun(runImportCommand, {good}, 0, counts.arg("0", "1", "0"), "");
    expectRun(runImportCommand, {writeFile(dir, "list.txt", "^Ann^^^^^^Two^^^^90^^2000^^\n")}, 2,
              "", "list.txt Is The Incorrect Import File\n");
    refuseWrites(app.dataDir(), Entity::Movies, "INSERT", "NEW.name = 'boom'");
    expectRun(runImportCommand,
              {writeFile(dir, "f.csv", "[QUILLON]\n^^^^^^^boom^^^^0^^0^^\n^^^^^^^ok^^^^0^^0^^\n")},
              1, counts.arg("1", "0", "1"), kRefusedByTest);
    expectRun(runImportCommand, {dir.filePath("none.csv")}, 1, "", dir.filePath("none.csv"));
    expectRun(runImportCommand,
              {writeFile(dir, "cut.csv", "[QUILLON]\n^Ann^^^^^^Cut^^^^0^^2001^^")}, 1,
              counts.arg("0", "0", "1"),
              "The last line ends without a line feed, so the file may be cut short: that line was "
              "not imported\n");
    EXPECT_EQ(app.context().count(Entity::Movies), 2);

    QDir(backups::folder(app.dataDir())).removeRecursively();
    QFile(backups::folder(app.dataDir())).open(QIODevice::WriteOnly);  // blocks the folder
    expectRun(runImportCommand, {good}, 1, "",
              "The catalogue could not be backed up, so nothing was imported: ");
}

}  // namespace
}  // namespace quillon::test
