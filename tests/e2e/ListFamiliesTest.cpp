#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QLabel>

#include "Journey.h"
#include "catalogue/GroupKind.h"
#include "catalogue/ReferenceMember.h"
#include "groups/CustomTabBarController.h"
#include "groups/GroupSegues.h"
#include "groups/GroupTabTableViewController.h"
#include "handover/ReturnPoints.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/MovieSegues.h"
#include "reference/ReferenceSegues.h"
#include "support/RefuseWrites.h"
#include "toolkit/AlertController.h"
#include "toolkit/KeySelector.h"
#include "toolkit/ListScreen.h"
#include "toolkit/SearchBar.h"
#include "toolkit/UndoNotice.h"

using namespace quillon;

namespace {

// Every list shows the same four texts, as names, directors and genre entries; the producer
// breakdown lists the four movies of "P".
const QStringList kTexts{"Alpha", "Alphaville", "Beta", "Gamma"};

struct Family {
    const char* name;
    // Opens the list over the screen below, as the program does.
    ListScreen* (*open)(ViewController& below, Services& services);
    const char* labelPrefix;  // of a row's first label, before its text
    // The header with `shown` rows of `all`, while searching or not; none without a header.
    QString (*header)(int shown, int all, bool searching);
    bool deletes;
    // A sort with a search present sorts only the found rows; else the list is loaded again,
    // the search text waiting for its next change.
    bool sortsFoundRowsOnly;
    Entity entity;  // of the records a delete deletes
    bool covers;    // the rows show the movies' covers
};

template <class Screen>
Screen* pushed(ViewController& below, const char* segue) {
    return qobject_cast<Screen*>(below.performSegue(segue));
}

// The two lists that delete come first.
const Family kFamilies[] = {
    {"MovieList",
     [](ViewController& below, Services&) -> ListScreen* {
         return pushed<ListMoviesTableViewController>(below, kListMoviesSegue);
     },
     "Movie: ",
     [](int shown, int all, bool searching) {
         return QString("# Movies = ") +
                (searching ? QString("%1 of %2").arg(shown).arg(all) : QString::number(all));
     },
     true, false, Entity::Movies, true},
    {"GenreList",
     [](ViewController& below, Services&) -> ListScreen* {
         auto* menu = below.performSegue(kReferenceListSegue);
         auto* list = pushed<ListScreen>(*menu, kGenreMember.listSegue);
         test::pumpEvents();  // the list fetches right after it loads
         return list;
     },
     "", [](int, int, bool) { return QString(); }, true, false, Entity::GenreList, false},
    {"DirectorTab",
     [](ViewController& below, Services&) -> ListScreen* {
         auto* tabs = pushed<customTabBar>(below, kTabBarSegue);
         tabs->setCurrentIndex(int(GroupKind::Director));
         return tabs->tab(GroupKind::Director);
     },
     "", [](int shown, int, bool) { return "# Director's = " + QString::number(shown); }, false,
     true, Entity::Movies, false},
    {"ProducerBreakdown",
     [](ViewController& below, Services& services) -> ListScreen* {
         writePickedValue(GroupKind::Producer, "P", services.selection);
         return pushed<ListScreen>(below, groupKindFacts(GroupKind::Producer).tab.breakdownSegue);
     },
     "", [](int shown, int, bool) { return "# of Movies: " + QString::number(shown); }, false, true,
     Entity::Movies, true},
};

class ListFamiliesTest : public ::testing::TestWithParam<Family> {
protected:
    void SetUp() override {
        for (const QString& text : kTexts) {
            auto movie = Movies::insertInto(app.context());
            movie->setName(text);
            movie->setText(Attribute::director, text);
            movie->setText(Attribute::producer, "P");
            movie->setImage(Attribute::frontImage, test::jpegOf({20, 30}, Qt::red));
            GenreList::insertInto(app.context())->setText(Attribute::genre, text);
        }
        ASSERT_TRUE(app.app().saveContext());
        root = new ViewController;
        root->offerReturnPoint(kUnwindToMenu, [] {});
        nav = std::make_unique<NavigationController>(root);
        nav->setStoryboard(&app.app().storyboard());
        nav->resize(430, 860);
        nav->show();
        QApplication::setActiveWindow(nav.get());
        open();
    }
    void TearDown() override {
        test::closeAlerts();
        tester.reset();
        nav.reset();
        test::pumpEvents();
    }
    void open() {
        list = GetParam().open(*root, app.services());
        ASSERT_TRUE(list);
        tester = std::make_unique<QAbstractItemModelTester>(
            list->tableView()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    // The list opened afresh, from the screen below.
    void reopen() {
        tester.reset();
        nav->popToViewController(root);
        open();
    }
    // Each row's text, from its first label.
    QStringList shown() const {
        QStringList texts;
        for (const QString& label : test::firstLabels(list->tableView()))
            texts << label.mid(qsizetype(strlen(GetParam().labelPrefix)));
        return texts;
    }
    QString header() const { return list->headerLabel() ? list->headerLabel()->text() : ""; }
    QString expectedHeader(int shown, int all, bool searching) const {
        return GetParam().header(shown, all, searching);
    }
    void typeSearch(const QString& text) {
        list->searchBar()->setFocus();
        list->searchBar()->clear();
        QTest::keyClicks(list->searchBar(), text);
    }
    int stored() { return app.context().count(GetParam().entity); }
    // Presses away the one alert on screen when it is the refused save's.
    bool dismissRefusedSave() {
        const auto alerts = AlertController::presentedAlerts();
        if (alerts.size() != 1 || !alerts[0]->message().contains(test::kRefusedByTest))
            return false;
        alerts[0]->trigger("OK");
        return true;
    }

    test::AppHarness app;
    ViewController* root = nullptr;
    std::unique_ptr<NavigationController> nav;
    ListScreen* list = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

// A search keeps the rows whose text contains it in any letter case; the sort button then flips
// either the found rows alone or the whole list, shown with the search text left unapplied.
TEST_P(ListFamiliesTest, SearchAndSortWithASearchPresent) {
    // The covers are decoded off the main thread, while the item-model rules are checked.
    const QAbstractItemModel* model = list->tableView()->model();
    for (int i = 0; i < 200 && GetParam().covers &&
                    model->index(3, 0).data(Qt::DecorationRole).value<QImage>().isNull();
         ++i)
        test::pumpEvents(10);
    EXPECT_EQ(model->index(3, 0).data(Qt::DecorationRole).isValid(), GetParam().covers);
    EXPECT_EQ(shown(), kTexts);
    EXPECT_EQ(header(), expectedHeader(4, 4, false));
    typeSearch("ALPH");
    EXPECT_EQ(shown(), (QStringList{"Alpha", "Alphaville"}));
    EXPECT_EQ(header(), expectedHeader(2, 4, true));
    list->sortButton()->click();
    if (GetParam().sortsFoundRowsOnly) {
        EXPECT_EQ(shown(), (QStringList{"Alphaville", "Alpha"}));
        EXPECT_EQ(header(), expectedHeader(2, 4, true));
        list->searchBar()->clear();
        EXPECT_EQ(shown(), kTexts) << "the whole list keeps its order until the next load";
    } else {
        EXPECT_EQ(shown(), (QStringList{"Gamma", "Beta", "Alphaville", "Alpha"}));
        EXPECT_EQ(header(), expectedHeader(4, 4, true));
        QTest::keyClicks(list->searchBar(), "A");
        EXPECT_EQ(shown(), (QStringList{"Alphaville", "Alpha"}));
    }
    // A key switch loads again in the new order, the search text waiting for its next change.
    if (auto* movies = qobject_cast<ListMoviesTableViewController*>(list)) {
        movies->segment()->setSelectedIndex(MovieListQuery::Director);
        EXPECT_EQ(test::firstLabels(list->tableView()).value(0), "Director: Gamma");
        EXPECT_EQ(header(), "# Movies = 4 of 4");
    }
}

// A delete while searching is saved at once and leaves both the found rows and the whole list;
// the undo key takes it back into the searched rows. A list that does not delete ignores the
// Delete key.
TEST_P(ListFamiliesTest, DeleteWhileSearchingAndUndo) {
    typeSearch("alph");
    TableView* table = list->tableView();
    table->setFocus();
    table->setCurrentIndex(table->model()->index(1, 0));
    QTest::keyClick(table, Qt::Key_Delete);
    if (!GetParam().deletes) {
        EXPECT_EQ(shown(), (QStringList{"Alpha", "Alphaville"}));
        EXPECT_EQ(list->undoNotice(), nullptr);
        return;
    }
    EXPECT_EQ(shown(), QStringList{"Alpha"});
    EXPECT_EQ(header(), expectedHeader(1, 3, true));
    EXPECT_EQ(stored(), 3);
    EXPECT_FALSE(app.context().hasChanges()) << "saved at once";
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty()) << "no confirmation";
    EXPECT_TRUE(list->undoNotice()->isVisible());
    EXPECT_EQ(list->undoNotice()->text(), "Deleted \u201CAlphaville\u201D");
    list->searchBar()->clear();
    EXPECT_EQ(shown(), (QStringList{"Alpha", "Beta", "Gamma"}));
    typeSearch("ALPH");
    EXPECT_EQ(shown(), QStringList{"Alpha"}) << "no search brings it back";

    QTest::keyClick(list->searchBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shown(), (QStringList{"Alpha", "Alphaville"})) << "the search stays";
    EXPECT_EQ(table->currentIndex().row(), 1) << "back at its place";
    EXPECT_FALSE(list->undoNotice()->isVisible());
    EXPECT_EQ(stored(), 4);
    EXPECT_FALSE(app.context().hasChanges());
    QTest::keyClick(list->searchBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(list->searchBar()->text(), "ALPH") << "nothing left to undo: the key is the field's";

    // The bar's button, and the key in a list opened afterwards, take back older deletes.
    list->searchBar()->clear();
    list->tableView()->requestDelete(0);
    list->tableView()->requestDelete(0);
    QTest::mouseClick(list->undoNotice()->undoButton(), Qt::LeftButton);
    EXPECT_EQ(shown(), (QStringList{"Alphaville", "Beta", "Gamma"}));
    reopen();
    QTest::keyClick(list->tableView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shown(), kTexts);
}

// A delete or an undo whose save is refused is told and taken back, so that later saves work and
// the delete can be taken back still.
using DeletingListsTest = ListFamiliesTest;

TEST_P(DeletingListsTest, ARefusedSaveIsToldAndTakenBack) {
    test::refuseWrites(app.dataDir(), GetParam().entity, "DELETE");
    list->tableView()->requestDelete(0);
    EXPECT_TRUE(dismissRefusedSave());
    EXPECT_EQ(shown(), kTexts) << "the row is back";
    EXPECT_EQ(header(), expectedHeader(4, 4, false));
    EXPECT_FALSE(list->undoNotice()->isVisible());
    EXPECT_FALSE(app.context().hasChanges());
    Movies::insertInto(app.context())->setName("Delta");
    EXPECT_TRUE(app.app().saveContext()) << "the refused delete blocks no later save";
    test::allowWrites(app.dataDir());

    list->tableView()->requestDelete(0);
    test::refuseWrites(app.dataDir(), GetParam().entity, "INSERT");
    EXPECT_TRUE(list->undoDelete());
    EXPECT_TRUE(dismissRefusedSave());
    EXPECT_EQ(shown().value(0), "Alphaville") << "still deleted";
    EXPECT_FALSE(app.context().hasChanges());
    test::allowWrites(app.dataDir());
    EXPECT_TRUE(list->undoDelete()) << "and still to be taken back";
    EXPECT_EQ(shown().value(0), "Alpha");
    app.restart();
    EXPECT_EQ(stored(), GetParam().entity == Entity::Movies ? 5 : 4);
}

std::string nameOf(const ::testing::TestParamInfo<Family>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Lists, ListFamiliesTest, ::testing::ValuesIn(kFamilies), nameOf);
INSTANTIATE_TEST_SUITE_P(Lists, DeletingListsTest, ::testing::ValuesIn(kFamilies, kFamilies + 2),
                         nameOf);

}  // namespace
