#include <gtest/gtest.h>

#include "ReferenceTestUtil.h"
#include "reference/ReferenceEntryRules.h"
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

TEST_F(ReferenceLogicTest, FetchOrdersCaseSensitivelyAndSearchIgnoresLetterCase) {
    test::addEntries(context(), kGenreMember, {"Drama", "action", "Melodrama", "Zulu"});
    kGenreMember.insertInto(context());  // an entry without text
    ASSERT_TRUE(context().save().ok);
    ReferenceListQuery query(kGenreMember, context());
    query.SortAsc = true;
    query.fetchList();
    EXPECT_EQ(test::rowTexts(query), (QStringList{"", "Drama", "Melodrama", "Zulu", "action"}));
    query.SortAsc = false;
    query.fetchList();
    EXPECT_EQ(test::rowTexts(query), (QStringList{"action", "Zulu", "Melodrama", "Drama", ""}));

    query.filterList("rAM");
    EXPECT_EQ(test::rowTexts(query), (QStringList{"Melodrama", "Drama"}));
    query.filterList("x");
    EXPECT_TRUE(query.rows().empty()) << "an entry without text never matches";
    query.filterList("");
    EXPECT_EQ(query.rows().size(), 5u);
}

TEST_F(ReferenceLogicTest, AddRefusesBlankInputAndDuplicatesOfTheTrimmedText) {
    test::addEntries(context(), kGenreMember, {"Drama"});
    ReferenceEntryRules rules(kGenreMember, context());
    rules.loadExistingTexts();
    for (const QString& blank : {QString(), QString("   "), QString("\t \u00a0")}) {
        const EntrySaveResult result = rules.add(blank);
        EXPECT_EQ(result.outcome, Outcome::Refused);
        EXPECT_EQ(result.message, "Genre not Entered");
        EXPECT_FALSE(result.returnsToList());
    }
    for (const QString& same : {QString("Drama"), QString(" Drama"), QString("Drama\t ")}) {
        const EntrySaveResult result = rules.add(same);
        EXPECT_EQ(result.outcome, Outcome::Refused) << same.toStdString();
        EXPECT_EQ(result.message, "Duplicates not allowed");
    }
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(test::storedTexts(context(), kGenreMember), QStringList{"Drama"});

    EXPECT_EQ(rules.add("drama").outcome, Outcome::Saved) << "letter case counts";
    EXPECT_EQ(rules.add("  Film Noir\t").outcome, Outcome::Saved);
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(test::storedTexts(context(), kGenreMember),
              (QStringList{"Drama", "drama", "Film Noir"}));

    ReferenceEntryRules ratings(kRatingMember, context());
    ratings.loadExistingTexts();
    EXPECT_EQ(ratings.add(" ").message, "Rating not Entered");
    EXPECT_EQ(ratings.add("NC-17 ").outcome, Outcome::Saved);
    EXPECT_EQ(test::storedTexts(context(), kRatingMember), QStringList{"NC-17"});
    EXPECT_EQ(trimmedEntryText(" \tScience  Fiction\u2003"), "Science  Fiction");
    EXPECT_EQ(trimmedEntryText("War\n "), "War\n") << "line breaks stay";
}

TEST_F(ReferenceLogicTest, EditTrimsStoresEmptyTextAndChangesTheFirstMatch) {
    test::addEntries(context(), kGenreMember, {"Drama", "War", "Action", "War"});
    ReferenceEntryRules rules(kGenreMember, context());

    EXPECT_EQ(rules.edit("Drama", "  Melodrama ").outcome, Outcome::Saved);
    EXPECT_EQ(rules.edit("Action", "").outcome, Outcome::Saved);
    EXPECT_EQ(rules.edit("War", "Peace").outcome, Outcome::Saved);
    EXPECT_EQ(test::storedTexts(context(), kGenreMember),
              (QStringList{"Melodrama", "Peace", "", "War"}));

    const EntrySaveResult gone = rules.edit("Drama", "Anything");
    EXPECT_EQ(gone.outcome, Outcome::NothingFound);
    EXPECT_TRUE(gone.returnsToList());
    EXPECT_EQ(rules.edit("War", "Melodrama").outcome, Outcome::Saved) << "no duplicate test";
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(test::storedTexts(context(), kGenreMember),
              (QStringList{"Melodrama", "Peace", "", "Melodrama"}));
}

TEST_F(ReferenceLogicTest, EntriesChangeWithoutTouchingMoviesAndSurviveARestart) {
    test::addEntries(context(), kGenreMember, {"Drama"});
    test::addEntries(context(), kRatingMember, {"R"});
    MoviePtr movie = Movies::insertInto(context());
    movie->setName("Heat");
    movie->setText(Attribute::genre, "Drama");
    movie->setText(Attribute::rating, "R");
    ASSERT_TRUE(context().save().ok);

    ReferenceEntryRules genres(kGenreMember, context());
    ReferenceEntryRules ratings(kRatingMember, context());
    ASSERT_EQ(genres.edit("Drama", "Crime Drama").outcome, Outcome::Saved);
    ASSERT_EQ(ratings.edit("R", "Restricted").outcome, Outcome::Saved);
    genres.loadExistingTexts();
    ASSERT_EQ(genres.add("Thriller").outcome, Outcome::Saved);

    fixture.restart();
    EXPECT_EQ(test::storedTexts(context(), kGenreMember), (QStringList{"Crime Drama", "Thriller"}));
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

    test::refuseWrites(fixture.dataDir(), kGenreMember.entity, "INSERT");
    const EntrySaveResult failed = rules.add("Noir");
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_TRUE(failed.message.contains("refused by test")) << failed.message.toStdString();
    EXPECT_FALSE(failed.returnsToList());
    EXPECT_FALSE(context().hasChanges()) << "the refused insert is not left pending";
    EXPECT_FALSE(log.lines.isEmpty());
    test::allowWrites(fixture.dataDir());
    EXPECT_EQ(rules.add("Noir").outcome, Outcome::Saved);

    test::refuseWrites(fixture.dataDir(), kGenreMember.entity, "UPDATE");
    EXPECT_EQ(rules.edit("Drama", "Melodrama").outcome, Outcome::Failed);
    EXPECT_EQ(test::storedTexts(context(), kGenreMember), (QStringList{"Drama", "Noir"}));
    test::allowWrites(fixture.dataDir());

    fixture.restart();
    EXPECT_EQ(test::storedTexts(context(), kGenreMember), (QStringList{"Drama", "Noir"}));
}

}  // namespace
