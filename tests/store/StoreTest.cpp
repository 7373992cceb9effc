#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <chrono>
#include <thread>

#include "StoreFixture.h"
#include "store/Backups.h"
#include "store/TextSearch.h"
#include "support/RefuseWrites.h"

using namespace quillon;
using namespace quillon::test;

namespace {

using StoreTest = StoreFixture;

TEST_F(StoreTest, RecordsAreSharedLiveObjectsUntilDeletedThenDead) {
    auto a = movie("Alien", 1979);
    auto b = movie("Brazil", 1985);
    // Pending inserts are found before any save, and are the same objects.
    EXPECT_EQ(ctx().fetch<Movies>(), (std::vector<MoviePtr>{a, b}));
    ASSERT_TRUE(ctx().save());
    b->setName("Brazil (1985)");

    auto unsaved = movie("Casablanca", 1942);
    ctx().deleteObject(unsaved);
    ASSERT_TRUE(ctx().save());
    EXPECT_FALSE(ctx().hasChanges()) << "an insert deleted before its save leaves nothing";
    ctx().deleteObject(a);
    EXPECT_EQ(names(), QStringList{"Brazil (1985)"});
    // A late write through a kept handle changes nothing and says so.
    const auto expectDead = [](const MoviePtr& dead) {
        EXPECT_FALSE(dead->setName("Back") || dead->setYear(1) ||
                     dead->setImage(Attribute::frontImage, QByteArray("x")));
    };
    expectDead(unsaved);
    ASSERT_TRUE(ctx().save());
    expectDead(a);
    ctx().deleteObject(a);  // twice is harmless
    EXPECT_FALSE(ctx().hasChanges());
    EXPECT_EQ(a->name(), "Alien");  // a held handle keeps its last values
}

TEST_F(StoreTest, SortsAreByCodePointNumericStableAndFollowEveryChange) {
    const QString fullwidthZ(QChar(0xFF5A));
    const QString smile("\U0001F600");  // beyond the BMP: after every BMP text by code point
    movie("alpha", 1999);
    movie("Zulu", 999);
    movie("Beta", 1999);
    Movies::insertInto(ctx())->setYear(2000);
    movie(smile, 5);
    movie(fullwidthZ, 5);
    ASSERT_TRUE(ctx().save());
    const struct {
        std::vector<SortDescriptor> sort;
        QStringList names;
    } cases[] = {
        {{{Attribute::name, true}}, {"<absent>", "Beta", "Zulu", "alpha", fullwidthZ, smile}},
        {{{Attribute::name, false}}, {smile, fullwidthZ, "alpha", "Zulu", "Beta", "<absent>"}},
        // Past two keys the sort compares the records themselves.
        {{{Attribute::director, true}, {Attribute::year, true}, {Attribute::name, true}},
         {fullwidthZ, smile, "Zulu", "Beta", "alpha", "<absent>"}},
        // Equal keys keep the store's own order, descending too.
        {{{Attribute::year, true}}, {smile, fullwidthZ, "Zulu", "alpha", "Beta", "<absent>"}},
        {{{Attribute::year, false}}, {"<absent>", "alpha", "Beta", "Zulu", smile, fullwidthZ}},
    };
    for (const auto& c : cases) EXPECT_EQ(names(c.sort), c.names);
    // Sorts made before are reused only until a change.
    auto zulu = ctx().fetch<Movies>(Predicate::equals(Attribute::name, "Zulu")).at(0);
    zulu->setYear(3000);
    EXPECT_EQ(names(cases[4].sort),
              (QStringList{"Zulu", "<absent>", "alpha", "Beta", smile, fullwidthZ}));
    ctx().deleteObject(zulu);
    movie("Delta", 5);
    EXPECT_EQ(names(cases[3].sort),
              (QStringList{smile, fullwidthZ, "Delta", "alpha", "Beta", "<absent>"}));
}

// The store keeps the movies' name order and opens with it ready: it must be the order a sort
// gives, ties in the store's own order, and give way to a sort where SQLite would order otherwise.
TEST_F(StoreTest, TheNameOrderReadyAtOpenIsTheSortedOne) {
    const QString smile("\U0001F600");
    const QString fullwidthZ(QChar(0xFF5A));
    const QString withNul = QStringLiteral("b") + QChar(0) + QStringLiteral("a");
    movie("b", 1);
    movie(smile, 2);
    movie("B", 3);
    Movies::insertInto(ctx())->setYear(4);
    movie("", 5);
    movie(QString::fromUtf8("\u00e9"), 6);
    movie("B", 7);
    movie(fullwidthZ, 8);
    movie(withNul, 9);
    movie(QString::fromUtf8("A\u00e9"), 10);
    ASSERT_TRUE(ctx().save());
    const auto years = [&](bool ascending) {
        std::vector<int> out;
        for (const auto& m : ctx().fetch<Movies>(std::nullopt, {{Attribute::name, ascending}}))
            out.push_back(m->year());
        return out;
    };
    const std::vector<int> ascending{4, 5, 10, 3, 7, 1, 9, 6, 8, 2};
    const std::vector<int> descending{2, 8, 6, 9, 1, 3, 7, 10, 5, 4};
    reopen();
    EXPECT_FALSE(ctx().prepareSortedListing(Entity::Movies, {{Attribute::name, true}}))
        << "the order is ready at open";
    EXPECT_EQ(years(true), ascending);
    EXPECT_EQ(years(false), descending);
    // A change is sorted in; the order read at open is not used again.
    ctx().fetch<Movies>(Predicate::equals(Attribute::year, "10")).at(0)->setName("C");
    EXPECT_EQ(years(true), (std::vector<int>{4, 5, 3, 7, 10, 1, 9, 6, 8, 2}));

    // Names another program wrote as a blob, or as bytes that are no UTF-8, order otherwise in
    // SQLite: the store sorts them itself.
    const QString path = QDir(dataDir()).filePath(CatalogueStore::kFileName);
    const struct {
        const char* written;
        std::vector<int> ascending;
    } foreign[] = {
        {"UPDATE Movies SET name = CAST('A' AS BLOB) WHERE year = 6",
         {4, 5, 6, 10, 3, 7, 1, 9, 8, 2}},
        // "A" and a byte read as U+FFFD, after "A\u00e9" by code point, before it byte by byte.
        {"UPDATE Movies SET name = CAST(x'4180' AS TEXT) WHERE year = 6",
         {4, 5, 10, 6, 3, 7, 1, 9, 8, 2}},
    };
    for (const auto& f : foreign) {
        store_.reset();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.toUtf8(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, f.written, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        reopen();
        EXPECT_EQ(years(true), f.ascending) << f.written;
    }
}

// Opening reads the movies in batches: a catalogue of several reads back every value of every
// movie, in the store's own order, with its name order ready.
TEST_F(StoreTest, ALargeCatalogueReadsBackWhole) {
    constexpr int kCount = 10001;
    const auto nameOf = [](int i) -> OptionalText {
        if (i % 7 == 0) return std::nullopt;
        return QStringLiteral("Movie %1 \u00e9").arg((i * 7919) % kCount, 5, 10, QChar('0'));
    };
    const auto textOf = [](int i, Attribute a) -> OptionalText {
        const int kind = (i + int(a)) % 5;
        if (kind == 0) return std::nullopt;
        if (kind == 1) return QString("");
        if (kind == 2) return QStringLiteral("Shared %1").arg(int(a));
        return QStringLiteral("%1 of %2").arg(int(a)).arg(i);
    };
    const std::vector<Attribute> texts{Attribute::director, Attribute::genre, Attribute::writer,
                                       Attribute::imdb, Attribute::notes};
    for (int i = 0; i < kCount; ++i) {
        auto m = Movies::insertInto(ctx());
        m->setName(nameOf(i));
        m->setYear(qint16(i % 3000));
        m->setRunTime(qint16(i % 300));
        for (const Attribute a : texts) m->setText(a, textOf(i, a));
        if (i % 1000 == 1) m->setImage(Attribute::backImage, QByteArray(i % 97 + 1, 'c'));
    }
    ASSERT_TRUE(ctx().save());
    reopen();
    const std::vector<MoviePtr> movies = ctx().fetch<Movies>();
    ASSERT_EQ(movies.size(), size_t(kCount));
    for (int i = 0; i < kCount; ++i) {
        const MoviePtr& m = movies[size_t(i)];
        ASSERT_EQ(m->name(), nameOf(i)) << i;
        ASSERT_EQ(m->year(), i % 3000) << i;
        ASSERT_EQ(m->runTime(), i % 300) << i;
        for (const Attribute a : texts) ASSERT_EQ(m->text(a), textOf(i, a)) << i;
        ASSERT_EQ(m->imageSize(Attribute::backImage), i % 1000 == 1 ? i % 97 + 1 : 0) << i;
        ASSERT_FALSE(m->hasImage(Attribute::frontImage)) << i;
        if (i > 0) {
            ASSERT_LT(movies[size_t(i) - 1]->objectId(), m->objectId()) << i;
        }
    }
    EXPECT_FALSE(ctx().prepareSortedListing(Entity::Movies, {{Attribute::name, true}}))
        << "the order is ready at open";
    std::vector<MoviePtr> byName = movies;
    std::stable_sort(byName.begin(), byName.end(), [](const MoviePtr& a, const MoviePtr& b) {
        return a->name().value_or("") < b->name().value_or("") && b->name();
    });
    EXPECT_EQ(ctx().fetch<Movies>(std::nullopt, {{Attribute::name, true}}), byName);
}

// A large catalogue's order is sorted on a worker from a copy of the keys: it must be taken in
// only while the catalogue is as it was, and a change made meanwhile must be sorted in.
TEST_F(StoreTest, AnOrderSortedAsideIsTakenOnlyWhileTheCatalogueIsAsItWas) {
    for (int i = 0; i < 6000; ++i)
        movie(QStringLiteral("Movie %1").arg(i % 1000), qint16(1900 + (i * 7919) % 100));
    ASSERT_TRUE(ctx().save());
    const std::vector<SortDescriptor> byYear{{Attribute::year, true}, {Attribute::name, true}};
    const std::vector<SortDescriptor> byYearDown{{Attribute::year, false},
                                                 {Attribute::name, false}};
    const auto sortedAside = [&](const std::vector<SortDescriptor>& keys) {
        for (int polls = 0; polls < 10000; ++polls) {
            if (!ctx().prepareSortedListing(Entity::Movies, keys)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    };
    // The store's own order sorted here, stably.
    const auto expected = [&](bool ascending) {
        std::vector<MoviePtr> movies = ctx().fetch<Movies>();
        std::stable_sort(movies.begin(), movies.end(), [&](const MoviePtr& a, const MoviePtr& b) {
            const auto key = [](const MoviePtr& m) { return std::pair(m->year(), *m->name()); };
            return ascending ? key(a) < key(b) : key(b) < key(a);
        });
        return movies;
    };
    for (const bool changedMeanwhile : {true, false}) {
        movie("Another", 1950);
        ASSERT_TRUE(ctx().prepareSortedListing(Entity::Movies, byYear)) << "sorted on a worker";
        if (changedMeanwhile) {
            const auto movies = ctx().fetch<Movies>();
            movies[10]->setYear(1901);
            movies[20]->setName("Moved");
            ctx().deleteObject(movies[30]);
            movie("Late", 1930);
        }
        ASSERT_TRUE(sortedAside(byYear));
        EXPECT_EQ(ctx().fetch<Movies>(std::nullopt, byYear), expected(true)) << changedMeanwhile;
        EXPECT_EQ(ctx().fetch<Movies>(std::nullopt, byYearDown), expected(false))
            << changedMeanwhile;
    }
    // A fetch of an order being sorted aside waits for it; the next order still gets its turn.
    movie("Last", 1990);
    ASSERT_TRUE(ctx().prepareSortedListing(Entity::Movies, byYear));
    EXPECT_EQ(ctx().fetch<Movies>(std::nullopt, byYear), expected(true));
    EXPECT_TRUE(sortedAside({{Attribute::name, true}}));
}

TEST(TextSearchTest, LowerCasingMatchesQtOnEveryKindOfText) {
    for (const QString& text : {QString("The MATRIX ÀÉÎÕÜ Ø×ß"), QString("ΣΊΣΥΦΟΣ"),
                                QString("İstanbul"), QString("Straße ẞ"), QString("\U00010400")})
        EXPECT_EQ(lowerCased(text), text.toLower()) << text.toStdString();
}

TEST_F(StoreTest, EqualityPredicatesMatchExactlyAndFollowChanges) {
    auto one = movie("Twin", 1999, "Lynch");
    auto two = movie("Twin", 1999, "Lynch");
    movie("twin", 1999, "Lynch");
    movie("Twin", 1998);
    ASSERT_TRUE(ctx().save());
    const auto key = [this](QString name, QString year, QString director) {
        return ctx().fetch<Movies>(Predicate::all({{Attribute::name, std::move(name)},
                                                   {Attribute::year, std::move(year)},
                                                   {Attribute::director, std::move(director)}}));
    };
    using Found = std::vector<MoviePtr>;
    EXPECT_EQ(key("Twin", "1999", "Lynch"), (Found{one, two}));
    EXPECT_EQ(key("Twin", "1998", ""), Found{}) << "absent is not \"\"";

    // The indexes built by the lookups follow edits, inserts, deletes and refreshes.
    two->setYear(2001);
    auto three = movie("Twin", 1999, "Lynch");
    ctx().deleteObject(one);
    EXPECT_EQ(key("Twin", "1999", "Lynch"), Found{three});
    EXPECT_EQ(key("Twin", "2001", "Lynch"), Found{two});
    ctx().refreshObject(two);
    EXPECT_EQ(key("Twin", "1999", "Lynch"), (Found{two, three})) << "as does a refresh";
}

TEST_F(StoreTest, ReopeningGivesBackEveryTextNumberAndByteString) {
    auto m = movie("", -32768);  // empty, not absent
    m->setText(Attribute::notes,
               "line one\nline two\r\n^caret 'quote' \"dq\" \t é 日本 \U0001F3AC");
    m->setRunTime(32767);
    QByteArray binary;
    for (int i = 0; i < 300000; ++i) binary.append(char(i * 7));
    m->setImage(Attribute::frontImage, binary);
    ASSERT_TRUE(ctx().save());
    reopen();
    auto back = ctx().fetch<Movies>().at(0);
    EXPECT_EQ(back->name(), QString(""));
    EXPECT_EQ(back->notes(), m->notes());
    EXPECT_EQ(back->year(), -32768);
    EXPECT_EQ(back->runTime(), 32767);
    EXPECT_EQ(back->imageSize(Attribute::frontImage), binary.size());
    EXPECT_EQ(back->frontImage(), binary);
    back->setImage(Attribute::frontImage, std::nullopt);
    ASSERT_TRUE(ctx().save());
    reopen();
    EXPECT_FALSE(ctx().fetch<Movies>().at(0)->frontImage().has_value());
}

TEST_F(StoreTest, RefreshForgetsOneRecordsPendingChangesOnly) {
    auto kept = movie("Kept");
    kept->setImage(Attribute::frontImage, QByteArray("front"));
    auto gone = movie("Gone", 2001);
    ASSERT_TRUE(ctx().save());
    kept->setName("Changed");
    kept->setText(Attribute::notes, "new notes");
    kept->setImage(Attribute::frontImage, std::nullopt);
    auto fresh = movie("Fresh", 2002);
    ctx().deleteObject(gone);
    movie("Other", 2003);

    ctx().refreshObject(kept);
    EXPECT_EQ(kept->name(), "Kept");
    EXPECT_FALSE(kept->notes().has_value());
    EXPECT_EQ(kept->frontImage(), QByteArray("front"));
    EXPECT_FALSE(kept->hasChanges());
    ctx().refreshObject(fresh);
    EXPECT_TRUE(fresh->isDeleted());
    ctx().refreshObject(gone);
    EXPECT_FALSE(gone->isDeleted());
    ASSERT_TRUE(ctx().save());  // "Other" is still pending
    reopen();
    EXPECT_EQ(names(), (QStringList{"Kept", "Gone", "Other"}));
}

TEST_F(StoreTest, AFailedSaveWritesNothingAndKeepsEveryChangePendingForTheNext) {
    movie("Kept");
    ASSERT_TRUE(ctx().save());
    // Each cause refuses only the movie "boom", whose notes pass the length limit.
    const struct {
        const char* cause;
        bool byTrigger;  // else by the length limit
        const char* reason;
        Status::Code code;
    } causes[] = {{"refused", true, kRefusedByTest, Status::Refused},
                  {"too big", false, "too big", Status::TooBig}};
    for (const auto& c : causes) {
        SCOPED_TRACE(c.cause);
        if (c.byTrigger)
            refuseWrites(dataDir(), Entity::Movies, "INSERT", "NEW.name = 'boom'");
        else
            ctx().setLengthLimitForTesting(1000);
        ctx().fetch<Movies>().at(0)->setName(c.cause);
        auto fresh = movie("Fresh");
        auto boom = movie("boom");
        boom->setText(Attribute::notes, QString(2000, 'n'));

        const Status failed = ctx().save();
        EXPECT_FALSE(failed.ok);
        EXPECT_TRUE(failed.describe().contains(c.reason)) << failed.describe().toStdString();
        EXPECT_EQ(failed.code, c.code);
        EXPECT_TRUE(ctx().hasChanges());
        EXPECT_TRUE(fresh->isInserted());
        EXPECT_EQ(ctx().count(Entity::Movies), 3);

        // The next save writes everything once the cause is gone.
        boom->setName("Boom");
        boom->setText(Attribute::notes, "n");
        ASSERT_TRUE(ctx().save());
        reopen();
        EXPECT_EQ(names(), (QStringList{c.cause, "Fresh", "Boom"}));
        allowWrites(dataDir());
        const auto all = ctx().fetch<Movies>();
        for (size_t i = 1; i < all.size(); ++i) ctx().deleteObject(all[i]);
        ASSERT_TRUE(ctx().save());
    }
}

// Dies half way through a save in a child process: the file keeps the last whole save.
TEST_F(StoreTest, AProcessKilledInTheMiddleOfASaveLeavesThePreviousState) {
    movie("Before", 1990);
    ASSERT_TRUE(ctx().save());
    store_.reset();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Status status;
        auto store = CatalogueStore::open(dataDir(), &status);
        if (!store) _exit(3);
        auto& context = store->viewContext();
        context.fetch<Movies>().at(0)->setName("Changed");
        for (int i = 0; i < 500; ++i) Movies::insertInto(context)->setName(QString::number(i));
        context.setSaveProgressHookForTesting([](int row) {
            if (row == 250) _exit(9);
        });
        (void)context.save();  // never returns: the hook ends the process
        _exit(4);
    }
    int exitStatus = 0;
    waitpid(child, &exitStatus, 0);
    ASSERT_TRUE(WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 9);
    // The lock it left behind belongs to no running process: it is taken over.
    EXPECT_TRUE(QFile::exists(QDir(dataDir()).filePath(CatalogueStore::kLockFileName)));
    reopen();
    const auto movies = ctx().fetch<Movies>();
    ASSERT_EQ(movies.size(), 1u);
    EXPECT_EQ(movies[0]->name(), "Before");
    Status status;
    EXPECT_FALSE(CatalogueStore::open(dataDir(), &status, {.lockWaitMs = 50}));
    EXPECT_EQ(status.code, Status::Busy) << status.describe().toStdString();
}

TEST_F(StoreTest, AStoreThatCannotBeOpenedOrWrittenSaysWhichKindOfFailureItIs) {
    movie("Kept");
    ASSERT_TRUE(ctx().save());
    store_.reset();
    Status status;
    {
        auto readOnly = CatalogueStore::open(dataDir(), &status, {.readOnly = true});
        ASSERT_TRUE(readOnly) << status.describe().toStdString();
        readOnly->viewContext().fetch<Movies>().at(0)->setName("Changed");
        EXPECT_EQ(readOnly->viewContext().save().code, Status::ReadOnly);
    }
    const QString path = QDir(dataDir()).filePath(CatalogueStore::kFileName);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8(), &db), 0);
    sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_FALSE(CatalogueStore::open(dataDir(), &status));
    EXPECT_TRUE(status.describe().contains("newer")) << status.describe().toStdString();
    EXPECT_EQ(status.code, Status::Refused);

    for (const char* side : {"", "-wal", "-shm"}) QFile::remove(path + side);
    ASSERT_TRUE(writeBytes(path, QByteArray(8192, 'x')));
    for (const bool readOnly : {false, true}) {
        EXPECT_FALSE(CatalogueStore::open(dataDir(), &status, {.readOnly = readOnly}));
        EXPECT_EQ(status.code, Status::Corrupt) << status.describe().toStdString();
    }
}

TEST_F(StoreTest, ACoverReadTellsAbsentFromUnreadable) {
    movie("Covered")->setImage(Attribute::frontImage, QByteArray(20000, 'c'));
    ASSERT_TRUE(ctx().save());
    const auto m = ctx().fetch<Movies>().at(0);
    const CoverRead absent = m->readImage(Attribute::backImage);
    EXPECT_TRUE(!absent.failed() && !absent.bytes);
    const auto cover = m->savedCover(Attribute::frontImage);
    ASSERT_TRUE(cover);
    EXPECT_EQ(readSavedCover(*cover).bytes, QByteArray(20000, 'c'));

    // Point the cover's overflow pages nowhere: the read must fail, not come back empty.
    store_.reset();
    QFile file(QDir(dataDir()).filePath(CatalogueStore::kFileName));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    int broken = 0;
    for (qsizetype page = 0; page < bytes.size(); page += 4096)
        if (bytes.mid(page + 4, 64) == QByteArray(64, 'c') && ++broken)
            bytes.replace(page, 4, QByteArray("\xff\xff\xff\xff", 4));
    ASSERT_GT(broken, 0);
    file.seek(0);
    file.write(bytes);
    file.close();
    reopen();
    const CoverRead damaged = ctx().fetch<Movies>().at(0)->readImage(Attribute::frontImage);
    EXPECT_TRUE(damaged.failed()) << "bytes read: " << (damaged.bytes ? damaged.bytes->size() : -1);
    EXPECT_EQ(damaged.status.code, Status::Corrupt) << damaged.status.describe().toStdString();
}

TEST_F(StoreTest, BackupsAreNamedByTheirTimeAndTheNewestThreeAreKept) {
    movie("One");
    ASSERT_TRUE(ctx().save());
    const QDateTime t0(QDate(2026, 12, 6), QTime(19, 30, 0));
    QString first;
    ASSERT_TRUE(backups::make(ctx(), &first, t0));
    EXPECT_EQ(first, "Quillon 2026-12-06 19-30-00.sqlite");
    // What SQLite leaves beside a backup it opened goes with it.
    const QDir folder(backups::folder(dataDir()));
    for (const char* side : {"-wal", "-shm"})
        ASSERT_TRUE(writeBytes(folder.filePath(first + side), "x"));
    for (int seconds : {1, 1, 2}) ASSERT_TRUE(backups::make(ctx(), nullptr, t0.addSecs(seconds)));
    const QStringList kept{"Quillon 2026-12-06 19-30-01.sqlite",
                           "Quillon 2026-12-06 19-30-01_02.sqlite",
                           "Quillon 2026-12-06 19-30-02.sqlite"};
    EXPECT_EQ(backups::list(dataDir()), kept);
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), kept);
}

}  // namespace
