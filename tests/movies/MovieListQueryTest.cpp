#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QImage>
#include <QSignalSpy>

#include "movies/MovieListModel.h"
#include "movies/MovieListQuery.h"
#include "toolkit/SelectionState.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

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
    static QStringList names(const MovieListQuery& query) {
        QStringList out;
        for (const auto& m : query.rows()) out << m->name().value_or("-");
        return out;
    }
    static QStringList labels(const Movies& movie, int key) {
        const MovieRowTexts t = MovieListQuery::rowTexts(movie, key);
        return {t.MovieNameLabel, t.SecondLabel, t.ThirdLabel, t.FourthLabel};
    }

    test::AppFixture app;
};

// One row per key. Absent texts read empty; the last two labels are the same under every key.
TEST_F(MovieListQueryTest, RowTextsFollowTheKeyToTheCharacter) {
    auto heat = add("Heat", 1995, "Crime", "Mann", std::nullopt, -5);
    heat->setText(Attribute::leadingActor1, "Pacino");
    heat->setText(Attribute::leadingActor2, "De Niro");
    heat->setText(Attribute::leadingActress2, "Ashley Judd");
    using enum MovieListQuery::Key;
    const struct {
        MovieListQuery::Key key;
        QStringList labels;
    } cases[] = {
        {Movie, {"Movie: Heat", "Year: 1995   Run Time: -5"}},
        {Genre, {"Genre: Crime", "Movie: Heat   Year: 1995  Run Time: -5"}},
        {Year, {"Year: 1995", "Movie: Heat   Genre: Crime"}},
        {Director, {"Director: Mann", "Movie: Heat   Year: 1995  Run Time: -5"}},
        {Producer, {"Producer: ", "Movie: Heat   Year: 1995  Run Time: -5"}},
    };
    const QStringList sameUnderEveryKey{"Actors: Pacino, De Niro", "Actress's: , Ashley Judd"};
    for (const auto& c : cases) EXPECT_EQ(labels(*heat, c.key), c.labels + sameUnderEveryKey);
    EXPECT_EQ(labels(*add("{genre} 100%", 1, "Crime"), Movie).first(), "Movie: {genre} 100%");
    EXPECT_EQ(MovieListQuery::deletedNotice(*heat), "Deleted \u201CHeat\u201D");
    heat->setName(QString());
    EXPECT_EQ(MovieListQuery::deletedNotice(*heat), "Deleted a movie without a name");
}

TEST_F(MovieListQueryTest, EachKeySortsByItsFieldThenByNameInOneDirection) {
    add("Mid", 1999, std::nullopt, std::nullopt);
    add("b", 1999, "Drama", "Nolan");
    add("Zed", 999, "Drama", "Nolan");
    add("a", 2001, "Action", "Anderson");
    MovieListQuery query(app.context());
    const struct {
        int key;
        std::optional<bool> ascending;  // none: the store's own order stands
        QStringList names;
    } cases[] = {
        {MovieListQuery::Movie, true, {"Mid", "Zed", "a", "b"}},
        {MovieListQuery::Year, true, {"Zed", "Mid", "b", "a"}},
        {MovieListQuery::Director, false, {"b", "Zed", "a", "Mid"}},
        {MovieListQuery::Director, std::nullopt, {"Mid", "b", "Zed", "a"}},
    };
    for (const auto& c : cases) {
        query.segmentIndex = c.key;
        query.SortAsc = c.ascending;
        query.fetchMovies();
        EXPECT_EQ(names(query), c.names) << c.key;
    }
}

// The search looks in the key's field at once after a key switch, without a refetch.
TEST_F(MovieListQueryTest, SearchMatchesSubstringsOfTheKeyFieldInAnyCase) {
    add("The Matrix", 1999, "Science Fiction", "Wachowski");
    add("matrimony", 1899, "Drama", std::nullopt);
    add("Tron", 2099, "Action", "Lisberger");
    add("Heat", 1995, "Crime", "MANN");
    add("Alien", 1979, "Horror", "Scott");
    MovieListQuery query(app.context());
    query.SortAsc = true;
    query.fetchMovies();
    const struct {
        int key;
        const char* text;
        QStringList names;
    } cases[] = {
        {MovieListQuery::Movie, "MaT", {"The Matrix", "matrimony"}},
        {MovieListQuery::Year, "99", {"Heat", "The Matrix", "Tron", "matrimony"}},
        {MovieListQuery::Director, "I", {"The Matrix", "Tron"}},  // none without a director
        {MovieListQuery::Director, "mann", {"Heat"}},
        {MovieListQuery::Director, "zzz", {}},
        {MovieListQuery::Genre, "ION", {"The Matrix", "Tron"}},
    };
    for (const auto& c : cases) {
        query.segmentIndex = c.key;
        query.filterMovies(c.text);
        EXPECT_EQ(names(query), c.names) << c.text;
        EXPECT_EQ(query.headerText(), QString("# Movies = %1 of 5").arg(c.names.size()));
    }
    query.filterMovies("");
    EXPECT_EQ(query.headerText(), "# Movies = 5");
}

// A movie deleted from the rows is gone from both arrays and from the search fields prepared so
// far: no later search text, and no clearing of it, lists it or counts it again.
TEST_F(MovieListQueryTest, ADeletedRowLeavesBothArraysUntilARefetch) {
    for (const char* name : {"Alpha", "Alphaville", "Beta"}) add(name, 2000);
    const struct {
        const char* search;  // applied before the delete; "" for none
        bool keySwitched;    // the text was left unapplied by a key switch
        const char* header;  // right after the delete
    } cases[] = {
        {"", false, "# Movies = 2"},
        {"alpha", false, "# Movies = 1 of 2"},
        {"alpha", true, "# Movies = 2 of 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.search) + (c.keySwitched ? " switched" : ""));
        MovieListQuery query(app.context());
        query.SortAsc = true;
        query.fetchMovies();
        EXPECT_FALSE(query.prepareSearch(2)) << "search fields partly prepared";
        query.filterMovies(c.search);
        if (c.keySwitched) {
            query.setSearchTextWithoutFiltering(c.search);
            query.fetchMovies();
            query.refetchKeepingSearch();  // an unapplied text stays unapplied
        }
        const MoviePtr doomed = query.rows()[1];
        ASSERT_EQ(doomed->name(), "Alphaville");
        query.removeRow(1);
        EXPECT_EQ(query.headerText(), c.header);
        EXPECT_EQ(query.rowOf(doomed.get()), -1);

        query.filterMovies("");
        EXPECT_EQ(names(query), (QStringList{"Alpha", "Beta"}));
        query.filterMovies("ALP");
        EXPECT_EQ(names(query), QStringList{"Alpha"});
        EXPECT_EQ(query.headerText(), "# Movies = 1 of 2");
        // The delete taken back: a refetch finds the movie again under the applied text.
        query.refetchKeepingSearch();
        EXPECT_EQ(names(query), (QStringList{"Alpha", "Alphaville"}));
        EXPECT_EQ(query.headerText(), "# Movies = 2 of 3");
    }
}

TEST_F(MovieListQueryTest, SelectionCopiesThePickedMovie) {
    QImage image(4, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QByteArray png = encoded(image, "PNG");
    auto onlyBack = add("Back Only", 1990, "Drama", std::nullopt, "Prod");
    onlyBack->setImage(Attribute::backImage, png);
    auto both = add(std::nullopt, 1991);
    both->setImage(Attribute::frontImage, png);
    // Stored 4 x 6 with a note to turn it clockwise: the viewers get it upright, 6 x 4.
    both->setImage(Attribute::backImage, test::withExifOrientation(encoded(image, "JPG"), 6));
    both->setText(Attribute::notes, "noted");
    ASSERT_TRUE(app.context().save());

    MovieListQuery query(app.context());
    query.SortAsc = true;
    query.fetchMovies();  // unnamed first
    SelectionState s;
    s.SelectedImages.append(QImage());
    query.fillSelection(1, s);
    EXPECT_EQ((QStringList{s.SelectedName, QString::number(s.SelectedYear), s.SelectedGenre,
                           s.SelectedDirector, s.SelectedProducer, s.SelectedNotes}),
              (QStringList{"Back Only", "1990", "Drama", "", "Prod", ""}));
    EXPECT_TRUE(s.SelectedImages.isEmpty());
    EXPECT_FALSE(s.SelectedFrontImage.has_value());
    EXPECT_EQ(s.SelectedBackImage, png);

    query.fillSelection(0, s);
    EXPECT_EQ(s.SelectedName, "");
    ASSERT_EQ(s.SelectedImages.size(), 2);
    EXPECT_EQ(s.SelectedImages[0].size(), QSize(4, 6));
    EXPECT_EQ(s.SelectedImages[1].size(), QSize(6, 4));
    EXPECT_EQ(s.SelectedNotes, "noted");
}

// Qt's item-model rules hold through what the list does to its rows: fetches and searches
// reset them, a delete removes one, a decoded cover changes them.
TEST_F(MovieListQueryTest, TheListModelKeepsTheItemModelRules) {
    QImage cover(30, 40, QImage::Format_RGB32);
    cover.fill(Qt::blue);
    add("Alien", 1979);
    add("Heat", 1995);
    add("Thief", 1981)->setImage(Attribute::frontImage, encoded(cover, "JPG"));
    MovieListQuery query(app.context());
    MovieListModel model(query);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    query.SortAsc = true;
    query.fetchMovies();
    model.reload();
    query.filterMovies("h");
    model.reload();
    ASSERT_EQ(model.rowCount(), 2);
    model.removeRow(0);
    model.removeRow(5);
    ASSERT_EQ(model.rowCount(), 1);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (int i = 0; i < 100 && model.index(0).data(Qt::DecorationRole).isNull(); ++i)
        changed.wait(50);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_FALSE(model.index(0).data(Qt::DecorationRole).isNull());
    query.filterMovies("");
    model.reload();
    EXPECT_EQ(model.rowCount(), 2);
}

}  // namespace
