#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include "store/Backups.h"
#include "store/CatalogueStore.h"
#include "store/TextSearch.h"
#include "support/RefuseWrites.h"

using namespace quillon;

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override { reopen(); }
    void reopen() {
        store_.reset();
        Status status;
        store_ = CatalogueStore::open(dir_.path(), &status);
        ASSERT_TRUE(store_) << status.describe().toStdString();
    }
    ManagedObjectContext& ctx() { return store_->viewContext(); }
    MoviePtr movie(const QString& name, qint16 year, OptionalText director = std::nullopt) {
        auto m = Movies::insertInto(ctx());
        m->setName(name);
        m->setYear(year);
        m->setText(Attribute::director, director);
        return m;
    }
    QStringList names(const std::vector<MoviePtr>& movies) {
        QStringList out;
        for (const auto& m : movies) out << m->name().value_or("<absent>");
        return out;
    }

    QTemporaryDir dir_;
    std::unique_ptr<CatalogueStore> store_;
};

TEST_F(StoreTest, RecordsAreLiveSharedObjectsAndFetchesSeePendingChanges) {
    auto a = movie("Alien", 1979);
    auto b = movie("Brazil", 1985);
    // Pending inserts are found before any save, and are the same objects.
    auto fetched = ctx().fetch<Movies>();
    ASSERT_EQ(fetched.size(), 2u);
    EXPECT_EQ(fetched[0], a);
    EXPECT_TRUE(ctx().hasChanges());
    ASSERT_TRUE(ctx().save());
    EXPECT_FALSE(ctx().hasChanges());
    EXPECT_EQ(ctx().fetch<Movies>()[1], b);

    b->setName("Brazil (1985)");
    EXPECT_TRUE(ctx().hasChanges());
    EXPECT_EQ(ctx().fetch<Movies>(Predicate::equals(Attribute::name, "Brazil (1985)"))[0], b);

    ctx().deleteObject(a);
    EXPECT_TRUE(a->isDeleted());
    EXPECT_EQ(ctx().fetch<Movies>().size(), 1u);
    EXPECT_EQ(ctx().count(Entity::Movies), 1);
    ASSERT_TRUE(ctx().save());
    EXPECT_EQ(a->name(), "Alien");  // a held handle keeps its last values
    reopen();
    EXPECT_EQ(names(ctx().fetch<Movies>()), QStringList{"Brazil (1985)"});

    // A pending insert deleted before any save never reaches the device.
    auto c = movie("Casablanca", 1942);
    ctx().deleteObject(c);
    EXPECT_FALSE(ctx().hasChanges());
}

TEST_F(StoreTest, SortsAreCaseSensitiveNumericStableAndPutAbsentFirst) {
    movie("alpha", 1999);
    movie("Zulu", 999);
    movie("Beta", 1999);
    auto unnamed = Movies::insertInto(ctx());
    unnamed->setYear(2000);
    movie("\U0001F600 smile", 5);      // beyond the BMP: after every BMP text by code point
    movie(QString(QChar(0xFF5A)), 5);  // fullwidth z
    ASSERT_TRUE(ctx().save());
    reopen();

    EXPECT_EQ(names(ctx().fetch<Movies>(std::nullopt, {{Attribute::name, true}})),
              (QStringList{"<absent>", "Beta", "Zulu", "alpha", QString(QChar(0xFF5A)),
                           "\U0001F600 smile"}));
    EXPECT_EQ(names(ctx().fetch<Movies>(std::nullopt, {{Attribute::name, false}})).last(),
              "<absent>");
    EXPECT_EQ(names(ctx().fetch<Movies>(std::nullopt,
                                        {{Attribute::year, true}, {Attribute::name, true}})),
              (QStringList{QString(QChar(0xFF5A)), "\U0001F600 smile", "Zulu", "Beta", "alpha",
                           "<absent>"}));
    // Equal keys keep the store's own order.
    EXPECT_EQ(names(ctx().fetch<Movies>(std::nullopt, {{Attribute::year, false}})),
              (QStringList{"<absent>", "alpha", "Beta", "Zulu", "\U0001F600 smile",
                           QString(QChar(0xFF5A))}));
}

TEST_F(StoreTest, RepeatedSortsFollowEveryChangeAndKeepTiesInStoreOrder) {
    auto b = movie("b", 2000);
    auto a1 = movie("a", 1990, "first");
    auto c = movie("c", 1990);
    auto a2 = movie("a", 1990, "second");
    const std::vector<SortDescriptor> ascending = {{Attribute::year, true},
                                                   {Attribute::name, true}};
    const std::vector<SortDescriptor> descending = {{Attribute::year, false},
                                                    {Attribute::name, false}};
    EXPECT_EQ(ctx().fetch<Movies>(std::nullopt, ascending), (std::vector<MoviePtr>{a1, a2, c, b}));
    // Derived from the ascending order, ties still in store order.
    EXPECT_EQ(ctx().fetch<Movies>(std::nullopt, descending), (std::vector<MoviePtr>{b, c, a1, a2}));

    c->setYear(2010);
    EXPECT_EQ(ctx().fetch<Movies>(std::nullopt, descending), (std::vector<MoviePtr>{c, b, a1, a2}));
    a2->setName("0");
    EXPECT_EQ(ctx().fetch<Movies>(std::nullopt, ascending), (std::vector<MoviePtr>{a2, a1, b, c}));
    ctx().deleteObject(b);
    auto d = movie("d", 1);
    EXPECT_EQ(ctx().fetch<Movies>(std::nullopt, ascending), (std::vector<MoviePtr>{d, a2, a1, c}));
}

TEST(TextSearchTest, LowerCasingMatchesQtOnEveryKindOfText) {
    for (const QString& text :
         {QString("The MATRIX"), QString("already lower"), QString(""), QString("ÀÉÎÕÜ Ø×ß"),
          QString("ΣΊΣΥΦΟΣ"), QString("İstanbul"), QString("Straße ẞ"), QString("\U00010400")}) {
        EXPECT_EQ(lowerCased(text), text.toLower()) << text.toStdString();
    }
    const QString field = "Blade Runner";
    EXPECT_TRUE(matchesSearch(&field, lowerCased("RUN")));
    EXPECT_FALSE(matchesSearch(nullptr, lowerCased("")));
}

TEST_F(StoreTest, EqualityPredicatesMatchExactlyAndFollowChanges) {
    auto one = movie("Twin", 1999, "Lynch");
    auto two = movie("Twin", 1999, "Lynch");
    movie("twin", 1999, "Lynch");
    movie("Twin", 1998, std::nullopt);
    ASSERT_TRUE(ctx().save());
    const auto key = [](QString name, QString year, QString director) {
        return Predicate::all({{Attribute::name, std::move(name)},
                               {Attribute::year, std::move(year)},
                               {Attribute::director, std::move(director)}});
    };
    EXPECT_EQ(ctx().fetch<Movies>(key("Twin", "1999", "Lynch")), (std::vector<MoviePtr>{one, two}));
    EXPECT_TRUE(ctx().fetch<Movies>(key("Twin", "1998", "")).empty());  // absent is not ""
    EXPECT_TRUE(ctx().fetch<Movies>(key("Twin", "nineteen", "Lynch")).empty());
    EXPECT_EQ(
        ctx()
            .fetch<Movies>(Predicate::all({{Attribute::name, "Twin"}, {Attribute::year, "1999"}}))
            .size(),
        2u);

    // The index built by the first lookup follows edits, inserts and deletes.
    two->setYear(2001);
    EXPECT_EQ(ctx().fetch<Movies>(key("Twin", "1999", "Lynch")), std::vector<MoviePtr>{one});
    EXPECT_EQ(ctx().fetch<Movies>(key("Twin", "2001", "Lynch")), std::vector<MoviePtr>{two});
    auto three = movie("Twin", 1999, "Lynch");
    ctx().deleteObject(one);
    EXPECT_EQ(ctx().fetch<Movies>(key("Twin", "1999", "Lynch")), std::vector<MoviePtr>{three});

    const auto either = Predicate::any({{Attribute::name, "twin"}, {Attribute::year, "1998"}});
    EXPECT_EQ(names(ctx().fetch<Movies>(either)), (QStringList{"twin", "Twin"}));
}

TEST_F(StoreTest, ReopeningGivesBackEveryTextNumberAndByteString) {
    auto m = Movies::insertInto(ctx());
    m->setName(QStringLiteral(""));  // empty, not absent
    m->setText(Attribute::notes,
               "line one\nline two\r\n^caret 'quote' \"dq\" \t é 日本 \U0001F3AC");
    m->setText(Attribute::imdb, "tt0000001");
    m->setYear(-32768);
    m->setRunTime(32767);
    QByteArray binary;
    for (int i = 0; i < 300000; ++i) binary.append(char(i * 7));
    m->setImage(Attribute::frontImage, binary);
    m->setImage(Attribute::backImage, QByteArray(""));  // present but empty
    auto genre = GenreList::insertInto(ctx());
    genre->setGenre("Science Fiction");
    RatingList::insertInto(ctx())->setRating("PG-13");
    ASSERT_TRUE(ctx().save());
    reopen();

    auto back = ctx().fetch<Movies>().at(0);
    EXPECT_EQ(back->name(), QString(""));
    EXPECT_FALSE(back->genre().has_value());
    EXPECT_EQ(back->notes(), m->notes());
    EXPECT_EQ(back->text(Attribute::imdb), "tt0000001");
    EXPECT_EQ(back->year(), -32768);
    EXPECT_EQ(back->runTime(), 32767);
    EXPECT_EQ(back->imageSize(Attribute::frontImage), binary.size());
    EXPECT_EQ(back->frontImage(), binary);
    EXPECT_TRUE(back->hasImage(Attribute::backImage));
    EXPECT_EQ(back->backImage(), QByteArray(""));
    EXPECT_EQ(ctx().fetch<GenreList>().at(0)->genre(), "Science Fiction");
    EXPECT_EQ(ctx().fetch<RatingList>().at(0)->rating(), "PG-13");

    const quint32 generation = back->imageGeneration();
    back->setImage(Attribute::frontImage, std::nullopt);
    EXPECT_NE(back->imageGeneration(), generation);
    ASSERT_TRUE(ctx().save());
    reopen();
    EXPECT_FALSE(ctx().fetch<Movies>().at(0)->frontImage().has_value());
}

TEST_F(StoreTest, RefreshForgetsOneRecordsPendingChangesOnly) {
    auto kept = movie("Kept", 2000, "Ann");
    kept->setImage(Attribute::frontImage, QByteArray("front"));
    auto gone = movie("Gone", 2001);
    ASSERT_TRUE(ctx().save());
    const auto byKey = [&](const QString& name) {
        return ctx().fetch<Movies>(
            Predicate::all({{Attribute::name, name}, {Attribute::director, "Ann"}}));
    };
    ASSERT_EQ(byKey("Kept").size(), 1u);

    kept->setName("Changed");
    kept->setYear(1);
    kept->setText(Attribute::notes, "new notes");
    kept->setImage(Attribute::frontImage, std::nullopt);
    auto fresh = movie("Fresh", 2002);
    ctx().deleteObject(gone);
    auto other = movie("Other", 2003);

    ctx().refreshObject(kept);
    EXPECT_EQ(kept->name(), "Kept");
    EXPECT_EQ(kept->year(), 2000);
    EXPECT_FALSE(kept->notes().has_value());
    EXPECT_EQ(kept->frontImage(), QByteArray("front"));
    EXPECT_FALSE(kept->hasChanges());
    EXPECT_EQ(byKey("Kept").size(), 1u);
    EXPECT_TRUE(byKey("Changed").empty());

    ctx().refreshObject(fresh);
    EXPECT_TRUE(fresh->isDeleted());
    ctx().refreshObject(gone);
    EXPECT_FALSE(gone->isDeleted());
    EXPECT_EQ(names(ctx().fetch<Movies>(std::nullopt, {{Attribute::name, true}})),
              (QStringList{"Gone", "Kept", "Other"}));
    EXPECT_TRUE(ctx().hasChanges());  // "Other" is still pending
    ASSERT_TRUE(ctx().save());
    reopen();
    EXPECT_EQ(names(ctx().fetch<Movies>()), (QStringList{"Kept", "Gone", "Other"}));
}

TEST_F(StoreTest, AFailedSaveWritesNothingAndKeepsEveryChangePending) {
    movie("Kept", 2000);
    ASSERT_TRUE(ctx().save());
    test::refuseWrites(dir_.path(), Entity::Movies, "INSERT", "NEW.name = 'boom'");
    auto kept = ctx().fetch<Movies>().at(0);
    kept->setName("Renamed");
    auto fresh = movie("Fresh", 2001);
    auto boom = movie("boom", 2002);

    const Status failed = ctx().save();
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.describe().contains("refused")) << failed.describe().toStdString();
    EXPECT_TRUE(ctx().hasChanges());
    EXPECT_TRUE(fresh->isInserted());
    EXPECT_EQ(ctx().fetch<Movies>().size(), 3u);

    // The next save retries everything once the cause is gone.
    boom->setName("Boom");
    ASSERT_TRUE(ctx().save());
    reopen();
    EXPECT_EQ(names(ctx().fetch<Movies>()), (QStringList{"Renamed", "Fresh", "Boom"}));
}

TEST_F(StoreTest, AProcessKilledInTheMiddleOfASaveLeavesThePreviousState) {
    movie("Before", 1990);
    ASSERT_TRUE(ctx().save());
    store_.reset();

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Status status;
        auto store = CatalogueStore::open(dir_.path(), &status);
        if (!store) _exit(3);
        auto& context = store->viewContext();
        context.fetch<Movies>().at(0)->setName("Changed");
        for (int i = 0; i < 500; ++i) Movies::insertInto(context)->setName(QString::number(i));
        context.setSaveProgressHookForTesting([](int row) {
            if (row == 250) _exit(9);  // dies with the transaction half written
        });
        (void)context.save();  // never returns: the hook ends the process
        _exit(4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 9);

    reopen();
    EXPECT_EQ(names(ctx().fetch<Movies>()), QStringList{"Before"});
}

TEST_F(StoreTest, AStoreThatCannotBeOpenedSaysWhy) {
    store_.reset();
    QFile file(QDir(dir_.path()).filePath(CatalogueStore::kFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(4096, 'x'));
    file.close();
    QFile::remove(file.fileName() + "-wal");
    QFile::remove(file.fileName() + "-shm");
    Status status;
    EXPECT_FALSE(CatalogueStore::open(dir_.path(), &status));
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.describe().isEmpty());

    QTemporaryDir newer;
    {
        Status ok;
        ASSERT_TRUE(CatalogueStore::open(newer.path(), &ok));
    }
    sqlite3* db = nullptr;
    sqlite3_open(QDir(newer.path()).filePath(CatalogueStore::kFileName).toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_FALSE(CatalogueStore::open(newer.path(), &status));
    EXPECT_TRUE(status.describe().contains("newer"));
}

TEST_F(StoreTest, ADeletedRecordIsDeadWhetherItsDeleteIsPendingOrSaved) {
    auto pending = movie("Pending", 2000);
    auto saved = movie("Saved", 2001);
    auto unsavedInsert = movie("New", 2002);
    ASSERT_TRUE(ctx().save());
    unsavedInsert = movie("New", 2002);
    ctx().deleteObject(pending);
    ctx().deleteObject(saved);
    ctx().deleteObject(unsavedInsert);
    ASSERT_TRUE(ctx().save());
    ctx().deleteObject(pending);  // twice is harmless
    // A late write through any kept handle changes nothing and says so.
    for (const auto& dead : {pending, saved, unsavedInsert}) {
        EXPECT_FALSE(dead->setName("Back"));
        EXPECT_FALSE(dead->setYear(1));
        EXPECT_FALSE(dead->setImage(Attribute::frontImage, QByteArray("x")));
    }
    EXPECT_FALSE(ctx().hasChanges());
    ASSERT_TRUE(ctx().save());
    reopen();
    EXPECT_EQ(names(ctx().fetch<Movies>()), QStringList{"New"});
}

TEST_F(StoreTest, ARestoredDeleteComesBackWholeAtItsPlace) {
    movie("First", 1990);
    auto middle = movie("Middle", 1991, QString("Scott"));
    middle->setImage(Attribute::frontImage, QByteArray("front bytes"));
    middle->setImage(Attribute::backImage, QByteArray(""));
    movie("Last", 1992);
    ASSERT_TRUE(ctx().save());
    middle = ctx().fetch<Movies>().at(1);  // covers now only on the device

    struct Case {
        const char* name;
        bool saveTheDelete;
    };
    for (const Case& c : {Case{"delete still pending", false}, Case{"delete saved", true}}) {
        SCOPED_TRACE(c.name);
        DeletedRecord deleted = ctx().deleteRestorably(middle);
        ASSERT_EQ(deleted.object, middle);
        EXPECT_TRUE(deleted.coverStatus.ok);
        if (c.saveTheDelete) {
            ASSERT_TRUE(ctx().save());
        }
        EXPECT_EQ(names(ctx().fetch<Movies>()), (QStringList{"First", "Last"}));
        EXPECT_EQ(ctx().fetch<Movies>(Predicate::equals(Attribute::director, "Scott")).size(), 0u);

        ASSERT_TRUE(ctx().restoreDeleted(deleted));
        EXPECT_FALSE(ctx().restoreDeleted(deleted)) << "only a deleted record comes back";
        ASSERT_TRUE(ctx().save());
        reopen();
        EXPECT_EQ(names(ctx().fetch<Movies>()), (QStringList{"First", "Middle", "Last"}));
        middle = ctx().fetch<Movies>(Predicate::equals(Attribute::director, "Scott")).at(0);
        EXPECT_EQ(middle->year(), 1991);
        EXPECT_EQ(middle->frontImage(), QByteArray("front bytes"));
        EXPECT_EQ(middle->backImage(), QByteArray(""));
    }
}

TEST_F(StoreTest, AValueTooBigForSqliteFailsTheSaveInsteadOfBecomingNull) {
    auto kept = movie("Kept", 2000);
    kept->setText(Attribute::notes, QString("old notes"));
    ASSERT_TRUE(ctx().save());
    ctx().setLengthLimitForTesting(1000);
    kept->setText(Attribute::notes, QString(2000, 'n'));
    const Status failed = ctx().save();
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.describe().contains("too big")) << failed.describe().toStdString();
    reopen();
    EXPECT_EQ(ctx().fetch<Movies>().at(0)->text(Attribute::notes), QString("old notes"));
}

TEST_F(StoreTest, ACoverReadTellsAbsentFromUnreadable) {
    auto m = movie("Covered", 2000);
    m->setImage(Attribute::frontImage, QByteArray(20000, 'c'));
    ASSERT_TRUE(ctx().save());
    m = ctx().fetch<Movies>().at(0);
    EXPECT_FALSE(m->readImage(Attribute::backImage).failed());
    EXPECT_FALSE(m->readImage(Attribute::backImage).bytes);
    const auto cover = m->savedCover(Attribute::frontImage);
    ASSERT_TRUE(cover);
    EXPECT_EQ(readSavedCover(*cover).bytes->size(), 20000);

    // Overwrite the cover's overflow pages: the read must fail, not come back empty.
    store_.reset();
    const QString path = QDir(dir_.path()).filePath(CatalogueStore::kFileName);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const qsizetype page = 4096;
    int broken = 0;
    for (qsizetype p = 0; p < bytes.size(); p += page)  // the cover's overflow pages
        if (bytes.mid(p + 4, 64) == QByteArray(64, 'c') && ++broken)
            bytes.replace(p, 4, QByteArray("\xff\xff\xff\xff", 4));
    ASSERT_GT(broken, 0);
    file.seek(0);
    file.write(bytes);
    file.close();
    reopen();
    const CoverRead damaged = ctx().fetch<Movies>().at(0)->readImage(Attribute::frontImage);
    EXPECT_TRUE(damaged.failed()) << "bytes read: " << (damaged.bytes ? damaged.bytes->size() : -1);
}

TEST_F(StoreTest, OneProcessHoldsTheStoreAndAStaleLockIsTakenOver) {
    Status status;
    EXPECT_FALSE(CatalogueStore::open(dir_.path(), &status, {.lockWaitMs = 50}));
    EXPECT_TRUE(CatalogueStore::isLockedFailure(status)) << status.describe().toStdString();
    EXPECT_EQ(status.error, "Quillon is already open on this catalogue");

    store_.reset();
    // A lock left by a process that no longer runs.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(QDir(dir_.path()).filePath(CatalogueStore::kLockFileName));
        _exit(lock.tryLock(0) ? 0 : 1);  // exits without unlocking
    }
    int exitStatus = 0;
    waitpid(child, &exitStatus, 0);
    ASSERT_EQ(WEXITSTATUS(exitStatus), 0);
    ASSERT_TRUE(QFile::exists(QDir(dir_.path()).filePath(CatalogueStore::kLockFileName)));
    reopen();
}

TEST_F(StoreTest, AReadOnlyStoreReadsAndRefusesToSave) {
    movie("Kept", 2000);
    ASSERT_TRUE(ctx().save());
    store_.reset();
    Status status;
    auto readOnly = CatalogueStore::open(dir_.path(), &status, {.readOnly = true});
    ASSERT_TRUE(readOnly) << status.describe().toStdString();
    EXPECT_TRUE(readOnly->isReadOnly());
    auto& context = readOnly->viewContext();
    ASSERT_EQ(names(context.fetch<Movies>()), QStringList{"Kept"});
    context.fetch<Movies>().at(0)->setName("Changed");
    EXPECT_EQ(context.save().error, "The catalogue is read-only");
    readOnly.reset();
    reopen();
    EXPECT_EQ(names(ctx().fetch<Movies>()), QStringList{"Kept"});
}

TEST_F(StoreTest, BackupsKeepTheNewestThreeAndRestoreBacksUpFirst) {
    movie("One", 2001);
    ASSERT_TRUE(ctx().save());
    const QDateTime t0(QDate(2026, 12, 6), QTime(19, 30, 0));
    QString first;
    ASSERT_TRUE(backups::make(ctx(), &first, t0));
    EXPECT_EQ(first, "Quillon 2026-12-06 19-30-00.sqlite");
    movie("Two", 2002);
    ASSERT_TRUE(ctx().save());
    for (int seconds : {1, 1, 2}) ASSERT_TRUE(backups::make(ctx(), nullptr, t0.addSecs(seconds)));
    const QStringList kept = backups::list(dir_.path());
    EXPECT_EQ(kept, (QStringList{"Quillon 2026-12-06 19-30-01.sqlite",
                                 "Quillon 2026-12-06 19-30-01_02.sqlite",
                                 "Quillon 2026-12-06 19-30-02.sqlite"}));

    // Restoring the oldest kept backup (two movies) after a third movie was saved.
    movie("Three", 2003);
    ASSERT_TRUE(ctx().save());
    QString safety;
    ASSERT_TRUE(backups::restore(*store_, kept.first(), &safety, t0.addSecs(60)));
    EXPECT_FALSE(backups::restore(*store_, "../Quillon.sqlite").ok);
    reopen();
    EXPECT_EQ(names(ctx().fetch<Movies>()), (QStringList{"One", "Two"}));
    ASSERT_TRUE(backups::list(dir_.path()).contains(safety));
    ASSERT_TRUE(backups::restore(*store_, safety));
    reopen();
    EXPECT_EQ(names(ctx().fetch<Movies>()), (QStringList{"One", "Two", "Three"}));
}

}  // namespace
