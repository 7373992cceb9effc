#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "catalogue/MovieListQuery.h"
#include "catalogue/ThumbnailCache.h"
#include "handover/SelectionState.h"
#include "movies/ListMoviesTableViewController.h"
#include "support/TestSupport.h"
#include "toolkit/KeySelector.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

// A picture whose left half is `left` and the rest `right`, encoded.
QByteArray picture(QSize size, QColor left, QColor right, const char* format = "JPG") {
    QImage image(size, QImage::Format_RGB32);
    image.fill(right);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), left);
    return test::imageBytes(image, format);
}

class MovieListTest : public ::testing::Test {
protected:
    MoviePtr add(OptionalText name, qint16 year, OptionalText genre = {},
                 OptionalText director = {}) {
        auto m = Movies::insertInto(app.context());
        m->setName(name);
        m->setYear(year);
        m->setText(Attribute::genre, genre);
        m->setText(Attribute::director, director);
        return m;
    }
    static QStringList names(const MovieListQuery& query) {
        QStringList out;
        for (const auto& m : query.rows()) out << m->name().value_or("-");
        return out;
    }

    test::AppFixture app;
};

// Each key sorts by its field, then by name, in one direction. The search looks for the text in
// any case in the key's field, at once after a key switch (no refetch); an absent field never
// matches.
TEST_F(MovieListTest, EachKeySortsAndSearchesItsField) {
    add("Mid", 1999);
    add("b", 1999, "Drama", "Nolan");
    add("Zed", 999, "Drama", "Nolan");
    add("a", 2001, "Action", "Anderson");
    MovieListQuery query(app.context());
    using enum MovieListQuery::Key;
    const struct {
        int key;
        std::optional<bool> ascending;  // sorts and refetches; none: the store's own order
        const char* search;
        QStringList names;
    } cases[] = {
        {Movie, true, "", {"Mid", "Zed", "a", "b"}},
        {Year, true, "", {"Zed", "Mid", "b", "a"}},
        {Director, false, "", {"b", "Zed", "a", "Mid"}},
        {Director, std::nullopt, "", {"Mid", "b", "Zed", "a"}},
        {Movie, {}, "ID", {"Mid"}},
        {Year, {}, "99", {"Mid", "b", "Zed"}},
        {Director, {}, "N", {"b", "Zed", "a"}},
        {Genre, {}, "ACT", {"a"}},
    };
    for (const auto& c : cases) {
        query.segmentIndex = c.key;
        if (!*c.search) {
            query.SortAsc = c.ascending;
            query.fetchMovies();
        }
        query.filterMovies(c.search);
        EXPECT_EQ(names(query), c.names) << c.key << " " << c.search;
    }
    query.segmentIndex = MovieListQuery::Movie;
    EXPECT_EQ(query.labelsOf(add("{genre} 100%", 1, "Crime")).value(0), "Movie: {genre} 100%")
        << "a value is not read as a pattern";
}

// A movie deleted from the rows is gone from both arrays and from the search fields prepared so
// far: no later search text, and no clearing of it, lists it or counts it again.
TEST_F(MovieListTest, ADeletedRowLeavesBothArraysUntilARefetch) {
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
        ASSERT_EQ(names(query).value(1), "Alphaville");
        query.removeRow(1);
        EXPECT_EQ(query.headerText(), c.header);

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

// The movie list over four saved movies, in a window of its own.
class ListMoviesScreenTest : public MovieListTest {
protected:
    void TearDown() override {
        nav.reset();
        test::pumpEvents();
    }
    void open() {
        screen = new ListMoviesTableViewController(app.services());
        nav = std::make_unique<NavigationController>(screen);
        nav->show();
        QApplication::setActiveWindow(nav.get());
        test::pumpEvents();
    }

    ListMoviesTableViewController* screen = nullptr;
    std::unique_ptr<NavigationController> nav;
};

// Covers are decoded off the main thread, upright, scaled into the row's box, anew when changed;
// the item-model rules hold throughout. A picked row is copied over the one picked before, its
// covers as bytes, decoded by nobody until a viewer opens.
TEST_F(ListMoviesScreenTest, TheListShowsCoversUprightAndAPickFillsTheSelection) {
    const QByteArray png = picture({4, 6}, Qt::red, Qt::red, "PNG");
    add("Alien", 1979)->setImage(Attribute::frontImage, picture({1000, 1500}, Qt::blue, Qt::blue));
    add("Broken", 1980)->setImage(Attribute::frontImage, "not a picture");
    // A phone photo stored sideways with an EXIF note to turn it clockwise.
    auto heat = add("Heat", 1995, "Crime", "Mann");
    heat->setImage(Attribute::frontImage,
                   test::withExifOrientation(picture({1000, 500}, Qt::red, Qt::blue), 6));
    heat->setImage(Attribute::backImage, png);
    heat->setText(Attribute::producer, "Prod");
    auto none = add("None", 1990);
    none->setImage(Attribute::backImage, png);
    none->setText(Attribute::notes, "noted");
    ASSERT_TRUE(app.context().save());
    add("Thief", 1981)->setImage(Attribute::frontImage, picture({300, 200}, Qt::red, Qt::red));
    const int mainThreadDecodes = ThumbnailCache::decodesOnMainThread();
    open();
    QAbstractItemModel* model = screen->tableView()->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    const auto cover = [&](int row) {
        return model->index(row, 0).data(Qt::DecorationRole).value<QImage>();
    };
    const auto awaitDecodes = [&](int count) {
        for (int i = 0; i < 100 && changed.count() < count; ++i) changed.wait(50);
    };
    for (int row = 0; row < 5; ++row) cover(row);  // asks for them all
    awaitDecodes(3);
    EXPECT_EQ(cover(0).size(), QSize(53, 80));
    EXPECT_TRUE(cover(1).isNull() && cover(3).isNull());  // not a picture, no cover
    ASSERT_EQ(cover(2).size(), QSize(40, 80));
    EXPECT_GT(QColor(cover(2).pixel(20, 10)).red(), 200) << "the left edge is the top";
    EXPECT_GT(QColor(cover(2).pixel(20, 70)).blue(), 200);
    EXPECT_EQ(cover(4).width(), 56) << "an unsaved cover, 300 x 200, fits by its width";
    EXPECT_EQ(ThumbnailCache::decodesOnMainThread(), mainThreadDecodes);
    heat->setImage(Attribute::frontImage, picture({100, 100}, Qt::green, Qt::green));
    cover(2);
    awaitDecodes(4);
    EXPECT_GT(QColor(cover(2).pixel(5, 5)).green(), 200);

    SelectionState& s = app.selection();
    s.SelectedImages = {QImage(2, 2, QImage::Format_RGB32)};
    screen->tableView()->selectRow(2);
    EXPECT_EQ((QStringList{s.SelectedName, QString::number(s.SelectedYear), s.SelectedGenre,
                           s.SelectedDirector, s.SelectedProducer, s.SelectedNotes}),
              (QStringList{"Heat", "1995", "Crime", "Mann", "Prod", ""}));
    // The bytes are handed over undecoded: a pick decodes no cover.
    EXPECT_TRUE(s.SelectedImages.isEmpty());
    EXPECT_TRUE(s.SelectedFrontImage && s.SelectedBackImage);
    screen->tableView()->selectRow(3);
    EXPECT_EQ((QStringList{s.SelectedName, s.SelectedGenre, s.SelectedNotes}),
              (QStringList{"None", "", "noted"}));
    EXPECT_TRUE(s.SelectedImages.isEmpty() && !s.SelectedFrontImage);
    EXPECT_EQ(s.SelectedBackImage, png);
}

// Only a screen loaded in the dark appearance draws black row texts, and it keeps them.
TEST_F(ListMoviesScreenTest, AScreenLoadedInTheDarkKeepsBlackRowTexts) {
    const QPalette original = QApplication::palette();
    QApplication::setPalette(QPalette(Qt::black));  // white text on black
    open();
    QApplication::setPalette(original);
    EXPECT_TRUE(screen->tableView()->darkMode());
    screen->viewWillAppear();
    EXPECT_TRUE(screen->tableView()->darkMode());
}

// The screen over four saved movies with notes.
class ListWithNotesTest : public ListMoviesScreenTest {
protected:
    void SetUp() override {
        for (auto [name, year] :
             {std::pair{"Heat", 1995}, {"Alien", 1979}, {"Blade Runner", 1982}, {"Thief", 1981}})
            add(name, qint16(year))->setText(Attribute::notes, QString("Notes of ") + name);
        ASSERT_TRUE(app.context().save());
        app.restart();
    }
};

// Opening the list, searching, every key and both directions never read a movie's notes; they are
// read when a movie's own screens ask for them, and a change taken back or a delete keeps them.
TEST_F(ListWithNotesTest, NotesAreReadOnlyWhenAMovieNeedsThem) {
    open();
    QTest::keyClicks(screen->searchBar(), "e");
    for (int key = 0; key < screen->segment()->count(); ++key) {
        screen->segment()->setSelectedIndex(key);
        QTest::mouseClick(screen->sortButton(), Qt::LeftButton);
        test::pumpEvents();
    }
    ManagedObjectContext& context = app.context();
    EXPECT_EQ(context.notesReadsForTesting(), 0);

    auto movies = context.fetch<Movies>();
    MoviePtr heat = movies.at(0), alien = movies.at(1);
    heat->setYear(2000);
    context.refreshObject(heat);  // the change taken back
    EXPECT_EQ(heat->notes(), "Notes of Heat");
    EXPECT_EQ(heat->notes(), "Notes of Heat");
    EXPECT_EQ(context.notesReadsForTesting(), 1) << "read once, then kept";
    context.deleteObject(alien);
    ASSERT_TRUE(context.save());
    EXPECT_EQ(alien->notes(), "Notes of Alien") << "the handle keeps them";
    movies.at(2)->setText(Attribute::notes, std::nullopt);
    ASSERT_TRUE(context.save());
    nav.reset();
    app.restart();
    QStringList notes;
    for (const MoviePtr& m : app.context().fetch<Movies>()) notes << m->notes().value_or("-");
    EXPECT_EQ(notes, (QStringList{"Notes of Heat", "-", "Notes of Thief"}));
}

// Once the list is idle, every key's order is in the store in both directions: switching keys or
// flipping the direction never waits for a sort. A change drops them; the next fetch sorts anew.
TEST_F(ListWithNotesTest, EveryKeyIsSortedAheadWhileTheListIsIdle) {
    const auto sortedNow = [this](const MovieListKey& key, bool ascending) {
        std::vector<SortDescriptor> sort{{key.attribute, ascending}};
        if (key.thenBy) sort.push_back({*key.thenBy, ascending});
        return app.context().prepareSortedListing(Entity::Movies, sort);
    };
    open();
    test::pumpEvents(50);
    for (const MovieListKey& key : kMovieListKeys) {
        EXPECT_FALSE(sortedNow(key, true)) << key.title;
        EXPECT_FALSE(sortedNow(key, false)) << key.title;
    }
    add("Ran", 1985);
    EXPECT_TRUE(sortedNow(kMovieListKeys[MovieListQuery::Year], true));
}

}  // namespace
