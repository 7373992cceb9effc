#include "StoreFixture.h"
#include "store/DeleteHistory.h"
#include "support/RefuseWrites.h"

using namespace quillon;
using namespace quillon::test;

namespace {

class DeleteHistoryTest : public StoreFixture {
protected:
    DeleteHistory::SaveFunction save() {
        return [this] { return bool(ctx().save()); };
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
        if (undo.outcome == Outcome::NothingToUndo) return "nothing";
        return (undo.outcome == Outcome::Restored ? "restored " : "refused ") +
               undo.object->text(Attribute::name).value_or("-");
    }
};

TEST_F(DeleteHistoryTest, UndoBringsBackTheNewestDeleteOfTheEntityWholeAtItsPlace) {
    for (const char* name : {"A", "B", "C"}) {
        auto m = movie(name);
        m->setImage(Attribute::frontImage, QByteArray("f") + name);
        m->setImage(Attribute::backImage, QByteArray(name == QString("B") ? "" : "b"));
    }
    GenreList::insertInto(ctx())->setGenre("Drama");
    ASSERT_TRUE(ctx().save());
    reopen();  // covers now live on the device only
    const auto stored = ctx().fetch<Movies>();
    const auto byName = [this](const char* name) {
        return ctx().fetch<Movies>(Predicate::equals(Attribute::name, name)).size();
    };
    ASSERT_EQ(byName("B"), 1u);

    DeleteHistory history(ctx());
    // A delete whose save fails is taken back at once and not remembered.
    refuseWrites(dataDir(), Entity::Movies, "DELETE");
    EXPECT_FALSE(history.deleteAndSave(stored[1], save()));
    EXPECT_FALSE(stored[1]->isDeleted());
    EXPECT_FALSE(ctx().hasChanges());
    allowWrites(dataDir());

    ASSERT_TRUE(history.deleteAndSave(stored[1], save()));
    ASSERT_TRUE(history.deleteAndSave(ctx().fetch<GenreList>().at(0), save()));
    ASSERT_TRUE(history.deleteAndSave(stored[2], save()));
    EXPECT_FALSE(history.deleteAndSave(stored[2], save())) << "already deleted";
    EXPECT_EQ(movies(), QStringList{"A:fA/b"});
    // An undo whose save fails deletes the record again and keeps it to undo.
    refuseWrites(dataDir(), Entity::Movies, "INSERT");
    EXPECT_EQ(undo(history, Entity::Movies), "refused C");
    EXPECT_FALSE(ctx().hasChanges());
    allowWrites(dataDir());
    EXPECT_EQ(undo(history, Entity::Movies), "restored C");
    EXPECT_EQ(undo(history, Entity::Movies), "restored B");
    EXPECT_EQ(undo(history, Entity::Movies), "nothing");
    EXPECT_EQ(ctx().count(Entity::GenreList), 0) << "the genre's delete stays until undone";
    EXPECT_EQ(byName("B"), 1u);
    reopen();
    EXPECT_EQ(movies(), (QStringList{"A:fA/b", "B:fB/", "C:fC/b"}));
}

TEST_F(DeleteHistoryTest, KeepsTheNewestDeletes) {
    for (int i = 0; i < 5; ++i) GenreList::insertInto(ctx())->setGenre(QString::number(i));
    ASSERT_TRUE(ctx().save());
    DeleteHistory history(ctx(), 3);
    for (const auto& genre : ctx().fetch<GenreList>())
        ASSERT_TRUE(history.deleteAndSave(genre, save()));
    for (int i = 0; i < 5; ++i) (void)history.undoLast(Entity::GenreList, save());
    QStringList kept;
    for (const auto& genre : ctx().fetch<GenreList>()) kept << *genre->genre();
    EXPECT_EQ(kept, (QStringList{"2", "3", "4"})) << "the oldest deletes are forgotten";
}

}  // namespace
