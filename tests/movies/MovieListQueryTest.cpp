#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QImage>
#include <QSignalSpy>

#include "movies/MovieListModel.h"
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
    auto bare = add(std::nullopt, 0, std::nullopt, std::nullopt, std::nullopt, -5);
    bare->setText(Attribute::leadingActress2, "Ashley Judd");
    auto braces = add("{genre} 100%", 1, "Crime");
    const struct {
        MoviePtr movie;
        int key;
        QStringList labels;
    } cases[] = {
        {m,
         0,
         {"Movie: Heat", "Year: 1995   Run Time: 170", "Actors: Pacino, De Niro", "Actress's: , "}},
        {m, 1, {"Genre: Crime", "Movie: Heat   Year: 1995  Run Time: 170"}},
        {m, 2, {"Year: 1995", "Movie: Heat   Genre: Crime"}},
        {m, 3, {"Director: Mann", "Movie: Heat   Year: 1995  Run Time: 170"}},
        {m, 4, {"Producer: Art"}},
        {bare, 0, {"Movie: ", "Year: 0   Run Time: -5", "Actors: , ", "Actress's: , Ashley Judd"}},
        {bare, 3, {"Director: "}},
        {braces, 0, {"Movie: {genre} 100%"}},
    };
    for (const auto& c : cases) {
        const MovieRowTexts t = MovieListQuery::rowTexts(*c.movie, c.key);
        const QStringList all{t.MovieNameLabel, t.SecondLabel, t.ThirdLabel, t.FourthLabel};
        EXPECT_EQ(all.first(c.labels.size()), c.labels) << c.key;
    }
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
        {MovieListQuery::Year, "99", {"matrimony", "Heat", "The Matrix", "Tron"}},
        {MovieListQuery::Director, "I", {"Tron", "The Matrix"}},  // none without a director
        {MovieListQuery::Director, "mann", {"Heat"}},
        {MovieListQuery::Director, "zzz", {}},
    };
    for (const auto& c : cases) {
        if (query.segmentIndex != c.key) {
            query.segmentIndex = c.key;
            query.fetchMovies();
        }
        query.filterMovies(c.text);
        EXPECT_EQ(names(query), c.names) << c.text;
        EXPECT_EQ(query.headerText(), QString("# Movies = %1 of 5").arg(c.names.size()));
    }
    query.filterMovies("");
    EXPECT_EQ(query.headerText(), "# Movies = 5");
}

TEST_F(MovieListQueryTest, ASearchAfterAKeySwitchLooksInTheNewKeysFieldWithoutARefetch) {
    add("Heat", 1995, "Crime", "Mann");
    add("Thief", 1981, "Thriller", "Mann");
    MovieListQuery query(app.context());
    query.SortAsc = true;
    query.fetchMovies();
    query.filterMovies("heat");
    EXPECT_EQ(names(query), QStringList{"Heat"});
    query.segmentIndex = MovieListQuery::Genre;
    query.filterMovies("THR");
    EXPECT_EQ(names(query), QStringList{"Thief"});
    query.segmentIndex = MovieListQuery::Year;
    EXPECT_TRUE(query.prepareSearch(1000));
    query.filterMovies("199");
    EXPECT_EQ(names(query), QStringList{"Heat"});
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
        test::AppFixture fresh;
        ManagedObjectContext& context = fresh.context();
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
            query.refetchKeepingSearch();  // an unapplied text stays unapplied
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
    const auto encoded = [&](const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    };
    const QByteArray png = encoded("PNG");
    auto onlyBack = add("Back Only", 1990, "Drama", std::nullopt, "Prod");
    onlyBack->setImage(Attribute::backImage, png);
    auto both = add(std::nullopt, 1991);
    both->setImage(Attribute::frontImage, png);
    // Stored 4 x 6 with a note to turn it clockwise: the viewers get it upright, 6 x 4.
    both->setImage(Attribute::backImage, test::withExifOrientation(encoded("JPG"), 6));
    both->setText(Attribute::notes, "noted");
    ASSERT_TRUE(app.context().save());

    MovieListQuery query(app.context());
    query.SortAsc = true;
    query.fetchMovies();  // unnamed first
    auto& s = SelectionState::shared();
    s.SelectedImages.append(QImage());
    query.fillSelection(1, s);
    EXPECT_EQ((QStringList{s.SelectedName, QString::number(s.SelectedYear), s.SelectedGenre,
                           s.SelectedDirector, s.SelectedProducer}),
              (QStringList{"Back Only", "1990", "Drama", "", "Prod"}));
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

// Qt's item-model rules hold through what the list does to its rows: fetches and searches
// reset them, a delete removes one, a decoded cover changes them.
TEST_F(MovieListQueryTest, TheListModelKeepsTheItemModelRules) {
    QImage cover(30, 40, QImage::Format_RGB32);
    cover.fill(Qt::blue);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    cover.save(&buffer, "JPG");
    add("Alien", 1979);
    add("Heat", 1995);
    add("Thief", 1981)->setImage(Attribute::frontImage, jpeg);
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
