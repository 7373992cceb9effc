// Whole imports into the catalogue: merging by name, year and director, failed saves, backups.
#include "ExchangeTestUtil.h"
#include "store/Backups.h"

namespace quillon::test {
namespace {

TEST(Import, MergesByNameYearDirectorInsertsOrSkips) {
    AppFixture app;
    MoviePtr existing = addMovie(app.context(), "Alien", 1979, "Scott");
    existing->setText(Attribute::notes, "keep me");
    existing->setRunTime(117);
    addMovie(app.context(), "Twin", 2000, "Ann");
    addMovie(app.context(), "Twin", 2000, "Ann");
    ASSERT_TRUE(app.context().save().ok);

    const QByteArray file = "[QUILLON]\n" +
                            movieLine("Alien", "1979", "Scott", {{2, "Sci-Fi"}, {10, "R"}}) +
                            movieLine("alien", "1979", "Scott") +           // case differs: new
                            movieLine("Alien", "1986", "Scott") +           // year differs: new
                            movieLine("Alien", "+1979", "Scott ") +         // director differs: new
                            movieLine("Twin", "2000", "Ann", {{8, "x"}}) +  // two matches
                            movieLine("Dog's Day", "1975", "Lumet") +
                            movieLine("Dog's Day", "1975", "Lumet", {{9, "Bregman"}});
    EXPECT_EQ(importBytes(app.context(), file).counts.summary(),
              "4 added, 2 updated, 1 skipped, 0 failed");
    EXPECT_EQ(existing->genre(), "Sci-Fi");
    EXPECT_EQ(existing->rating(), "R");
    EXPECT_EQ(existing->notes(), "keep me") << "an empty field never clears";
    EXPECT_EQ(existing->runTime(), 117) << "an empty run time changes nothing";
    const auto dogs = app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Dog's Day"));
    ASSERT_EQ(dogs.size(), 1u) << "apostrophes are kept, so the second line updates the first";
    EXPECT_EQ(dogs[0]->producer(), "Bregman");

    // Numbers that do not read: a run time clears, a year matches no movie.
    importBytes(app.context(), "[QUILLON]\n" + movieLine("Alien", "1979", "Scott", {{11, "1h40"}}) +
                                   movieLine("Fresh", "1991", "Bo", {{11, "99999"}}) +
                                   movieLine("Odd", "19x0", "Cy") + movieLine("Odd", "19x0", "Cy"));
    EXPECT_EQ(existing->runTime(), 0);
    const auto fresh = app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Fresh"));
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0]->runTime(), 0);
    EXPECT_EQ(app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Odd")).size(), 2u);
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
    test::refuseWrites(app.dataDir(), Entity::Movies, "INSERT", "NEW.name = 'boom'");
    test::refuseWrites(app.dataDir(), Entity::Movies, "UPDATE", "NEW.notes = 'boom'");
    app.context().setLengthLimitForTesting(1000);
    const QString cover = QString::fromLatin1(makeJpeg(9, 9, Qt::blue).toBase64());

    LogCapture log;
    const Imported imported =
        importBytes(app.context(),
                    "[QUILLON]\n" + movieLine("First", "2001", "Bo") +
                        movieLine("boom", "2002", "Bo", {{8, "lost"}}) +
                        movieLine("Old", "2000", "Ann", {{8, "boom"}, {2, "Drama"}, {14, cover}}) +
                        movieLine("Old", "2000", "Ann", {{8, QString(2000, 'n')}, {2, "Horror"}}) +
                        movieLine("Last", "2003", "Bo"));
    EXPECT_EQ(imported.counts.summary(), "2 added, 0 updated, 0 skipped, 3 failed");
    EXPECT_EQ(log.lines.size(), 3);
    ASSERT_EQ(imported.problems.size(), 3);
    EXPECT_TRUE(imported.problems[1].startsWith("Old (2000): ") &&
                imported.problems[1].contains(test::kRefusedByTest));
    EXPECT_TRUE(imported.problems[2].contains("too big"));
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
    addMovie(app.context(), "Kept", 2000, "Ann")->setText(Attribute::notes, "before");
    ASSERT_TRUE(app.context().save().ok);
    const auto notes = [&] { return app.context().fetch<Movies>().at(0)->notes(); };
    EXPECT_FALSE(importBytes(app.context(), movieLine("Kept", "2000", "Ann")).status.ok);
    EXPECT_TRUE(importBytes(app.context(), "[QUILLON]\n").status.ok);
    EXPECT_TRUE(backups::list(app.dataDir()).isEmpty()) << "nothing changed, nothing copied";

    const QByteArray after = "[QUILLON]\n" + movieLine("Kept", "2000", "Ann", {{8, "after"}});
    const QString backup = importBytes(app.context(), after).backup;
    EXPECT_EQ(notes(), "after");
    ASSERT_EQ(backups::list(app.dataDir()), QStringList{backup});
    const QDateTime later = QDateTime::currentDateTime().addSecs(60);  // a name of its own
    app.restart();
    {
        Status locked;
        const auto lock = StoreLock::take(app.dataDir(), 0, &locked);
        ASSERT_TRUE(lock) << locked.describe().toStdString();
        ASSERT_TRUE(backups::restore(*lock, backup, nullptr, later).ok);
    }
    EXPECT_EQ(notes(), "before");

    QDir(backups::folder(app.dataDir())).removeRecursively();
    ASSERT_TRUE(writeBytes(backups::folder(app.dataDir()), "blocks the folder"));
    EXPECT_TRUE(importBytes(app.context(), after + movieLine("Other", "2001", "Bo"))
                    .status.error.startsWith(
                        "The catalogue could not be backed up, so nothing was imported: "));
    app.restart();
    EXPECT_EQ(names(app.context()), QStringList{"Kept"});
    EXPECT_EQ(notes(), "before");

    app.restart();
    Status opened;
    auto readOnly = CatalogueStore::open(app.dataDir(), &opened, StoreOptions{0, true});
    ASSERT_TRUE(readOnly) << opened.describe().toStdString();
    EXPECT_EQ(importBytes(readOnly->viewContext(), after).status.error,
              "The catalogue is read-only, so nothing was imported");
}

}  // namespace
}  // namespace quillon::test
