#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "catalogue/MovieListQuery.h"
#include "catalogue/ThumbnailCache.h"
#include "handover/SelectionState.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/MovieListModel.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/KeySelector.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"
#include "toolkit/UndoNotice.h"

using namespace quillon;

namespace {

// A picture whose left half is `left` and the rest `right`, encoded.
QByteArray picture(QSize size, QColor left, QColor right, const char* format = "JPG") {
    QImage image(size, QImage::Format_RGB32);
    image.fill(right);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), left);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
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

// One row per key. Absent texts read empty; the last two labels are the same under every key.
TEST_F(MovieListTest, RowTextsFollowTheKeyToTheCharacter) {
    auto heat = add("Heat", 1995, "Crime", "Mann");
    heat->setRunTime(-5);
    heat->setText(Attribute::leadingActor1, "Pacino");
    heat->setText(Attribute::leadingActor2, "De Niro");
    heat->setText(Attribute::leadingActress2, "Ashley Judd");
    using enum MovieListQuery::Key;
    const std::pair<MovieListQuery::Key, QStringList> cases[] = {
        {Movie, {"Movie: Heat", "Year: 1995   Run Time: -5"}},
        {Genre, {"Genre: Crime", "Movie: Heat   Year: 1995  Run Time: -5"}},
        {Year, {"Year: 1995", "Movie: Heat   Genre: Crime"}},
        {Director, {"Director: Mann", "Movie: Heat   Year: 1995  Run Time: -5"}},
        {Producer, {"Producer: ", "Movie: Heat   Year: 1995  Run Time: -5"}},
    };
    for (const auto& [key, labels] : cases) {
        const MovieRowTexts t = MovieListQuery::rowTexts(*heat, key);
        EXPECT_EQ((QStringList{t.MovieNameLabel, t.SecondLabel, t.ThirdLabel, t.FourthLabel}),
                  (labels + QStringList{"Actors: Pacino, De Niro", "Actress's: , Ashley Judd"}));
    }
    EXPECT_EQ(MovieListQuery::rowTexts(*add("{genre} 100%", 1, "Crime"), Movie).MovieNameLabel,
              "Movie: {genre} 100%");
    heat->setName(QString());
    EXPECT_EQ(MovieListQuery::deletedNotice(*heat), "Deleted a movie without a name");
}

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

// Covers are decoded off the main thread, upright, scaled into the row's box, anew when changed;
// the item-model rules hold throughout. A picked row is copied over the one picked before, its
// covers as bytes, decoded by nobody until a viewer opens.
TEST_F(MovieListTest, TheListShowsCoversUprightKeepsTheItemModelRulesAndFillsTheSelection) {
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
    MovieListQuery query(app.context());
    MovieListModel model(query);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const auto cover = [&](int row) {
        return model.index(row).data(Qt::DecorationRole).value<QImage>();
    };
    const auto awaitDecodes = [&](int count) {
        for (int i = 0; i < 100 && changed.count() < count; ++i) changed.wait(50);
    };
    query.SortAsc = true;
    query.fetchMovies();
    model.reload();
    for (int row = 0; row < 5; ++row) cover(row);  // asks for them all
    awaitDecodes(3);
    EXPECT_EQ(cover(0).size(), QSize(53, 80));
    EXPECT_TRUE(cover(1).isNull() && cover(3).isNull());  // not a picture, no cover
    ASSERT_EQ(cover(2).size(), QSize(40, 80));
    EXPECT_GT(QColor(cover(2).pixel(20, 10)).red(), 200) << "the left edge is the top";
    EXPECT_GT(QColor(cover(2).pixel(20, 70)).blue(), 200);
    EXPECT_EQ(cover(4).width(), 56) << "an unsaved cover, 300 x 200, fits by its width";
    EXPECT_EQ(ThumbnailCache::decodesOnMainThread(), mainThreadDecodes);

    SelectionState s;
    query.fillSelection(2, s);
    EXPECT_EQ((QStringList{s.SelectedName, QString::number(s.SelectedYear), s.SelectedGenre,
                           s.SelectedDirector, s.SelectedProducer, s.SelectedNotes}),
              (QStringList{"Heat", "1995", "Crime", "Mann", "Prod", ""}));
    // The bytes are handed over undecoded: a pick decodes no cover.
    s.SelectedImages = {QImage(2, 2, QImage::Format_RGB32)};
    query.fillSelection(2, s);
    EXPECT_TRUE(s.SelectedImages.isEmpty());
    EXPECT_TRUE(s.SelectedFrontImage && s.SelectedBackImage);
    query.fillSelection(3, s);
    EXPECT_EQ((QStringList{s.SelectedName, s.SelectedGenre, s.SelectedNotes}),
              (QStringList{"None", "", "noted"}));
    EXPECT_TRUE(s.SelectedImages.isEmpty() && !s.SelectedFrontImage);
    EXPECT_EQ(s.SelectedBackImage, png);

    query.filterMovies("h");
    model.reload();
    model.removeRow(1);
    model.removeRow(5);
    ASSERT_EQ(names(query), QStringList{"Heat"});
    query.rows()[0]->setImage(Attribute::frontImage, picture({100, 100}, Qt::green, Qt::green));
    cover(0);
    awaitDecodes(4);
    EXPECT_GT(QColor(cover(0).pixel(5, 5)).green(), 200);
    query.filterMovies("");
    model.reload();
    EXPECT_EQ(model.rowCount(), 4);
}

// The screen over four saved movies: that it drives the query above, saves, tells and undoes.
class ListMoviesScreenTest : public MovieListTest {
protected:
    void SetUp() override {
        for (auto [name, year] :
             {std::pair{"Heat", 1995}, {"Alien", 1979}, {"Blade Runner", 1982}, {"Thief", 1981}})
            add(name, qint16(year));
        ASSERT_TRUE(app.context().save());
    }
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) delete alert;
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
    QString header() const { return screen->headerLabel()->text(); }
    QStringList rows() const {
        QStringList labels;
        auto* model = screen->tableView()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            labels << model->index(r, 0).data(LabelTextsRole).toStringList().value(0);
        return labels;
    }
    // Makes SQLite refuse every such change of a movie ("" allows them again).
    void refuseOnMovies(const QString& operation) {
        if (operation.isEmpty())
            test::allowWrites(app.dataDir());
        else
            test::refuseWrites(app.dataDir(), Entity::Movies, operation);
    }
    // Presses away the one alert on screen when it is the failed save's.
    bool dismissUnresolvedError() {
        const auto alerts = AlertController::presentedAlerts();
        if (alerts.size() != 1 || alerts[0]->title() != "Unresolved error" ||
            !alerts[0]->message().contains(test::kRefusedByTest))
            return false;
        alerts[0]->trigger("OK");
        return true;
    }

    ListMoviesTableViewController* screen = nullptr;
    std::unique_ptr<NavigationController> nav;
};

// The search text, the key and the sort button drive the rows; the Delete key deletes at once,
// saved, without asking; a picked row fills the hand-over. Only a screen loaded in the dark
// appearance draws black row texts, and it keeps them.
TEST_F(ListMoviesScreenTest, SearchKeySortDeleteAndPick) {
    const QPalette original = QApplication::palette();
    QApplication::setPalette(QPalette(Qt::black));  // white text on black
    open();
    QApplication::setPalette(original);
    EXPECT_TRUE(screen->tableView()->darkMode());
    QTest::keyClicks(screen->searchBar(), "IE");
    EXPECT_EQ(rows(), (QStringList{"Movie: Alien", "Movie: Thief"}));
    screen->segment()->setSelectedIndex(2);  // a new key refetches; the text waits for a change
    EXPECT_EQ(header(), "# Movies = 4 of 4");
    screen->searchBar()->clear();
    QTest::mouseClick(screen->sortButton(), Qt::LeftButton);
    EXPECT_EQ(rows().value(0), "Year: 1995");
    TableView* table = screen->tableView();
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(header(), "# Movies = 3");
    EXPECT_FALSE(app.context().hasChanges());
    EXPECT_TRUE(screen->undoNotice()->isVisible());
    EXPECT_EQ(screen->undoNotice()->text(), "Deleted \u201CHeat\u201D");
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty()) << "no confirmation";
    table->selectRow(0);
    EXPECT_EQ(app.selection().SelectedName, "Blade Runner");
    screen->viewWillAppear();
    EXPECT_TRUE(screen->tableView()->darkMode());
    app.restart();
    EXPECT_EQ(app.context().count(Entity::Movies), 3);
}

// Opening the list, searching, every key and both directions never read a movie's notes; they are
// read when a movie's own screens ask for them, and a change taken back or a delete keeps them.
TEST_F(ListMoviesScreenTest, NotesAreReadOnlyWhenAMovieNeedsThem) {
    for (const MoviePtr& m : app.context().fetch<Movies>())
        m->setText(Attribute::notes, "Notes of " + *m->name());
    ASSERT_TRUE(app.context().save());
    app.restart();
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
    app.restart();
    QStringList notes;
    for (const MoviePtr& m : app.context().fetch<Movies>()) notes << m->notes().value_or("-");
    EXPECT_EQ(notes, (QStringList{"Notes of Heat", "-", "Notes of Thief"}));
}

// Once the list is idle, every key's order is in the store in both directions: switching keys or
// flipping the direction never waits for a sort. A change drops them; the next fetch sorts anew.
TEST_F(ListMoviesScreenTest, EveryKeyIsSortedAheadWhileTheListIsIdle) {
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

// The undo key takes back the last delete before any typing, and the undo bar too, also from a
// screen opened after the one that deleted. (That covers come back is the delete history's test.)
TEST_F(ListMoviesScreenTest, TheUndoKeyAndTheUndoBarBringBackTheLastDeletes) {
    open();
    QTest::keyClicks(screen->searchBar(), "ea");
    screen->tableView()->requestDelete(0);  // Heat
    QTest::keyClick(screen->searchBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rows(), QStringList{"Movie: Heat"});
    EXPECT_FALSE(screen->undoNotice()->isVisible());
    EXPECT_FALSE(app.context().hasChanges());
    QTest::keyClick(screen->searchBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(screen->searchBar()->text(), "ea") << "nothing left to undo: the key is the field's";

    screen->searchBar()->clear();
    screen->tableView()->requestDelete(0);  // Alien
    screen->tableView()->requestDelete(1);  // Heat
    QTest::mouseClick(screen->undoNotice()->undoButton(), Qt::LeftButton);
    EXPECT_EQ(rows(), (QStringList{"Movie: Blade Runner", "Movie: Heat", "Movie: Thief"}));
    EXPECT_EQ(screen->tableView()->currentIndex().row(), 1) << "back at its place";
    nav.reset();
    open();
    QTest::keyClick(screen->tableView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rows().value(0), "Movie: Alien");
    app.restart();
    EXPECT_EQ(app.context().count(Entity::Movies), 4);
}

// A refused save is told and taken back, so that later saves work and the delete stays undoable.
TEST_F(ListMoviesScreenTest, ARefusedSaveIsShownAndTakenBackSoLaterSavesWork) {
    open();
    refuseOnMovies("DELETE");
    screen->tableView()->requestDelete(0);
    EXPECT_TRUE(dismissUnresolvedError());
    EXPECT_EQ(rows().value(0), "Movie: Alien") << "the row is back";
    EXPECT_EQ(header(), "# Movies = 4");
    EXPECT_FALSE(screen->undoNotice()->isVisible());
    EXPECT_FALSE(app.context().hasChanges());
    Movies::insertInto(app.context())->setName("Ran");
    EXPECT_TRUE(app.saveContext()) << "the refused delete blocks no later save";
    refuseOnMovies("");

    screen->tableView()->requestDelete(0);
    refuseOnMovies("INSERT");
    screen->undoDelete();
    EXPECT_TRUE(dismissUnresolvedError());
    EXPECT_EQ(header(), "# Movies = 3") << "still deleted";
    EXPECT_FALSE(app.context().hasChanges());
    refuseOnMovies("");
    screen->undoDelete();
    EXPECT_EQ(rows().value(0), "Movie: Alien") << "and still undoable";

    app.restart();
    EXPECT_EQ(app.context().count(Entity::Movies), 5);
}

}  // namespace
