#include <gtest/gtest.h>

#include "ReferenceTestUtil.h"
#include "reference/ReferenceEntryRules.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"

using namespace quillon;
using Outcome = EntrySaveResult::Outcome;

namespace {

class ReferenceLogicTest : public ::testing::Test {
protected:
    ManagedObjectContext& context() { return fixture.context(); }
    test::AppFixture fixture;
};

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
    EXPECT_EQ(ratings.add(" ").message, "Rating not Entered");
}

// Edits change stored entries only: the movies keep the texts they were given.
TEST_F(ReferenceLogicTest, EditTrimsChangesTheFirstMatchAndLeavesMoviesAlone) {
    test::addEntries(context(), kGenreMember, {"Drama", "War", "Action", "War"});
    Movies::insertInto(context())->setText(Attribute::genre, "Drama");
    ASSERT_TRUE(context().save().ok);
    ReferenceEntryRules rules(kGenreMember, context());

    EXPECT_EQ(rules.edit("Drama", "  Melodrama ").outcome, Outcome::Saved);
    EXPECT_EQ(rules.edit("Action", "").outcome, Outcome::Saved);
    EXPECT_EQ(rules.edit("War", "Peace").outcome, Outcome::Saved);
    const EntrySaveResult gone = rules.edit("Drama", "Anything");
    EXPECT_EQ(gone.outcome, Outcome::NothingFound);
    EXPECT_TRUE(gone.returnsToList());
    EXPECT_EQ(rules.edit("War", "Melodrama").outcome, Outcome::Saved) << "no duplicate test";
    EXPECT_FALSE(context().hasChanges());

    fixture.restart();
    EXPECT_EQ(test::storedTexts(context(), kGenreMember),
              (QStringList{"Melodrama", "Peace", "", "Melodrama"}));
    EXPECT_EQ(context().fetch<Movies>().at(0)->genre(), "Drama");
}

// (A refused add is shown, kept back and tried again by the add screen's test.)
TEST_F(ReferenceLogicTest, AFailedEditIsLoggedAndTakenBack) {
    test::addEntries(context(), kGenreMember, {"Drama"});
    test::refuseWrites(fixture.dataDir(), kGenreMember.entity, "UPDATE");
    test::LogCapture log;
    const EntrySaveResult failed =
        ReferenceEntryRules(kGenreMember, context()).edit("Drama", "War");
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_TRUE(failed.message.contains(test::kRefusedByTest) && !failed.returnsToList());
    EXPECT_EQ(log.lines.filter(test::kRefusedByTest).size(), 1);
    EXPECT_FALSE(context().hasChanges()) << "the refused change is not left pending";
    EXPECT_EQ(test::storedTexts(context(), kGenreMember), QStringList{"Drama"});
}

}  // namespace
