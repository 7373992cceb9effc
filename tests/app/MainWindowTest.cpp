#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "movies/ListMoviesTableViewController.h"
#include "reference/ReferenceMember.h"
#include "store/Records.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

// The program's window as a user gets it, active, on a fresh catalogue.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = createMainWindow();
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get())) GTEST_SKIP() << "no active window";
        menu = qobject_cast<MainMenuViewController*>(window->topViewController());
        ASSERT_TRUE(menu);
    }
    void TearDown() override {
        window.reset();
        test::pumpEvents();
    }
    ViewController* open(const char* segue) {
        ViewController* screen = window->topViewController()->performSegue(segue);
        test::pumpEvents();
        return screen;
    }
    test::AppFixture app;
    std::unique_ptr<NavigationController> window;
    MainMenuViewController* menu = nullptr;
};

TEST_F(MainWindowTest, TheMenuToggleHasTheFocusWheneverTheMenuShowsAndEnterOpensIt) {
    EXPECT_TRUE(menu->toggleButton()->hasFocus());
    QTest::keyClick(menu->toggleButton(), Qt::Key_Return);
    EXPECT_TRUE(menu->ListMoviesButton->isVisible());

    auto* list = qobject_cast<ListMoviesTableViewController*>(open("ListMovies"));
    ASSERT_TRUE(list);
    list->searchBar()->setFocus();
    window->popViewController();
    test::pumpEvents();
    EXPECT_TRUE(menu->toggleButton()->hasFocus());
    EXPECT_FALSE(menu->ListMoviesButton->isVisible());
}

TEST_F(MainWindowTest, ChangingScreensKeepsTheWindowSize) {
    const QSize size = window->size();
    for (const char* path : {"ListMovies", "ReferenceList", "ImportExport"}) {
        ASSERT_TRUE(open(path)) << path;
        EXPECT_EQ(window->size(), size) << path;
        if (QString(path) == "ReferenceList") {
            ASSERT_TRUE(open(kGenreMember.listSegue));
            EXPECT_EQ(window->size(), size) << "genre list";
        }
        window->popToViewController(menu);
        test::pumpEvents();
        EXPECT_EQ(window->size(), size) << "back from " << path;
    }
}

TEST_F(MainWindowTest, TheMovieListSortButtonTellsTheCurrentDirection) {
    auto* list = qobject_cast<ListMoviesTableViewController*>(open("ListMovies"));
    ASSERT_TRUE(list);
    QToolButton* sort = list->sortButton();
    EXPECT_EQ(sort->accessibleName(), "Sorted ascending \u2191");
    QTest::mouseClick(sort, Qt::LeftButton);
    EXPECT_EQ(sort->accessibleName(), "Sorted descending \u2193");
    EXPECT_TRUE(sort->toolTip().startsWith("Sorted descending \u2193"));
    QTest::mouseClick(sort, Qt::LeftButton);
    EXPECT_TRUE(sort->toolTip().startsWith("Sorted ascending \u2191"));
}

}  // namespace
