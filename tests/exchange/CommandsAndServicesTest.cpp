#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "ExchangeTestUtil.h"
#include "exchange/ExchangeCommands.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

// Runs a command with standard output and error sent to files; returns status and both texts.
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

TEST(Commands, ExportWritesTheSameFileAsTheScreensAndReportsFailures) {
    AppFixture app;
    MoviePtr movie = addMovie(app.context(), "Covered", 2000, "Ann");
    movie->setImage(Attribute::frontImage, makeJpeg(50, 70, Qt::red));
    ASSERT_TRUE(app.context().save().ok);
    QTemporaryDir dir;
    const QString path = dir.filePath("backup.csv");

    CommandResult result = runCaptured(runExportCommand, {path});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "1 movies exported to " + path + "\n");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), exportBytes(app.context()));

    result = runCaptured(runExportCommand, {dir.filePath("missing/backup.csv")});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.startsWith(dir.filePath("missing/backup.csv") + ": "));
    EXPECT_EQ(runCaptured(runExportCommand, {}).status, 1);
    EXPECT_EQ(runCaptured(runExportCommand, {"a", "b"}).err, "usage: quillon export FILE\n");
}

TEST(Commands, ImportPrintsCountsAndTellsTheWrongFileByStatus) {
    AppFixture app;
    QTemporaryDir dir;
    const QString good = writeFile(dir, "Quillon.csv", "[QUILLON]\n^Ann^^^^^^One^^^^90^^2000^^\n");
    CommandResult result = runCaptured(runImportCommand, {good});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Data Import Completed\n1 added, 0 updated, 0 skipped, 0 failed\n");
    result = runCaptured(runImportCommand, {good});
    EXPECT_EQ(result.out, "Data Import Completed\n0 added, 1 updated, 0 skipped, 0 failed\n");

    const QString wrong = writeFile(dir, "list.txt", "^Ann^^^^^^Two^^^^90^^2000^^\n");
    result = runCaptured(runImportCommand, {wrong});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "list.txt Is The Incorrect Import File\n");
    EXPECT_EQ(app.context().count(Entity::Movies), 1);

    addFailingTrigger(app.dataDir(), "INSERT", "NEW.name = 'boom'");
    const QString failing =
        writeFile(dir, "f.csv", "[QUILLON]\n^^^^^^^boom^^^^0^^0^^\n^^^^^^^ok^^^^0^^0^^\n");
    result = runCaptured(runImportCommand, {failing});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Data Import Completed\n1 added, 0 updated, 0 skipped, 1 failed\n");
    EXPECT_TRUE(result.err.contains("refused by trigger")) << result.err.toStdString();

    EXPECT_EQ(runCaptured(runImportCommand, {dir.filePath("none.csv")}).status, 1);
}

}  // namespace
}  // namespace quillon::test
