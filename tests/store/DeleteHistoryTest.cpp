#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "store/CatalogueStore.h"
#include "store/DeleteHistory.h"

using namespace quillon;

namespace {

class DeleteHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { reopen(); }
    void reopen() {
        store_.reset();
        Status status;
        store_ = CatalogueStore::open(dir_.path(), &status);
        ASSERT_TRUE(store_) << status.describe().toStdString();
    }
    ManagedObjectContext& ctx() { return store_->viewContext(); }
    DeleteHistory::SaveFunction save() {
        return [this] { return bool(ctx().save()); };
    }
    void movie(const QString& name) {
        auto m = Movies::insertInto(ctx());
        m->setName(name);
        m->setImage(Attribute::frontImage, ("f" + name.toLower()).toUtf8());
        m->setImage(Attribute::backImage, ("b" + name.toLower()).toUtf8());
    }
    // name:front/back of every stored movie, in the store's own order.
    QStringList movies() {
        QStringList out;
        for (const auto& m : ctx().fetch<Movies>())
            out << QString("%1:%2/%3")
                       .arg(*m->name(), QString(m->frontImage().value_or("-")),
                            QString(m->backImage().value_or("-")));
        return out;
    }
    // What undoLast did, and to which record.
    QString undo(DeleteHistory& history, Entity entity) {
        using Outcome = DeleteHistory::Undo::Outcome;
        const DeleteHistory::Undo undo = history.undoLast(entity, save());
        if (undo.outcome == Outcome::NothingToUndo) return undo.object ? "nothing?" : "nothing";
        return (undo.outcome == Outcome::Restored ? "restored " : "refused ") +
               undo.object->text(Attribute::name).value_or("-");
    }

    QTemporaryDir dir_;
    std::unique_ptr<CatalogueStore> store_;
};

TEST_F(DeleteHistoryTest, UndoBringsBackTheNewestDeleteOfTheEntityWholeAtItsPlace) {
    for (const char* name : {"A", "B", "C"}) movie(name);
    GenreList::insertInto(ctx())->setGenre("Drama");
    ASSERT_TRUE(ctx().save());
    reopen();  // covers now live on the device only
    const auto stored = ctx().fetch<Movies>();
    const auto genres = ctx().fetch<GenreList>();

    DeleteHistory history(ctx());
    EXPECT_EQ(undo(history, Entity::Movies), "nothing");
    ASSERT_TRUE(history.deleteAndSave(stored[1], save()));
    ASSERT_TRUE(history.deleteAndSave(genres[0], save()));
    ASSERT_TRUE(history.deleteAndSave(stored[2], save()));
    EXPECT_FALSE(history.deleteAndSave(stored[2], save())) << "already deleted";
    EXPECT_FALSE(ctx().hasChanges());
    EXPECT_EQ(movies(), QStringList{"A:fa/ba"});

    EXPECT_EQ(undo(history, Entity::Movies), "restored C");
    EXPECT_EQ(undo(history, Entity::Movies), "restored B");
    EXPECT_EQ(undo(history, Entity::Movies), "nothing");
    EXPECT_EQ(undo(history, Entity::RatingList), "nothing");
    EXPECT_EQ(ctx().count(Entity::GenreList), 0) << "the genre's delete stays until undone";
    EXPECT_FALSE(ctx().hasChanges());
    EXPECT_EQ(movies(), (QStringList{"A:fa/ba", "B:fb/bb", "C:fc/bc"}));

    reopen();
    QStringList reopened = movies();
    reopened.sort();
    EXPECT_EQ(reopened, (QStringList{"A:fa/ba", "B:fb/bb", "C:fc/bc"}));
}

TEST_F(DeleteHistoryTest, KeepsTheNewestFiftyDeletes) {
    for (int i = 0; i < 55; ++i) GenreList::insertInto(ctx())->setGenre(QString::number(i));
    ASSERT_TRUE(ctx().save());
    DeleteHistory history(ctx());
    for (const auto& genre : ctx().fetch<GenreList>())
        ASSERT_TRUE(history.deleteAndSave(genre, save()));
    int undone = 0;
    while (history.undoLast(Entity::GenreList, save()).object) ++undone;
    EXPECT_EQ(undone, 50);
    reopen();
    int lowest = 100;
    for (const auto& genre : ctx().fetch<GenreList>())
        lowest = qMin(lowest, genre->genre()->toInt());
    EXPECT_EQ(ctx().count(Entity::GenreList), 50);
    EXPECT_EQ(lowest, 5) << "the oldest deletes are forgotten";
}

}  // namespace
