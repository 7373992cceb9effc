#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "movies/ListMoviesTableViewController.h"
#include "reference/ReferenceMember.h"
#include "toolkit/SelectionState.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"

using namespace quillon;

namespace {

// The program's window as a user gets it, active, on a fresh catalogue.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = app.window();
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
    int shownEntries() const {
        int shown = 0;
        for (auto* button : menu->MainMenuButton) shown += button->isVisible() ? 1 : 0;
        return shown;
    }
    test::AppHarness app;
    std::unique_ptr<NavigationController> window;
    MainMenuViewController* menu = nullptr;
};

TEST_F(MainWindowTest, TheMenuToggleHasTheFocusAndEveryReturnShowsTheMenuClosed) {
    EXPECT_EQ(shownEntries(), 0);
    EXPECT_EQ(app.services().selection.CallingScreen, "Menu");
    EXPECT_TRUE(menu->toggleButton()->hasFocus());
    QTest::keyClick(menu->toggleButton(), Qt::Key_Return);
    EXPECT_EQ(shownEntries(), 7);
    for (const int shown : {0, 7}) {
        QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
        EXPECT_EQ(shownEntries(), shown);
    }

    QTest::mouseClick(menu->ListMoviesButton, Qt::LeftButton);
    test::pumpEvents();
    auto* list = qobject_cast<ListMoviesTableViewController*>(window->topViewController());
    ASSERT_TRUE(list);
    EXPECT_EQ(app.services().selection.CallingScreen, "MainList");
    // The sort button tells the current direction.
    QToolButton* sort = list->sortButton();
    for (const QString direction :
         {"Sorted ascending \u2191", "Sorted descending \u2193", "Sorted ascending \u2191"}) {
        EXPECT_EQ(sort->accessibleName(), direction);
        EXPECT_TRUE(sort->toolTip().startsWith(direction)) << sort->toolTip().toStdString();
        QTest::mouseClick(sort, Qt::LeftButton);
    }

    list->searchBar()->setFocus();
    window->setNavigationBarHidden(true);
    list->unwind("unwindToMenu");
    test::pumpEvents();
    EXPECT_EQ(window->topViewController(), menu);
    EXPECT_EQ(shownEntries(), 0);
    EXPECT_TRUE(menu->toggleButton()->hasFocus());
    EXPECT_FALSE(window->isNavigationBarHidden());
    EXPECT_EQ(app.services().selection.CallingScreen, "Menu");
}

TEST_F(MainWindowTest, ChangingScreensKeepsTheWindowSize) {
    const QSize size = window->size();
    for (const QStringList& path :
         {QStringList{"ListMovies"}, {"ReferenceList", kGenreMember.listSegue}, {"ImportExport"}}) {
        SCOPED_TRACE(path.join(" / ").toStdString());
        for (const QString& segue : path) {
            ASSERT_TRUE(window->topViewController()->performSegue(segue));
            test::pumpEvents();
            EXPECT_EQ(window->size(), size);
        }
        window->popToViewController(menu);
        test::pumpEvents();
        EXPECT_EQ(window->size(), size);
    }
}

}  // namespace
