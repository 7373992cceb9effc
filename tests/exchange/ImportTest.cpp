#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "ExchangeTestUtil.h"
#include "exchange/Base64.h"
#include "exchange/LineReader.h"
#include "store/Backups.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

// A movie line with the key fields set; `more` overrides fields by index.
QByteArray movieLine(const QString& name, const QString& year, const QString& director,
                     const QMap<int, QString>& more = {}) {
    QStringList fields(16);
    fields[7] = name;
    fields[13] = year;
    fields[1] = director;
    for (auto it = more.begin(); it != more.end(); ++it) fields[it.key()] = it.value();
    return fields.join('^').toUtf8() + '\n';
}

QStringList names(ManagedObjectContext& context) {
    QStringList out;
    for (const MoviePtr& m : context.fetch<Movies>()) out << m->name().value_or("-");
    return out;
}

// An import of bytes, run to its end.
struct FileImport {
    FileImport(ManagedObjectContext& context, QByteArray file)
        : bytes(std::move(file)), buffer(&bytes), importer(context, &buffer) {
        buffer.open(QIODevice::ReadOnly);
        importer.run();
    }
    QByteArray bytes;
    QBuffer buffer;
    exchange::MovieImporter importer;
};

TEST(Import, HeaderIsFoundOnAnyLineAndOnlyExactly) {
    AppFixture app;
    bool wrong = false;
    importBytes(
        app.context(),
        movieLine("Above", "2000", "Ann") + "[QUILLON]\n" + movieLine("Below", "2001", "Bo"),
        &wrong);
    EXPECT_FALSE(wrong);
    EXPECT_EQ(app.context().count(Entity::Movies), 2) << "lines above the header are movies too";

    for (const QByteArray& file :
         {QByteArray(""), QByteArray("[quillon]\n") + movieLine("X", "1", "Y"),
          QByteArray(" [QUILLON]\n") + movieLine("X", "1", "Y"),
          QByteArray("[QUILLON] \n") + movieLine("X", "1", "Y"), QByteArray("\n\n\n")}) {
        const auto counts = importBytes(app.context(), file, &wrong);
        EXPECT_TRUE(wrong) << file.toStdString();
        EXPECT_EQ(counts.summary(), "0 added, 0 updated, 0 skipped, 0 failed");
    }
    EXPECT_EQ(app.context().count(Entity::Movies), 2);
}

TEST(Import, LineEndsConcatenatedFilesAndEncodings) {
    AppFixture app;
    const QByteArray crlf = "[QUILLON]\r\n" + movieLine("One", "2000", "Ann").replace("\n", "\r\n");
    const QByteArray twoFiles = "[QUILLON]\n" + movieLine("Two", "2000", "Ann") + "[QUILLON]\n" +
                                movieLine("Three", "2000", "Ann");
    const QByteArray utf8Bom = "\xEF\xBB\xBF[QUILLON]\n" + movieLine("Fünf", "2000", "Ann");
    const QString wide = "[QUILLON]\n" + QString::fromUtf8(movieLine("Sechs ß", "2000", "Ann"));
    QByteArray utf16 = "\xFF\xFE";
    utf16.append(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
    const QByteArray latin1 = "[QUILLON]\n" + QString("Sieben é").toLatin1() + "^Ann\n";
    for (const QByteArray& file : {crlf, twoFiles, utf8Bom, utf16, latin1}) {
        bool wrong = true;
        importBytes(app.context(), file, &wrong);
        EXPECT_FALSE(wrong);
    }
    QStringList names;
    for (const MoviePtr& movie : app.context().fetch<Movies>()) {
        names << movie->name().value_or(movie->text(Attribute::color_blackwhite).value_or("?"));
    }
    EXPECT_EQ(names, QStringList({"One", "Two", "Three", "Fünf", "Sechs ß", "Sieben é"}));
}

// A file cut short mid-transfer must not read as a success: its last line has no line feed.
TEST(Import, AFileCutShortFailsItsLastLine) {
    AppFixture source;
    addMovie(source.context(), "First", 2000, "Ann");
    MoviePtr last = addMovie(source.context(), "Last", 2001, "Bo");
    last->setImage(Attribute::frontImage, makeJpeg(60, 90, Qt::red));
    ASSERT_TRUE(source.context().save().ok);
    const QByteArray file = exportBytes(source.context());
    const qsizetype lastLine = file.lastIndexOf('\n', file.size() - 2) + 1;
    const qsizetype cover = file.indexOf("^/9j/", lastLine) + 1;
    for (const qsizetype length :
         {file.size() - 1, cover + (file.size() - cover) / 8 * 4, lastLine + 12}) {
        AppFixture target;
        QStringList problems;
        const auto counts = importBytes(target.context(), file.left(length), nullptr, &problems);
        EXPECT_EQ(counts.summary(), "1 added, 0 updated, 0 skipped, 1 failed") << length;
        EXPECT_EQ(problems, QStringList{"The last line ends without a line feed, so the file may "
                                        "be cut short: that line was not imported"});
        EXPECT_TRUE(
            target.context().fetch<Movies>(Predicate::equals(Attribute::name, "Last")).empty());
    }
}

// The copy in Backups/ is the store as it was before the import changed it; a copy that cannot
// be made stops the import before anything changes.
TEST(Import, TheStoreIsBackedUpBeforeTheFirstChangeOrNothingChanges) {
    AppFixture app;
    MoviePtr movie = addMovie(app.context(), "Kept", 2000, "Ann");
    movie->setText(Attribute::notes, "before");
    ASSERT_TRUE(app.context().save().ok);
    importBytes(app.context(), movieLine("Kept", "2000", "Ann", {{8, "wrong file"}}));
    importBytes(app.context(), "[QUILLON]\n");
    EXPECT_TRUE(backups::list(app.dataDir()).isEmpty()) << "nothing changed, nothing copied";

    FileImport applied(app.context(),
                       "[QUILLON]\n" + movieLine("Kept", "2000", "Ann", {{8, "after"}}));
    const QString name = applied.importer.backupName();
    EXPECT_EQ(movie->notes(), "after");
    ASSERT_EQ(backups::list(app.dataDir()), QStringList{name});
    QTemporaryDir copyDir;
    ASSERT_TRUE(QFile::copy(QDir(backups::folder(app.dataDir())).filePath(name),
                            QDir(copyDir.path()).filePath(CatalogueStore::kFileName)));
    Status opened;
    auto copy = CatalogueStore::open(copyDir.path(), &opened);
    ASSERT_TRUE(copy) << opened.describe().toStdString();
    const auto kept = copy->viewContext().fetch<Movies>();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0]->notes(), "before");

    QDir(backups::folder(app.dataDir())).removeRecursively();
    ASSERT_TRUE(QFile(backups::folder(app.dataDir())).open(QIODevice::WriteOnly));  // blocks it
    FileImport stopped(app.context(), "[QUILLON]\n" +
                                          movieLine("Kept", "2000", "Ann", {{8, "lost"}}) +
                                          movieLine("Other", "2001", "Bo"));
    EXPECT_TRUE(stopped.importer.stopError().startsWith(
        "The catalogue could not be backed up, so nothing was imported: "));
    EXPECT_EQ(stopped.importer.counts().summary(), "0 added, 0 updated, 0 skipped, 0 failed");
    app.restart();
    EXPECT_EQ(dumpMovies(app.context()).size(), 1);
    EXPECT_EQ(app.context().fetch<Movies>()[0]->notes(), "after");

    QTemporaryDir otherDir;
    addMovie(CatalogueStore::open(otherDir.path(), &opened)->viewContext(), "Kept", 2000, "Ann");
    auto readOnly = CatalogueStore::open(otherDir.path(), &opened, StoreOptions{0, true});
    ASSERT_TRUE(readOnly) << opened.describe().toStdString();
    FileImport refusedToo(readOnly->viewContext(),
                          "[QUILLON]\n" + movieLine("Kept", "2000", "Ann", {{8, "lost"}}));
    EXPECT_EQ(refusedToo.importer.stopError(),
              "The catalogue is read-only, so nothing was imported");
    EXPECT_TRUE(backups::list(otherDir.path()).isEmpty());
}

// A value beyond what SQLite stores fails to bind: its line fails whole, the movie stays as it was.
TEST(Import, AFieldLargerThanTheStoreTakesFailsOnlyItsLine) {
    AppFixture app;
    MoviePtr movie = addMovie(app.context(), "Big", 2000, "Ann");
    movie->setText(Attribute::notes, "before");
    movie->setText(Attribute::genre, "Drama");
    ASSERT_TRUE(app.context().save().ok);
    app.context().setLengthLimitForTesting(1000);
    const QString tooLong(2000, QChar('n'));
    QStringList problems;
    const auto counts = importBytes(
        app.context(),
        "[QUILLON]\n" + movieLine("Big", "2000", "Ann", {{8, tooLong}, {2, "Horror"}}) +
            movieLine("Huge", "2001", "Bo", {{9, tooLong}}) +
            movieLine("Huge cover", "2001", "Bo",
                      {{14, QString::fromLatin1(makeJpeg(200, 200, Qt::red).toBase64())}}) +
            movieLine("Small", "2002", "Cy"),
        nullptr, &problems);
    EXPECT_EQ(counts.summary(), "1 added, 0 updated, 0 skipped, 3 failed");
    ASSERT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems[0].startsWith("Big (2000): ") && problems[0].contains("too big"));
    EXPECT_TRUE(problems[1].startsWith("Huge (2001): "));
    app.restart();
    EXPECT_EQ(names(app.context()), QStringList({"Big", "Small"}));
    const MoviePtr kept = app.context().fetch<Movies>()[0];
    EXPECT_EQ(kept->notes(), "before");
    EXPECT_EQ(kept->genre(), "Drama");
}

TEST(Import, LinesLongerThanOneReadAreWhole) {
    AppFixture app;
    const QString notes(9 << 20, QChar('n'));
    QByteArray file = "[QUILLON]\r\n" + movieLine("Long", "2000", "Ann", {{8, notes}});
    file.replace("\n", "\r\n");
    file += QByteArray((4 << 20) - 3, '\r') + movieLine("Short", "2001", "Bo");
    EXPECT_EQ(importBytes(app.context(), file).summary(),
              "2 added, 0 updated, 0 skipped, 0 failed");
    const auto movies = app.context().fetch<Movies>(std::nullopt, {{Attribute::name, true}});
    ASSERT_EQ(movies.size(), 2u);
    EXPECT_EQ(movies[0]->notes(), notes);
    EXPECT_EQ(movies[1]->name(), "Short");
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

TEST(Import, ACoverThatDoesNotDecodeNeverDestroysAStoredCover) {
    AppFixture app;
    MoviePtr existing = addMovie(app.context(), "Covered", 2000, "Ann");
    const QByteArray front = makeJpeg(20, 30, Qt::red);
    const QByteArray back = makeJpeg(20, 30, Qt::blue);
    existing->setImage(Attribute::frontImage, front);
    existing->setImage(Attribute::backImage, back);
    ASSERT_TRUE(app.context().save().ok);

    const QByteArray jpeg = makeJpeg(40, 40, Qt::green), good = jpeg.toBase64();
    const QList<QByteArray> damaged = {
        jpeg.chopped(30).toBase64(),  // cut short: no end-of-image marker
        good.chopped(1),
        good.left(good.size() - 4) + "A===",
        good.left(8) + "\t" + good.mid(9),
        good.left(40) + "=" + good.mid(41),
        QByteArray("bm90IGEgcGljdHVyZQ==")};
    for (const QByteArray& bad : damaged) {
        const auto counts = importBytes(
            app.context(),
            "[QUILLON]\n" +
                movieLine("Covered", "2000", "Ann", {{14, bad}, {15, bad}, {6, "Eve"}}) +
                movieLine("New", "2000", "Ann", {{14, bad}}));
        EXPECT_EQ(counts.failed, 0);
        EXPECT_EQ(existing->frontImage(), front);
        EXPECT_EQ(existing->backImage(), back);
        EXPECT_EQ(existing->leadingActress2(), "Eve") << "the rest of the line applies";
    }
    for (const MoviePtr& added :
         app.context().fetch<Movies>(Predicate::equals(Attribute::name, "New"))) {
        EXPECT_FALSE(added->hasImage(Attribute::frontImage));
    }
    importBytes(app.context(), "[QUILLON]\n" + movieLine("Covered", "2000", "Ann", {{15, good}}));
    EXPECT_EQ(existing->backImage(), QByteArray::fromBase64(good)) << "stored as decoded";
}

TEST(Import, ShortLongAndCaretSplitLines) {
    AppFixture app;
    const QByteArray file =
        "[QUILLON]\n"
        "Color^Ann^Drama\n"                         // three fields
        "^Bo^^^^^^Long^^^^90^^2001^^^extra^more\n"  // eighteen fields
        "^Cy^^^^^^Split^A^B^^^95^^2002^^\n";        // caret in notes
    importBytes(app.context(), file);
    const auto movies = app.context().fetch<Movies>(std::nullopt, {{Attribute::director, true}});
    ASSERT_EQ(movies.size(), 3u);
    EXPECT_EQ(movies[0]->text(Attribute::color_blackwhite), "Color");
    EXPECT_EQ(movies[0]->genre(), "Drama");
    EXPECT_FALSE(movies[0]->name().has_value());
    EXPECT_EQ(movies[1]->name(), "Long");
    EXPECT_EQ(movies[1]->runTime(), 90);
    EXPECT_EQ(movies[1]->year(), 2001);
    EXPECT_EQ(movies[2]->notes(), "A") << "the caret shifts later fields";
    EXPECT_EQ(movies[2]->producer(), "B");
    EXPECT_EQ(movies[2]->writer(), "95");
    EXPECT_EQ(movies[2]->runTime(), 0);
}

TEST(Import, RoundTripGivesIdenticalRecordsAndASecondImportChangesNothing) {
    AppFixture source;
    MoviePtr full = addMovie(source.context(), "Dog's Day", 1975, "Lumet");
    const QList<Attribute> texts = {
        Attribute::color_blackwhite, Attribute::genre,           Attribute::leadingActor1,
        Attribute::leadingActor2,    Attribute::leadingActress1, Attribute::leadingActress2,
        Attribute::producer,         Attribute::rating,          Attribute::writer};
    for (Attribute a : texts) full->setText(a, attributeName(a) + " ✓ \"q\" ");
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
    const QStringList imported = dumpMovies(target.context());
    ASSERT_EQ(imported.size(), 3);
    // Every text and number comes back exactly; covers are the file's JPEG bytes, as decoded.
    const QList<QByteArray> lines = file.split('\n');
    const auto movies = target.context().fetch<Movies>(
        std::nullopt, {{Attribute::name, true}, {Attribute::year, true}});
    const auto originals = source.context().fetch<Movies>(
        std::nullopt, {{Attribute::name, true}, {Attribute::year, true}});
    for (int i = 0; i < 3; ++i) {
        for (int a = 0; a < int(Attribute::frontImage); ++a) {
            const Attribute attribute = Attribute(a);
            if (attribute == Attribute::imdb) continue;
            EXPECT_EQ(movies[i]->text(attribute), originals[i]->text(attribute)) << a;
            EXPECT_EQ(movies[i]->number(attribute), originals[i]->number(attribute)) << a;
        }
        const QList<QByteArray> fields = lines[i + 1].split('^');
        EXPECT_EQ(movies[i]->frontImage().value_or(""), QByteArray::fromBase64(fields[14]));
        EXPECT_EQ(movies[i]->backImage().value_or(""), QByteArray::fromBase64(fields[15]));
    }

    EXPECT_EQ(importBytes(target.context(), file).summary(),
              "0 added, 3 updated, 0 skipped, 0 failed");
    EXPECT_FALSE(target.context().hasChanges());
    EXPECT_EQ(dumpMovies(target.context()), imported);
    target.restart();
    EXPECT_EQ(dumpMovies(target.context()), imported);
}

TEST(Import, AFailedSaveLosesOnlyItsOwnLine) {
    AppFixture app;
    MoviePtr existing = addMovie(app.context(), "Old", 2000, "Ann");
    existing->setText(Attribute::notes, "before");
    existing->setImage(Attribute::frontImage, makeJpeg(8, 8, Qt::red));
    ASSERT_TRUE(app.context().save().ok);
    const QStringList before = dumpMovies(app.context());
    refuseWrites(app.dataDir(), Entity::Movies, "INSERT", "NEW.name = 'boom'");
    refuseWrites(app.dataDir(), Entity::Movies, "UPDATE", "NEW.notes = 'boom'");

    LogCapture log;
    const QByteArray cover = makeJpeg(9, 9, Qt::blue).toBase64();
    const auto counts =
        importBytes(app.context(),
                    "[QUILLON]\n" + movieLine("First", "2001", "Bo") +
                        movieLine("boom", "2002", "Bo", {{8, "lost"}}) +
                        movieLine("Old", "2000", "Ann", {{8, "boom"}, {2, "Drama"}, {14, cover}}) +
                        movieLine("Last", "2003", "Bo"));
    EXPECT_EQ(counts.summary(), "2 added, 0 updated, 0 skipped, 2 failed");
    EXPECT_EQ(log.lines.size(), 2);
    EXPECT_FALSE(app.context().hasChanges()) << "the taken-back values went out with the next line";
    EXPECT_TRUE(app.context().fetch<Movies>(Predicate::equals(Attribute::name, "boom")).empty());
    EXPECT_EQ(existing->notes(), "before");
    EXPECT_FALSE(existing->genre().has_value());

    app.restart();
    EXPECT_EQ(names(app.context()), QStringList({"Old", "First", "Last"}));
    QStringList after = dumpMovies(app.context());
    after.removeIf([](const QString& row) { return !row.contains("\"Old\""); });
    EXPECT_EQ(after, before);
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

// Imports every prefix of a valid file, then a few thousand damaged copies, into one store:
// nothing crashes, every line ends saved or taken back, and what the store holds on disk is
// what the context shows.
TEST(Import, TruncatedAndDamagedFilesNeverCrashNorHalfApplyALine) {
    AppFixture source;
    MoviePtr movie = addMovie(source.context(), "Mutant", 1999, "Ann");
    movie->setText(Attribute::notes, "a\nb^c");
    movie->setImage(Attribute::frontImage, makeJpeg(6, 6, Qt::red));
    addMovie(source.context(), "Other", 2000, "Bo")->setRunTime(88);
    ASSERT_TRUE(source.context().save().ok);
    const QByteArray file = exportBytes(source.context());

    AppFixture target;
    auto importChecked = [&](const QByteArray& bytes) {
        const int before = target.context().count(Entity::Movies);
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        exchange::MovieImporter importer(target.context(), &buffer);
        importer.setBacksUpFirst(false);  // thousands of backups would only slow this down
        importer.run();
        const auto counts = importer.counts();
        ASSERT_FALSE(target.context().hasChanges()) << bytes.toStdString();
        EXPECT_EQ(target.context().count(Entity::Movies), before + counts.added);
        if (importer.isWrongFile()) {
            EXPECT_EQ(counts.added + counts.updated + counts.skipped + counts.failed, 0);
        }
    };
    for (qsizetype length = 0; length <= file.size(); ++length) importChecked(file.left(length));

    QRandomGenerator random(20240611);
    const QByteArray alphabet = "^\n\r=+/-0129AQz'\\\"[]";
    for (int round = 0; round < 2000; ++round) {
        QByteArray damaged = file;
        for (int edits = 1 + random.bounded(4); edits > 0 && !damaged.isEmpty(); --edits) {
            const qsizetype at = random.bounded(damaged.size());
            const int kind = random.bounded(4);
            if (kind == 0) damaged[at] = alphabet[random.bounded(alphabet.size())];
            if (kind == 1) damaged[at] = char(random.bounded(256));
            if (kind == 2) damaged.remove(at, random.bounded(1, 40));
            if (kind == 3) damaged.insert(at, damaged.mid(random.bounded(damaged.size()), 30));
        }
        importChecked(damaged);
        if (HasFatalFailure()) return;
    }
    const QStringList shown = dumpMovies(target.context());
    target.restart();
    EXPECT_EQ(dumpMovies(target.context()), shown);
}

TEST(Import, TableBase64DecoderAgreesWithQt) {
    QRandomGenerator random(7);
    for (int length = 0; length < 64; ++length) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (char& c : bytes) c = char(random.bounded(256));
        EXPECT_EQ(exchange::decodeBase64(bytes.toBase64()), bytes);
    }
    for (const char* bad : {"A", "AB", "ABC", "AB=C", "A===", "====", "AB==AB==", "AB C", "AB\nC",
                            "ABC-", "ABC_", "ABCD=", "=ABC"}) {
        EXPECT_FALSE(exchange::decodeBase64(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace quillon::test
