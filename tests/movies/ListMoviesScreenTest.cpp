#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "movies/ListMoviesTableViewController.h"
#include "store/SelectionState.h"
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

class ListMoviesScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto [name, year, director] : {std::tuple{"Heat", 1995, "Mann"},
                                            {"Alien", 1979, "Scott"},
                                            {"Blade Runner", 1982, "Scott"},
                                            {"Thief", 1981, "Mann"}}) {
            auto m = Movies::insertInto(app.context());
            m->setName(QString(name));
            m->setYear(qint16(year));
            m->setText(Attribute::director, QString(director));
        }
        ASSERT_TRUE(app.context().save());
    }
    void open() {
        screen = new ListMoviesTableViewController;
        nav = std::make_unique<NavigationController>(screen);
        nav->resize(430, 800);
        nav->show();
        QApplication::setActiveWindow(nav.get());
        test::pumpEvents();
    }
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) delete alert;
        nav.reset();
        test::pumpEvents();
    }
    MoviePtr movieNamed(const QString& name) {
        const auto found = app.context().fetch<Movies>(Predicate::equals(Attribute::name, name));
        return found.empty() ? nullptr : found.front();
    }
    // Presses away the one alert on screen when it is the failed save's.
    bool dismissUnresolvedError() {
        const auto alerts = AlertController::presentedAlerts();
        if (alerts.size() != 1 || alerts[0]->title() != "Unresolved error" ||
            !alerts[0]->message().contains(test::kRefusedByTest))
            return false;
        alerts[0]->trigger("OK");
        QApplication::setActiveWindow(nav.get());
        return true;
    }
    QStringList shownFirstLabels(int label = 0) {
        QStringList labels;
        auto* model = screen->tableView()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            labels << model->index(r, 0).data(LabelTextsRole).toStringList().value(label);
        return labels;
    }

    test::AppFixture app;
    ListMoviesTableViewController* screen = nullptr;
    std::unique_ptr<NavigationController> nav;
};

TEST_F(ListMoviesScreenTest, KeySelectorSearchAndSortDriveTheRows) {
    open();
    EXPECT_EQ(SelectionState::shared().CallingScreen, "MainList");
    EXPECT_EQ(shownFirstLabels(),
              (QStringList{"Movie: Alien", "Movie: Blade Runner", "Movie: Heat", "Movie: Thief"}));

    QTest::keyClicks(screen->searchBar(), "IE");
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 2 of 4");
    EXPECT_EQ(shownFirstLabels(), (QStringList{"Movie: Alien", "Movie: Thief"}));

    screen->segment()->setSelectedIndex(3);
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 4 of 4");
    EXPECT_EQ(shownFirstLabels(), (QStringList{"Director: Mann", "Director: Mann",
                                               "Director: Scott", "Director: Scott"}));

    screen->searchBar()->clear();
    QTest::mouseClick(screen->sortButton(), Qt::LeftButton);
    EXPECT_EQ(shownFirstLabels(1), (QStringList{"Movie: Blade Runner   Year: 1982  Run Time: 0",
                                                "Movie: Alien   Year: 1979  Run Time: 0",
                                                "Movie: Thief   Year: 1981  Run Time: 0",
                                                "Movie: Heat   Year: 1995  Run Time: 0"}));
}

TEST_F(ListMoviesScreenTest, OnlyTheDeleteKeyDeletesAndTheMovieIsNotListedAgain) {
    open();
    QTest::keyClicks(screen->searchBar(), "ea");  // Heat
    ASSERT_EQ(screen->headerLabel()->text(), "# Movies = 1 of 4");
    TableView* table = screen->tableView();
    table->setCurrentIndex(table->model()->index(0, 0));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Backspace);
    EXPECT_EQ(app.context().count(Entity::Movies), 4) << "Backspace never deletes";

    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 0 of 3");
    EXPECT_FALSE(app.context().hasChanges());
    EXPECT_TRUE(screen->undoNotice()->isVisible());
    EXPECT_EQ(screen->undoNotice()->text(), "Deleted \u201CHeat\u201D");
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty()) << "no confirmation";

    // Neither another search text nor clearing it brings the movie back.
    screen->searchBar()->setText("e");
    EXPECT_EQ(shownFirstLabels(),
              (QStringList{"Movie: Alien", "Movie: Blade Runner", "Movie: Thief"}));
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 3 of 3");
    screen->searchBar()->clear();
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 3");

    // The context menu's one action deletes too; a picked row fills the hand-over.
    std::unique_ptr<QMenu> menu(table->buildContextMenu(0));
    ASSERT_TRUE(menu && menu->actions().size() == 1);
    EXPECT_EQ(menu->actions()[0]->text(), "delete");
    menu->actions()[0]->trigger();
    EXPECT_EQ(shownFirstLabels(), (QStringList{"Movie: Blade Runner", "Movie: Thief"}));
    table->selectRow(1);
    EXPECT_EQ(SelectionState::shared().SelectedName, "Thief");
    EXPECT_EQ(SelectionState::shared().SelectedYear, 1981);
    EXPECT_EQ(SelectionState::shared().SelectedDirector, "Mann");
    app.restart();
    EXPECT_EQ(app.context().count(Entity::Movies), 2);
}

TEST_F(ListMoviesScreenTest, TheUndoKeyAndTheUndoBarBringBackTheLastDeletesWhole) {
    const QByteArray front("front of Heat"), back("back of Heat");
    MoviePtr heat = movieNamed("Heat");
    heat->setImage(Attribute::frontImage, front);
    heat->setImage(Attribute::backImage, back);
    ASSERT_TRUE(app.context().save());
    app.restart();  // the covers are read back from the file
    open();

    QTest::keyClicks(screen->searchBar(), "ea");
    screen->tableView()->requestDelete(0);
    // The user clears the search text by typing; the undo key then takes back the delete,
    // not the typing.
    screen->searchBar()->selectAll();
    QTest::keyClick(screen->searchBar(), Qt::Key_Backspace);
    ASSERT_EQ(screen->headerLabel()->text(), "# Movies = 3");
    QTest::keyClick(screen->searchBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(screen->searchBar()->text(), "");
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 4");
    EXPECT_EQ(screen->tableView()->currentIndex().row(), 2) << "the movie is back at its place";
    EXPECT_FALSE(screen->undoNotice()->isVisible());
    EXPECT_FALSE(app.context().hasChanges());
    // Nothing left to undo: the key is the search field's again.
    QTest::keyClick(screen->searchBar(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(screen->searchBar()->text(), "ea");
    screen->searchBar()->clear();

    // The bar's button, and the key in a new screen after the old one closed.
    screen->tableView()->requestDelete(0);  // Alien
    screen->tableView()->requestDelete(0);  // Blade Runner
    ASSERT_TRUE(screen->undoNotice()->isVisible());
    QTest::mouseClick(screen->undoNotice()->undoButton(), Qt::LeftButton);
    EXPECT_EQ(shownFirstLabels(),
              (QStringList{"Movie: Blade Runner", "Movie: Heat", "Movie: Thief"}));
    nav.reset();
    open();
    QTest::keyClick(screen->tableView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shownFirstLabels().value(0), "Movie: Alien");

    app.restart();
    heat = movieNamed("Heat");
    ASSERT_TRUE(heat);
    EXPECT_EQ(heat->frontImage(), front);
    EXPECT_EQ(heat->backImage(), back);
    EXPECT_EQ(app.context().count(Entity::Movies), 4);
}

TEST_F(ListMoviesScreenTest, ARefusedSaveIsShownAndTakenBackSoLaterSavesWork) {
    open();
    test::refuseWrites(app.dataDir(), Entity::Movies, "DELETE");
    screen->tableView()->requestDelete(0);
    EXPECT_TRUE(dismissUnresolvedError());
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 4") << "the row is back";
    EXPECT_EQ(shownFirstLabels().value(0), "Movie: Alien");
    EXPECT_FALSE(screen->undoNotice()->isVisible());
    EXPECT_FALSE(app.context().hasChanges());
    movieNamed("Thief")->setName("Thief (1981)");
    EXPECT_TRUE(app.app().saveContext()) << "the refused delete blocks no later save";
    test::allowWrites(app.dataDir());

    screen->tableView()->requestDelete(0);
    ASSERT_EQ(app.context().count(Entity::Movies), 3);
    test::refuseWrites(app.dataDir(), Entity::Movies, "INSERT");
    screen->undoDelete();
    EXPECT_TRUE(dismissUnresolvedError());
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 3") << "still deleted";
    EXPECT_FALSE(app.context().hasChanges());
    test::allowWrites(app.dataDir());
    screen->undoDelete();
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
    EXPECT_EQ(shownFirstLabels().value(0), "Movie: Alien") << "and still undoable";

    app.restart();
    EXPECT_EQ(app.context().count(Entity::Movies), 4);
    EXPECT_TRUE(movieNamed("Thief (1981)"));
}

TEST_F(ListMoviesScreenTest, OnlyAScreenLoadedDarkDrawsBlackRowTexts) {
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, Qt::black);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    open();
    EXPECT_TRUE(screen->DarkMode);
    EXPECT_TRUE(screen->tableView()->darkMode());
    QApplication::setPalette(original);
    // Switching back to light later does not change a loaded screen.
    screen->viewWillAppear();
    EXPECT_TRUE(screen->DarkMode);
}

}  // namespace
