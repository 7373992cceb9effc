// Whole imports into the catalogue: merging by name, year and director, round trips, failed
// saves, backups and a process killed mid-import.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ExchangeTestUtil.h"
#include "ImportLines.h"
#include "store/Backups.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

// Imports `file`; returns the importer's status and, when asked, the backup it made.
Status importFile(ManagedObjectContext& context, QByteArray file, QString* backup = nullptr) {
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    exchange::MovieImporter importer(context, &buffer);
    const Status status = importer.run();
    if (backup) *backup = importer.backupName();
    return status;
}

TEST(Import, MergesByNameYearDirectorInsertsOrSkips) {
    AppFixture app;
    MoviePtr existing = addMovie(app.context(), "Alien", 1979, "Scott");
    existing->setText(Attribute::notes, "keep me");
    existing->setRunTime(117);
    existing->setText(Attribute::imdb, "tt0078748");
    existing->setImage(Attribute::frontImage, makeJpeg(20, 30, Qt::red));
    addMovie(app.context(), "Twin", 2000, "Ann");
    addMovie(app.context(), "Twin", 2000, "Ann");
    ASSERT_TRUE(app.context().save().ok);
    const QByteArray storedCover = *existing->frontImage();

    const QByteArray file = "[QUILLON]\n" +
                            movieLine("Alien", "1979", "Scott", {{2, "Sci-Fi"}, {10, "R"}}) +
                            movieLine("alien", "1979", "Scott") +           // case differs: new
                            movieLine("Alien", "1986", "Scott") +           // year differs: new
                            movieLine("Alien", "+1979", "Scott ") +         // director differs: new
                            movieLine("Twin", "2000", "Ann", {{8, "x"}}) +  // two matches
                            movieLine("Dog's Day", "1975", "Lumet") +
                            movieLine("Dog's Day", "1975", "Lumet", {{9, "Bregman"}});
    EXPECT_EQ(importBytes(app.context(), file).summary(),
              "4 added, 2 updated, 1 skipped, 0 failed");
    EXPECT_EQ(existing->genre(), "Sci-Fi");
    EXPECT_EQ(existing->rating(), "R");
    EXPECT_EQ(existing->notes(), "keep me") << "an empty field never clears";
    EXPECT_EQ(existing->runTime(), 117) << "an empty run time changes nothing";
    EXPECT_EQ(existing->text(Attribute::imdb), "tt0078748");
    EXPECT_EQ(existing->frontImage(), storedCover);
    const auto dogs = app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Dog's Day"));
    ASSERT_EQ(dogs.size(), 1u) << "apostrophes are kept, so the second line updates the first";
    EXPECT_EQ(dogs[0]->producer(), "Bregman");
    for (const MoviePtr& twin :
         app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Twin")))
        EXPECT_FALSE(twin->notes().has_value());

    // Numbers that do not read: a run time clears, a year matches no movie.
    importBytes(app.context(), "[QUILLON]\n" + movieLine("Alien", "1979", "Scott", {{11, "1h40"}}) +
                                   movieLine("Fresh", "1991", "Bo", {{11, "99999"}}) +
                                   movieLine("Odd", "19x0", "Cy") + movieLine("Odd", "19x0", "Cy"));
    EXPECT_EQ(existing->runTime(), 0);
    const auto fresh = app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Fresh"));
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0]->runTime(), 0);
    EXPECT_FALSE(fresh[0]->hasChanges());
    EXPECT_EQ(app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Odd")).size(), 2u);
}

TEST(Import, RoundTripGivesIdenticalRecordsAndASecondImportChangesNothing) {
    AppFixture source;
    MoviePtr full = addMovie(source.context(), "Dog's Day", 1975, "Lumet");
    for (Attribute a :
         {Attribute::color_blackwhite, Attribute::genre, Attribute::leadingActor1,
          Attribute::leadingActor2, Attribute::leadingActress1, Attribute::leadingActress2,
          Attribute::producer, Attribute::rating, Attribute::writer})
        full->setText(a, attributeName(a) + " ✓ \"q\" ");
    full->setText(Attribute::notes, "two\nlines ^ with \\n and\r\nCRLF\\");
    full->setRunTime(-5);
    MoviePtr covered = Movies::insertInto(source.context());  // the file cannot tell "" from absent
    covered->setName("Covers");
    covered->setImage(Attribute::frontImage, makeJpeg(30, 40, Qt::yellow));
    covered->setImage(Attribute::backImage, makeJpeg(30, 40, Qt::cyan));
    Movies::insertInto(source.context());
    ASSERT_TRUE(source.context().save().ok);
    const QByteArray file = exportBytes(source.context());

    AppFixture target;
    EXPECT_EQ(importBytes(target.context(), file).summary(),
              "3 added, 0 updated, 0 skipped, 0 failed");
    // Every text and number comes back exactly; covers as the file's JPEG bytes, decoded.
    const auto withoutCovers = [](QStringList rows) {
        for (QString& row : rows) row = row.section('|', 0, -3);
        return rows;
    };
    const QStringList imported = dumpMovies(target.context());
    EXPECT_EQ(withoutCovers(imported), withoutCovers(dumpMovies(source.context())));
    const QList<QByteArray> coverFields = file.split('\n')[2].split('^');  // "Covers" sorts 2nd
    const MoviePtr covers =
        target.context().fetch<Movies>(Predicate::equals(Attribute::name, "Covers")).at(0);
    EXPECT_EQ(covers->frontImage(), QByteArray::fromBase64(coverFields[14]));
    EXPECT_EQ(covers->backImage(), QByteArray::fromBase64(coverFields[15]));

    EXPECT_EQ(importBytes(target.context(), file).summary(),
              "0 added, 3 updated, 0 skipped, 0 failed");
    EXPECT_FALSE(target.context().hasChanges());
    EXPECT_EQ(dumpMovies(target.context()), imported);
    target.restart();
    EXPECT_EQ(dumpMovies(target.context()), imported);
}

// A line whose save fails, refused by the store or holding a value larger than SQLite takes,
// fails whole and is taken back: the movie stays as it was, and later lines still save.
TEST(Import, AFailedSaveLosesOnlyItsOwnLine) {
    AppFixture app;
    MoviePtr existing = addMovie(app.context(), "Old", 2000, "Ann");
    existing->setText(Attribute::notes, "before");
    existing->setImage(Attribute::frontImage, makeJpeg(8, 8, Qt::red));
    ASSERT_TRUE(app.context().save().ok);
    const QStringList before = dumpMovies(app.context());
    addFailingTrigger(app.dataDir(), "INSERT", "NEW.name = 'boom'");
    addFailingTrigger(app.dataDir(), "UPDATE", "NEW.notes = 'boom'");
    app.context().setLengthLimitForTesting(1000);
    const QString tooLong(2000, QChar('n'));
    const QString smallCover = QString::fromLatin1(makeJpeg(9, 9, Qt::blue).toBase64());
    const QString bigCover = QString::fromLatin1(makeJpeg(200, 200, Qt::red).toBase64());

    LogCapture log;
    QStringList problems;
    const auto counts = importBytes(
        app.context(),
        "[QUILLON]\n" + movieLine("First", "2001", "Bo") +
            movieLine("boom", "2002", "Bo", {{8, "lost"}}) +
            movieLine("Old", "2000", "Ann", {{8, "boom"}, {2, "Drama"}, {14, smallCover}}) +
            movieLine("Old", "2000", "Ann", {{8, tooLong}, {2, "Horror"}}) +
            movieLine("Huge", "2001", "Bo", {{9, tooLong}}) +
            movieLine("Huge cover", "2001", "Bo", {{14, bigCover}}) +
            movieLine("Last", "2003", "Bo"),
        nullptr, &problems);
    EXPECT_EQ(counts.summary(), "2 added, 0 updated, 0 skipped, 5 failed");
    EXPECT_EQ(log.lines.size(), 5);
    ASSERT_EQ(problems.size(), 5);
    EXPECT_TRUE(problems[1].startsWith("Old (2000): ") && problems[1].contains("trigger"));
    EXPECT_TRUE(problems[2].startsWith("Old (2000): ") && problems[2].contains("too big"));
    EXPECT_TRUE(problems[3].startsWith("Huge (2001): "));
    EXPECT_FALSE(app.context().hasChanges()) << "the taken-back values went out with the next line";
    EXPECT_EQ(existing->notes(), "before");
    EXPECT_FALSE(existing->genre().has_value());

    app.restart();
    EXPECT_EQ(names(app.context()), QStringList({"Old", "First", "Last"}));
    QStringList after = dumpMovies(app.context());
    after.removeIf([](const QString& row) { return !row.contains("\"Old\""); });
    EXPECT_EQ(after, before);
}

// The copy in Backups/ is the store as it was before the import changed it; a copy that cannot
// be made, or a read-only catalogue, stops the import before anything changes.
TEST(Import, TheStoreIsBackedUpBeforeTheFirstChangeOrNothingChanges) {
    AppFixture app;
    MoviePtr movie = addMovie(app.context(), "Kept", 2000, "Ann");
    movie->setText(Attribute::notes, "before");
    ASSERT_TRUE(app.context().save().ok);
    EXPECT_FALSE(importFile(app.context(), movieLine("Kept", "2000", "Ann", {{8, "wrong"}})).ok);
    EXPECT_TRUE(importFile(app.context(), "[QUILLON]\n").ok);
    EXPECT_TRUE(backups::list(app.dataDir()).isEmpty()) << "nothing changed, nothing copied";

    QString name;
    const QByteArray after = "[QUILLON]\n" + movieLine("Kept", "2000", "Ann", {{8, "after"}});
    EXPECT_TRUE(importFile(app.context(), after, &name).ok);
    EXPECT_EQ(movie->notes(), "after");
    ASSERT_EQ(backups::list(app.dataDir()), QStringList{name});
    QTemporaryDir copyDir;
    ASSERT_TRUE(QFile::copy(QDir(backups::folder(app.dataDir())).filePath(name),
                            QDir(copyDir.path()).filePath(CatalogueStore::kFileName)));
    Status opened;
    auto copy = CatalogueStore::open(copyDir.path(), &opened);
    ASSERT_TRUE(copy) << opened.describe().toStdString();
    ASSERT_EQ(names(copy->viewContext()), QStringList{"Kept"});
    EXPECT_EQ(copy->viewContext().fetch<Movies>()[0]->notes(), "before");

    QDir(backups::folder(app.dataDir())).removeRecursively();
    ASSERT_TRUE(QFile(backups::folder(app.dataDir())).open(QIODevice::WriteOnly));  // blocks it
    const QByteArray lost = "[QUILLON]\n" + movieLine("Kept", "2000", "Ann", {{8, "lost"}});
    EXPECT_TRUE(
        importFile(app.context(), lost + movieLine("Other", "2001", "Bo"))
            .error.startsWith("The catalogue could not be backed up, so nothing was imported: "));
    app.restart();
    EXPECT_EQ(names(app.context()), QStringList{"Kept"});
    EXPECT_EQ(app.context().fetch<Movies>()[0]->notes(), "after");

    QTemporaryDir otherDir;
    addMovie(CatalogueStore::open(otherDir.path(), &opened)->viewContext(), "Kept", 2000, "Ann");
    auto readOnly = CatalogueStore::open(otherDir.path(), &opened, StoreOptions{0, true});
    ASSERT_TRUE(readOnly) << opened.describe().toStdString();
    EXPECT_EQ(importFile(readOnly->viewContext(), lost).error,
              "The catalogue is read-only, so nothing was imported");
    EXPECT_TRUE(backups::list(otherDir.path()).isEmpty());
}

// A child process imports with its own connection and dies inside the save of its seventh line:
// the six lines before it are in the store whole, the rest not at all.
TEST(Import, AKilledImportLeavesEveryLineWholeOrAbsent) {
    AppFixture app;
    MoviePtr old = addMovie(app.context(), "Old", 1990, "Ann");
    old->setText(Attribute::notes, "before");
    ASSERT_TRUE(app.context().save().ok);
    QByteArray file = "[QUILLON]\n";
    for (int i = 0; i < 12; ++i) {
        if (i == 3 || i == 8) {
            file += movieLine("Old", "1990", "Ann", {{8, QString("update %1").arg(i)}, {2, "G"}});
        }
        file += movieLine(QString("New %1").arg(i), "2000", "Bo", {{8, "n"}, {9, "p"}, {11, "90"}});
    }
    app.restart();  // closed: the child opens its own connection

    const pid_t child = fork();
    if (child == 0) {
        Status status;
        auto store = CatalogueStore::open(app.dataDir(), &status);
        int saves = 0;
        store->viewContext().setSaveProgressHookForTesting([&](int) {
            if (++saves == 7) _exit(0);
        });
        importBytes(store->viewContext(), file);
        _exit(1);
    }
    int exitStatus = -1;
    ASSERT_EQ(waitpid(child, &exitStatus, 0), child);
    ASSERT_TRUE(WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0);

    for (const MoviePtr& movie : app.context().fetch<Movies>()) {
        const bool old = movie->name() == "Old";
        EXPECT_EQ(movie->notes(), old ? "update 3" : "n");
        EXPECT_EQ(movie->genre().value_or(""), old ? "G" : "");
        EXPECT_EQ(movie->runTime(), old ? 0 : 90);
    }
    EXPECT_EQ(names(app.context()),
              QStringList({"Old", "New 0", "New 1", "New 2", "New 3", "New 4"}));
}

}  // namespace
}  // namespace quillon::test
