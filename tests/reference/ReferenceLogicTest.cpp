#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include "ReferenceTestUtil.h"
#include "reference/ReferenceEntryRules.h"
#include "reference/ReferenceListModel.h"
#include "reference/ReferenceListQuery.h"
#include "support/TestSupport.h"

using namespace quillon;
using Outcome = EntrySaveResult::Outcome;

namespace {

class ReferenceLogicTest : public ::testing::Test {
protected:
    ManagedObjectContext& context() { return fixture.context(); }
    test::AppFixture fixture;
};

// The list model keeps Qt's item-model rules (checked by the tester) through what the list does
// to its rows: fetches and searches reset them, a delete removes one.
TEST_F(ReferenceLogicTest, FetchOrdersCaseSensitivelyAndSearchIgnoresLetterCase) {
    test::addEntries(context(), kGenreMember, {"Drama", "action", "Melodrama", "Zulu"});
    kGenreMember.insertInto(context());  // an entry without text
    ASSERT_TRUE(context().save().ok);
    ReferenceListQuery query(kGenreMember, context());
    ReferenceListModel model(query);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto shown = [&] {
        model.reload();
        return test::shownTexts(&model);
    };
    query.SortAsc = true;
    query.fetchList();
    EXPECT_EQ(shown(), (QStringList{"", "Drama", "Melodrama", "Zulu", "action"}));
    query.SortAsc = false;
    query.fetchList();
    EXPECT_EQ(shown(), (QStringList{"action", "Zulu", "Melodrama", "Drama", ""}));

    query.filterList("rAM");
    EXPECT_EQ(shown(), (QStringList{"Melodrama", "Drama"}));
    model.removeRow(0);
    EXPECT_EQ(test::shownTexts(&model), QStringList{"Drama"});
    query.filterList("x");
    EXPECT_TRUE(shown().isEmpty()) << "an entry without text never matches";
    query.filterList("");
    EXPECT_EQ(shown().size(), 4);
}

TEST_F(ReferenceLogicTest, AddRefusesBlankInputAndDuplicatesOfTheTrimmedText) {
    test::addEntries(context(), kGenreMember, {"Drama"});
    ReferenceEntryRules rules(kGenreMember, context());
    rules.loadExistingTexts();
    for (const QString& blank : {QString(), QString("   "), QString("\t \u00a0")})
        EXPECT_EQ(rules.add(blank).message, "Genre not Entered");
    for (const QString& same : {QString("Drama"), QString(" Drama"), QString("Drama\t ")})
        EXPECT_EQ(rules.add(same).message, "Duplicates not allowed");
    EXPECT_FALSE(context().hasChanges());

    EXPECT_EQ(rules.add("drama").outcome, Outcome::Saved) << "letter case counts";
    EXPECT_EQ(rules.add("  Film Noir\u2003\t").outcome, Outcome::Saved);
    EXPECT_EQ(rules.add("War\n ").outcome, Outcome::Saved);
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(test::storedTexts(context(), kGenreMember),
              (QStringList{"Drama", "drama", "Film Noir", "War\n"}))
        << "line breaks stay";

    ReferenceEntryRules ratings(kRatingMember, context());
    ratings.loadExistingTexts();
    EXPECT_EQ(ratings.add(" ").message, "Rating not Entered");
}

// Edits change stored entries only: the movies keep the texts they were given.
TEST_F(ReferenceLogicTest, EditTrimsChangesTheFirstMatchAndLeavesMoviesAlone) {
    test::addEntries(context(), kGenreMember, {"Drama", "War", "Action", "War"});
    test::addEntries(context(), kRatingMember, {"R"});
    MoviePtr movie = Movies::insertInto(context());
    movie->setText(Attribute::genre, "Drama");
    movie->setText(Attribute::rating, "R");
    ASSERT_TRUE(context().save().ok);
    ReferenceEntryRules rules(kGenreMember, context());

    EXPECT_EQ(rules.edit("Drama", "  Melodrama ").outcome, Outcome::Saved);
    EXPECT_EQ(rules.edit("Action", "").outcome, Outcome::Saved);
    EXPECT_EQ(rules.edit("War", "Peace").outcome, Outcome::Saved);
    const EntrySaveResult gone = rules.edit("Drama", "Anything");
    EXPECT_EQ(gone.outcome, Outcome::NothingFound);
    EXPECT_TRUE(gone.returnsToList());
    EXPECT_EQ(rules.edit("War", "Melodrama").outcome, Outcome::Saved) << "no duplicate test";
    ReferenceEntryRules ratings(kRatingMember, context());
    EXPECT_EQ(ratings.edit("R", "Restricted").outcome, Outcome::Saved);
    EXPECT_FALSE(context().hasChanges());

    fixture.restart();
    EXPECT_EQ(test::storedTexts(context(), kGenreMember),
              (QStringList{"Melodrama", "Peace", "", "Melodrama"}));
    EXPECT_EQ(test::storedTexts(context(), kRatingMember), QStringList{"Restricted"});
    const auto movies = context().fetch<Movies>();
    ASSERT_EQ(movies.size(), 1u);
    EXPECT_EQ(movies[0]->genre(), "Drama");
    EXPECT_EQ(movies[0]->rating(), "R");
}

TEST_F(ReferenceLogicTest, AFailedSaveIsReportedAndTakenBack) {
    test::addEntries(context(), kGenreMember, {"Drama"});
    test::LogCapture log;
    ReferenceEntryRules rules(kGenreMember, context());
    rules.loadExistingTexts();

    test::refuseWrites(fixture.dataDir(), kGenreMember, "INSERT");
    const EntrySaveResult failed = rules.add("Noir");
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_TRUE(failed.message.contains("refused by test")) << failed.message.toStdString();
    EXPECT_FALSE(failed.returnsToList());
    EXPECT_FALSE(context().hasChanges()) << "the refused insert is not left pending";
    EXPECT_FALSE(log.lines.isEmpty());
    test::allowWrites(fixture.dataDir());
    EXPECT_EQ(rules.add("Noir").outcome, Outcome::Saved);

    test::refuseWrites(fixture.dataDir(), kGenreMember, "UPDATE");
    EXPECT_EQ(rules.edit("Drama", "Melodrama").outcome, Outcome::Failed);
    EXPECT_EQ(test::storedTexts(context(), kGenreMember), (QStringList{"Drama", "Noir"}));
    test::allowWrites(fixture.dataDir());

    fixture.restart();
    EXPECT_EQ(test::storedTexts(context(), kGenreMember), (QStringList{"Drama", "Noir"}));
}

}  // namespace
