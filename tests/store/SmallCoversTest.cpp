#include <sqlite3.h>

#include <QDir>

#include "StoreFixture.h"

using namespace quillon;
using namespace quillon::test;

namespace {

// Stands in for the picture code: the copy names its cover, and every call is counted.
struct FakeMaker {
    int calls = 0;
    QSize size{300, 450};
    SmallCoverMaker maker() {
        return [this](const QByteArray& cover) {
            ++calls;
            return std::optional<SmallCover>(SmallCover{"small of " + cover, size});
        };
    }
};

// Runs SQL on a store file as an older Quillon, or another program, would.
void execOn(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

class SmallCoversTest : public StoreFixture {
protected:
    void SetUp() override { reopenWith(maker.maker()); }
    void reopenWith(SmallCoverMaker make) {
        store_.reset();
        Status status;
        store_ = CatalogueStore::open(dataDir(), &status, {.makeSmallCopy = std::move(make)});
        ASSERT_TRUE(store_) << status.describe().toStdString();
    }
    std::optional<SmallCover> smallOf(const MoviePtr& m, Attribute a) {
        const auto saved = m->savedCover(a);
        return saved ? SavedCoverReader().readSmall(*saved) : std::nullopt;
    }
    QByteArray smallBytes(const MoviePtr& m, Attribute a) {
        const auto small = smallOf(m, a);
        return small ? small->bytes : QByteArray("(none)");
    }
    QString storePath() const { return QDir(dataDir()).filePath(CatalogueStore::kFileName); }
    FakeMaker maker;
};

TEST_F(SmallCoversTest, ASmallCopyIsWrittenWithItsCoverAndFollowsEveryChangeOfIt) {
    auto m = movie("Heat");
    m->setImage(Attribute::frontImage, QByteArray("A"));
    ASSERT_TRUE(ctx().save());
    EXPECT_EQ(smallBytes(m, Attribute::frontImage), "small of A");
    EXPECT_EQ(smallOf(m, Attribute::frontImage)->coverSize, QSize(300, 450));
    EXPECT_EQ(smallBytes(m, Attribute::backImage), "(none)");

    // One made by the caller is stored as it is; the maker is not asked.
    m->setImage(Attribute::frontImage, QByteArray("B"), SmallCover{"given", {10, 20}});
    m->setImage(Attribute::backImage, QByteArray("C"));
    ASSERT_TRUE(ctx().save());
    EXPECT_EQ(smallBytes(m, Attribute::frontImage), "given");
    EXPECT_EQ(smallBytes(m, Attribute::backImage), "small of C");
    EXPECT_EQ(maker.calls, 2);

    // A delete takes the copies along, its undo brings them back without making them again.
    const auto frontPlace = *m->savedCover(Attribute::frontImage);
    const DeletedRecord deleted = ctx().deleteRestorably(m);
    ASSERT_TRUE(ctx().save());
    EXPECT_FALSE(SavedCoverReader().readSmall(frontPlace));
    ASSERT_TRUE(ctx().restoreDeleted(deleted));
    ASSERT_TRUE(ctx().save());
    EXPECT_EQ(smallBytes(m, Attribute::frontImage), "given");
    EXPECT_EQ(smallBytes(m, Attribute::backImage), "small of C");
    EXPECT_EQ(maker.calls, 2);

    m->setImage(Attribute::frontImage, std::nullopt);
    ASSERT_TRUE(ctx().save());
    EXPECT_FALSE(SavedCoverReader().readSmall(frontPlace));
    reopen();  // without a maker: a new cover is saved alone, and listed as lacking its copy
    m = ctx().fetch<Movies>().at(0);
    m->setImage(Attribute::frontImage, QByteArray("D"));
    ASSERT_TRUE(ctx().save());
    EXPECT_EQ(smallBytes(m, Attribute::frontImage), "(none)");
    const auto missing = ctx().coversWithoutSmallCopy();
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].cover.attribute, Attribute::frontImage);
}

TEST_F(SmallCoversTest, ACopyThatCannotBeWrittenFailsTheSaveOfItsCover) {
    reopenWith([](const QByteArray&) { return SmallCover{QByteArray(200, 's'), QSize(1, 1)}; });
    ctx().setLengthLimitForTesting(100);
    movie("Ran")->setImage(Attribute::frontImage, QByteArray(60, 'x'));  // the cover fits
    const Status failed = ctx().save();
    EXPECT_EQ(failed.code, Status::TooBig) << failed.describe().toStdString();
    reopen();
    EXPECT_EQ(names(), QStringList{}) << "neither the movie nor its cover was written";
}

TEST_F(SmallCoversTest, AStoreOfTheFirstVersionIsReadAsItIsAndGainsCopiesOnceWritable) {
    reopenWith(nullptr);
    movie("Old")->setImage(Attribute::frontImage, QByteArray("old cover"));
    movie("Bare");
    ASSERT_TRUE(ctx().save());
    store_.reset();
    execOn(storePath(), "DROP TABLE SmallCovers; PRAGMA user_version = 1");

    Status status;
    {
        auto readOnly = CatalogueStore::open(dataDir(), &status, {.readOnly = true});
        ASSERT_TRUE(readOnly) << status.describe().toStdString();
        const auto movies = readOnly->viewContext().fetch<Movies>();
        ASSERT_EQ(movies.size(), 2u);
        EXPECT_EQ(movies[0]->frontImage(), QByteArray("old cover"));
        EXPECT_FALSE(smallOf(movies[0], Attribute::frontImage));
        EXPECT_TRUE(readOnly->viewContext().coversWithoutSmallCopy().empty());
    }
    reopenWith(maker.maker());
    auto missing = ctx().coversWithoutSmallCopy();
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].record->text(Attribute::name), "Old");
    // A copy made of a cover that changed since it was listed is left out.
    auto old = std::static_pointer_cast<Movies>(missing[0].record);
    int stored = -1;
    old->setImage(Attribute::frontImage, QByteArray("newer cover"));
    ASSERT_TRUE(ctx().storeSmallCopies({{missing[0], {"stale", {1, 1}}}}, &stored));
    EXPECT_EQ(stored, 0);
    ctx().refreshObject(old);  // changed back: still not the listed generation
    ASSERT_TRUE(ctx().storeSmallCopies({{missing[0], {"stale", {1, 1}}}}, &stored));
    EXPECT_EQ(stored, 0);
    missing = ctx().coversWithoutSmallCopy();
    ASSERT_TRUE(ctx().storeSmallCopies({{missing.at(0), {"made later", {4, 6}}}}, &stored));
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(smallBytes(old, Attribute::frontImage), "made later");
    EXPECT_TRUE(ctx().coversWithoutSmallCopy().empty());
    EXPECT_EQ(maker.calls, 0);
}

TEST_F(SmallCoversTest, AStoreOfANewerVersionIsRefusedAndLeftAsItWas) {
    movie("Future");
    ASSERT_TRUE(ctx().save());
    store_.reset();
    execOn(storePath(), "PRAGMA user_version = 3");
    const QByteArray before = contents(storePath());
    Status status;
    EXPECT_FALSE(CatalogueStore::open(dataDir(), &status));
    EXPECT_EQ(status.code, Status::Refused);
    EXPECT_EQ(status.error, "The store was written by a newer version of Quillon");
    EXPECT_EQ(contents(storePath()), before);
}

}  // namespace
