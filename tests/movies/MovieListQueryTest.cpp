#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include "movies/MovieListQuery.h"
#include "store/SelectionState.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

class MovieListQueryTest : public ::testing::Test {
protected:
    MoviePtr add(OptionalText name, qint16 year, OptionalText genre = {},
                 OptionalText director = {}, OptionalText producer = {}, qint16 runTime = 0) {
        auto m = Movies::insertInto(app.context());
        m->setName(name);
        m->setYear(year);
        m->setText(Attribute::genre, genre);
        m->setText(Attribute::director, director);
        m->setText(Attribute::producer, producer);
        m->setRunTime(runTime);
        return m;
    }
    QStringList firstLabels(const MovieListQuery& query) {
        QStringList labels;
        for (const auto& m : query.rows())
            labels << MovieListQuery::rowTexts(*m, query.segmentIndex).MovieNameLabel;
        return labels;
    }
    QStringList names(const MovieListQuery& query) {
        QStringList out;
        for (const auto& m : query.rows()) out << m->name().value_or("-");
        return out;
    }

    test::AppFixture app;
};

TEST_F(MovieListQueryTest, RowTextsFollowTheKeyToTheCharacter) {
    auto m = add("Heat", 1995, "Crime", "Mann", "Art", 170);
    m->setText(Attribute::leadingActor1, "Pacino");
    m->setText(Attribute::leadingActor2, "De Niro");
    const auto texts = [&](int k) {
        const MovieRowTexts t = MovieListQuery::rowTexts(*m, k);
        return QStringList{t.MovieNameLabel, t.SecondLabel, t.ThirdLabel, t.FourthLabel};
    };
    EXPECT_EQ(texts(0), (QStringList{"Movie: Heat", "Year: 1995   Run Time: 170",
                                     "Actors: Pacino, De Niro", "Actress's: , "}));
    EXPECT_EQ(texts(1)[0], "Genre: Crime");
    EXPECT_EQ(texts(1)[1], "Movie: Heat   Year: 1995  Run Time: 170");
    EXPECT_EQ(texts(2)[0], "Year: 1995");
    EXPECT_EQ(texts(2)[1], "Movie: Heat   Genre: Crime");
    EXPECT_EQ(texts(3)[0], "Director: Mann");
    EXPECT_EQ(texts(3)[1], "Movie: Heat   Year: 1995  Run Time: 170");
    EXPECT_EQ(texts(4)[0], "Producer: Art");

    auto bare = add(std::nullopt, 0, std::nullopt, std::nullopt, std::nullopt, -5);
    bare->setText(Attribute::leadingActress2, "Ashley Judd");
    const MovieRowTexts t = MovieListQuery::rowTexts(*bare, 0);
    EXPECT_EQ(t.MovieNameLabel, "Movie: ");
    EXPECT_EQ(t.SecondLabel, "Year: 0   Run Time: -5");
    EXPECT_EQ(t.ThirdLabel, "Actors: , ");
    EXPECT_EQ(t.FourthLabel, "Actress's: , Ashley Judd");
}

TEST_F(MovieListQueryTest, EachKeySortsByItsFieldThenByNameInOneDirection) {
    add("Mid", 1999, std::nullopt, std::nullopt);
    add("b", 1999, "Drama", "Nolan");
    add("Zed", 999, "Drama", "Nolan");
    add("a", 2001, "Action", "Anderson");
    MovieListQuery query(app.context());
    query.SortAsc = true;

    query.segmentIndex = MovieListQuery::Movie;
    query.fetchMovies();
    EXPECT_EQ(names(query), (QStringList{"Mid", "Zed", "a", "b"}));

    query.segmentIndex = MovieListQuery::Year;
    query.fetchMovies();
    EXPECT_EQ(names(query), (QStringList{"Zed", "Mid", "b", "a"}));

    query.segmentIndex = MovieListQuery::Director;
    query.SortAsc = false;
    query.fetchMovies();
    EXPECT_EQ(names(query), (QStringList{"b", "Zed", "a", "Mid"}));
    EXPECT_EQ(firstLabels(query), (QStringList{"Director: Nolan", "Director: Nolan",
                                               "Director: Anderson", "Director: "}));

    // Without a direction the store's own order stands.
    query.SortAsc.reset();
    query.fetchMovies();
    EXPECT_EQ(names(query), (QStringList{"Mid", "b", "Zed", "a"}));
}

TEST_F(MovieListQueryTest, SearchMatchesSubstringsOfTheKeyFieldInAnyCase) {
    add("The Matrix", 1999, "Science Fiction", "Wachowski");
    add("matrimony", 1899, "Drama", std::nullopt);
    add("Tron", 2099, "Action", "Lisberger");
    add("Heat", 1995, "Crime", "MANN");
    add("Alien", 1979, "Horror", "Scott");
    MovieListQuery query(app.context());
    query.SortAsc = true;
    query.fetchMovies();

    query.filterMovies("MaT");
    EXPECT_EQ(names(query), (QStringList{"The Matrix", "matrimony"}));
    EXPECT_EQ(query.headerText(), "# Movies = 2 of 5");

    query.segmentIndex = MovieListQuery::Year;
    query.fetchMovies();
    query.filterMovies("99");
    EXPECT_EQ(names(query), (QStringList{"matrimony", "Heat", "The Matrix", "Tron"}));

    query.segmentIndex = MovieListQuery::Director;
    query.fetchMovies();
    query.filterMovies("I");  // the movie without a director never matches
    EXPECT_EQ(names(query), (QStringList{"Tron", "The Matrix"}));
    query.filterMovies("mann");
    EXPECT_EQ(names(query), (QStringList{"Heat"}));
    query.filterMovies("zzz");
    EXPECT_TRUE(query.rows().empty());
    EXPECT_EQ(query.headerText(), "# Movies = 0 of 5");
    query.filterMovies("");
    EXPECT_EQ(query.headerText(), "# Movies = 5");
}

TEST_F(MovieListQueryTest, SwitchingKeyKeepsTheSearchTextUnapplied) {
    add("Alpha", 2000);
    add("Beta", 2001);
    add("Alphaville", 1965);
    MovieListQuery query(app.context());
    query.SortAsc = true;
    query.fetchMovies();
    query.filterMovies("alpha");
    ASSERT_EQ(query.headerText(), "# Movies = 2 of 3");

    // The key switch refetches: the text stays but is not applied until it changes.
    query.segmentIndex = MovieListQuery::Genre;
    query.setSearchTextWithoutFiltering(query.searchText());
    query.fetchMovies();
    EXPECT_EQ(query.headerText(), "# Movies = 3 of 3");
    query.refetchKeepingSearch();
    EXPECT_EQ(query.headerText(), "# Movies = 3 of 3") << "an unapplied text stays unapplied";
}

// A movie deleted from the rows is gone from both arrays: no later search text, and no
// clearing of it, lists it or counts it again.
TEST_F(MovieListQueryTest, ADeletedRowLeavesBothArrays) {
    struct Case {
        const char* search;  // applied before the delete; "" for none
        bool keySwitched;    // the text was left unapplied by a key switch
        int row;
        const char* header;  // right after the delete
    };
    const Case cases[] = {
        {"", false, 1, "# Movies = 2"},
        {"alpha", false, 1, "# Movies = 1 of 2"},
        {"alpha", true, 1, "# Movies = 2 of 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.search) + (c.keySwitched ? " switched" : ""));
        QTemporaryDir dir;
        Status status;
        auto store = CatalogueStore::open(dir.path(), &status);
        ASSERT_TRUE(store);
        ManagedObjectContext& context = store->viewContext();
        for (const char* name : {"Alpha", "Alphaville", "Beta"})
            Movies::insertInto(context)->setName(QString(name));
        MovieListQuery query(context);
        query.SortAsc = true;
        query.fetchMovies();
        EXPECT_FALSE(query.prepareSearch(1)) << "search fields partly prepared";
        query.filterMovies(c.search);
        if (c.keySwitched) {
            query.setSearchTextWithoutFiltering(c.search);
            query.fetchMovies();
        }
        const MoviePtr doomed = query.rows()[c.row];
        ASSERT_EQ(doomed->name(), "Alphaville");
        context.deleteObject(doomed);
        query.removeRow(c.row);
        EXPECT_EQ(query.headerText(), c.header);
        EXPECT_EQ(query.rowOf(doomed.get()), -1);

        query.filterMovies("");
        EXPECT_EQ(names(query), (QStringList{"Alpha", "Beta"}));
        query.filterMovies("ALP");
        EXPECT_EQ(names(query), QStringList{"Alpha"});
        EXPECT_EQ(query.headerText(), "# Movies = 1 of 2");
        query.filterMovies("A");
        EXPECT_EQ(names(query), (QStringList{"Alpha", "Beta"}));
    }
}

TEST_F(MovieListQueryTest, ARefetchKeepsAnAppliedSearchAndFindsTheRestoredMovie) {
    add("Alpha", 2000);
    add("Beta", 2001);
    const MoviePtr back = add("Alphaville", 1965);
    ASSERT_TRUE(app.context().save());
    MovieListQuery query(app.context());
    query.SortAsc = true;
    query.fetchMovies();
    query.filterMovies("alpha");
    const DeletedRecord deleted = app.context().deleteRestorably(back);
    query.removeRow(1);
    ASSERT_TRUE(app.context().restoreDeleted(deleted));
    query.refetchKeepingSearch();
    EXPECT_EQ(names(query), (QStringList{"Alpha", "Alphaville"}));
    EXPECT_EQ(query.headerText(), "# Movies = 2 of 3");
    EXPECT_EQ(query.rowOf(back.get()), 1);

    EXPECT_EQ(MovieListQuery::deletedNotice(*back), "Deleted \u201CAlphaville\u201D");
    back->setName(QString());
    EXPECT_EQ(MovieListQuery::deletedNotice(*back), "Deleted a movie without a name");
}

TEST_F(MovieListQueryTest, SelectionCopiesThePickedMovie) {
    QImage image(4, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    auto onlyBack = add("Back Only", 1990, "Drama", std::nullopt, "Prod");
    onlyBack->setImage(Attribute::backImage, png);
    auto both = add(std::nullopt, 1991);
    both->setImage(Attribute::frontImage, png);
    QByteArray sideways;
    {
        QBuffer buffer(&sideways);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG");
    }
    // Stored 4 x 6 with a note to turn it clockwise: the viewers get it upright, 6 x 4.
    both->setImage(Attribute::backImage, test::withExifOrientation(sideways, 6));
    both->setText(Attribute::notes, "noted");
    ASSERT_TRUE(app.context().save());

    MovieListQuery query(app.context());
    query.SortAsc = true;
    query.fetchMovies();  // unnamed first
    auto& s = SelectionState::shared();
    s.SelectedImages.append(QImage());
    query.fillSelection(1, s);
    EXPECT_EQ(s.SelectedName, "Back Only");
    EXPECT_EQ(s.SelectedYear, 1990);
    EXPECT_EQ(s.SelectedGenre, "Drama");
    EXPECT_EQ(s.SelectedDirector, "");
    EXPECT_EQ(s.SelectedProducer, "Prod");
    EXPECT_TRUE(s.SelectedImages.isEmpty());
    EXPECT_FALSE(s.SelectedFrontImage.has_value());
    EXPECT_EQ(s.SelectedBackImage, png);
    EXPECT_EQ(s.SelectedNotes, "");

    query.fillSelection(0, s);
    EXPECT_EQ(s.SelectedName, "");
    ASSERT_EQ(s.SelectedImages.size(), 2);
    EXPECT_EQ(s.SelectedImages[0].size(), QSize(4, 6));
    EXPECT_EQ(s.SelectedImages[1].size(), QSize(6, 4));
    EXPECT_EQ(s.SelectedNotes, "noted");
}

}  // namespace
