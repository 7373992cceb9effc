#include <QRandomGenerator>

#include "StoreFixture.h"
#include "support/RefuseWrites.h"

using namespace quillon;
using namespace quillon::test;

namespace {

using CountIndexTest = StoreFixture;

// The store's counts against a count over every fetched movie, after each of a long run of
// random edits of every kind, saved, refused, taken back and restored.
TEST_F(CountIndexTest, CountsFollowEveryChangeAsFetchesSeeIt) {
    const std::vector<std::vector<Attribute>> groupings = {
        {Attribute::genre},
        {Attribute::director},
        {Attribute::leadingActor1, Attribute::leadingActor2},
        {Attribute::leadingActress2, Attribute::leadingActress1},
    };
    const QStringList values = {"Smith", "smith", "", "Caf\u00e9", "Cafe\u0301", "\U0001F600"};
    const Attribute edited[] = {Attribute::genre,           Attribute::director,
                                Attribute::leadingActor1,   Attribute::leadingActor2,
                                Attribute::leadingActress1, Attribute::leadingActress2};
    QRandomGenerator random(7);
    const auto pick = [&](const auto& list) { return list[random.bounded(int(std::size(list)))]; };
    const auto anyMovie = [&]() -> MoviePtr {
        const auto all = ctx().fetch<Movies>();
        return all.empty() ? nullptr : all[random.bounded(int(all.size()))];
    };
    const auto setRandomly = [&](const MoviePtr& m) {
        const Attribute a = pick(edited);
        if (random.bounded(5) == 0)
            m->setText(a, std::nullopt);
        else
            m->setText(a, pick(values));
    };
    std::vector<DeletedRecord> deleted;
    const struct {
        const char* name;
        std::function<void()> run;
    } operations[] = {
        {"insert",
         [&] {
             auto m = Movies::insertInto(ctx());
             for (int i = 0; i < 4; ++i) setRandomly(m);
         }},
        {"set",
         [&] {
             if (auto m = anyMovie()) setRandomly(m);
         }},
        {"same value in both slots",
         [&] {
             if (auto m = anyMovie()) {
                 const QString v = pick(values);
                 m->setText(Attribute::leadingActor1, v);
                 m->setText(Attribute::leadingActor2, v);
             }
         }},
        {"delete", [&] { ctx().deleteObject(anyMovie()); }},
        {"delete restorably", [&] { deleted.push_back(ctx().deleteRestorably(anyMovie())); }},
        {"restore",
         [&] {
             if (deleted.empty()) return;
             ctx().restoreDeleted(deleted.back());
             deleted.pop_back();
         }},
        {"refresh",
         [&] {
             if (auto m = anyMovie()) ctx().refreshObject(m);
         }},
        {"save", [&] { ASSERT_TRUE(ctx().save()); }},
        {"refused save",
         [&] {
             refuseWrites(dataDir(), Entity::Movies, "UPDATE");
             refuseWrites(dataDir(), Entity::Movies, "INSERT");
             (void)ctx().save();
             allowWrites(dataDir());
         }},
    };
    int checked = 0;
    for (int step = 0; step < 400; ++step) {
        const auto& operation = operations[random.bounded(int(std::size(operations)))];
        SCOPED_TRACE(testing::Message() << "step " << step << ": " << operation.name);
        operation.run();
        const auto movies = ctx().fetch<Movies>();
        for (const auto& grouping : groupings) {
            for (const QString& value : values) {
                const auto carries = [&](const MoviePtr& m) {
                    return std::any_of(grouping.begin(), grouping.end(), [&](Attribute a) {
                        const QString* text = m->textIfPresent(a);
                        return text && *text == value;
                    });
                };
                const auto expected = std::count_if(movies.begin(), movies.end(), carries);
                ASSERT_EQ(ctx().countMovies(grouping, value), int(expected))
                    << "value " << value.toStdString() << " in " << grouping.size()
                    << " attribute(s)";
                checked += expected > 0;
            }
        }
    }
    EXPECT_GT(checked, 400) << "the run must count many movies, not only zeros";
    // What is counted is what the device holds once saved and reopened.
    ASSERT_TRUE(ctx().save());
    const int actors = ctx().countMovies(groupings[2], "Smith");
    reopen();
    EXPECT_EQ(ctx().countMovies(groupings[2], "Smith"), actors);
}

}  // namespace
