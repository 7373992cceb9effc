#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPalette>
#include <QTest>
#include <QToolButton>

#include "movies/ListMoviesTableViewController.h"
#include "store/SelectionState.h"
#include "support/TestSupport.h"
#include "toolkit/KeySelector.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

class ListMoviesScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto [name, year, director] :
             {std::tuple{"Heat", 1995, "Mann"}, {"Alien", 1979, "Scott"},
              {"Blade Runner", 1982, "Scott"}, {"Thief", 1981, "Mann"}}) {
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
        test::pumpEvents();
    }
    QStringList shownFirstLabels() {
        QStringList labels;
        auto* model = screen->tableView()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            labels << model->index(r, 0).data(LabelTextsRole).toStringList().value(0);
        return labels;
    }

    test::AppFixture app;
    ListMoviesTableViewController* screen = nullptr;
    std::unique_ptr<NavigationController> nav;
};

TEST_F(ListMoviesScreenTest, KeySelectorSearchAndSortDriveTheRows) {
    open();
    EXPECT_EQ(SelectionState::shared().CallingScreen, "MainList");
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 4");
    EXPECT_EQ(screen->searchBar()->placeholderText(), "Search by Movie Name");
    EXPECT_EQ(shownFirstLabels(),
              (QStringList{"Movie: Alien", "Movie: Blade Runner", "Movie: Heat", "Movie: Thief"}));

    QTest::keyClicks(screen->searchBar(), "IE");
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 2 of 4");
    EXPECT_EQ(shownFirstLabels(), (QStringList{"Movie: Alien", "Movie: Thief"}));

    screen->segment()->setSelectedIndex(3);
    EXPECT_EQ(screen->searchBar()->placeholderText(), "Search by Director");
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 4 of 4");
    EXPECT_EQ(shownFirstLabels(), (QStringList{"Director: Mann", "Director: Mann",
                                               "Director: Scott", "Director: Scott"}));

    screen->searchBar()->clear();
    QTest::mouseClick(screen->sortButton(), Qt::LeftButton);
    const auto* model = screen->tableView()->model();
    EXPECT_EQ(model->index(0, 0).data(LabelTextsRole).toStringList().value(1),
              "Movie: Blade Runner   Year: 1982  Run Time: 0");
    EXPECT_EQ(model->index(3, 0).data(LabelTextsRole).toStringList().value(1),
              "Movie: Heat   Year: 1995  Run Time: 0");
}

TEST_F(ListMoviesScreenTest, DeleteKeyRemovesTheMovieFromStoreAndRowsWhileSearching) {
    open();
    QTest::keyClicks(screen->searchBar(), "e");  // Alien, Blade Runner, Heat, Thief
    screen->searchBar()->setText("ea");          // Heat
    ASSERT_EQ(screen->headerLabel()->text(), "# Movies = 1 of 4");
    screen->tableView()->setCurrentIndex(screen->tableView()->model()->index(0, 0));
    screen->tableView()->setFocus();
    QTest::keyClick(screen->tableView(), Qt::Key_Delete);
    EXPECT_EQ(screen->headerLabel()->text(), "# Movies = 0 of 4");
    EXPECT_FALSE(app.context().hasChanges());
    app.restart();
    EXPECT_EQ(app.context().count(Entity::Movies), 3);
}

TEST_F(ListMoviesScreenTest, ContextMenuDeleteAndRowPickFillTheHandOver) {
    open();
    QMenu* menu = screen->tableView()->buildContextMenu(0);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "delete");
    menu->actions()[0]->trigger();
    delete menu;
    EXPECT_EQ(app.context().count(Entity::Movies), 3);
    EXPECT_EQ(shownFirstLabels().value(0), "Movie: Blade Runner");

    screen->tableView()->selectRow(1);
    EXPECT_EQ(SelectionState::shared().SelectedName, "Heat");
    EXPECT_EQ(SelectionState::shared().SelectedYear, 1995);
    EXPECT_EQ(SelectionState::shared().SelectedDirector, "Mann");
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
