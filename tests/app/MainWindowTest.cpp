#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "movies/ListMoviesTableViewController.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"

using namespace quillon;

namespace {

// The program's window as a user gets it, active, on a fresh catalogue.
TEST(MainWindowTest, TheMenuTogglesFromItsFocusedButtonEveryReturnShowsItClosedAndTheSizeStays) {
    test::AppHarness app;
    auto window = app.window();
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get())) GTEST_SKIP() << "no active window";
    auto* menu = qobject_cast<MainMenuViewController*>(window->topViewController());
    ASSERT_TRUE(menu);
    const auto shownEntries = [menu] {
        return std::count_if(menu->MainMenuButton.begin(), menu->MainMenuButton.end(),
                             [](QWidget* button) { return button->isVisible(); });
    };
    EXPECT_EQ(shownEntries(), 0);
    EXPECT_TRUE(menu->toggleButton()->hasFocus());
    QTest::keyClick(menu->toggleButton(), Qt::Key_Return);
    EXPECT_EQ(shownEntries(), 8);
    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    EXPECT_EQ(shownEntries(), 0);

    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    QTest::mouseClick(menu->ListMoviesButton, Qt::LeftButton);
    test::pumpEvents();
    auto* list = qobject_cast<ListMoviesTableViewController*>(window->topViewController());
    ASSERT_TRUE(list);
    for (const QString direction : {"Sorted ascending", "Sorted descending"}) {
        EXPECT_EQ(list->sortButton()->accessibleDescription(), direction);
        QTest::mouseClick(list->sortButton(), Qt::LeftButton);
    }
    list->searchBar()->setFocus();
    window->navigation().setNavigationBarHidden(true);
    list->unwind("unwindToMenu");
    test::pumpEvents();
    EXPECT_EQ(window->topViewController(), menu);
    EXPECT_EQ(shownEntries(), 0);
    EXPECT_TRUE(menu->toggleButton()->hasFocus());
    EXPECT_FALSE(window->navigation().isNavigationBarHidden());
    EXPECT_EQ(app.services().selection.CallingScreen, "Menu");

    const QSize size = window->size();
    for (const QString segue : {"ListMovies", "ImportExport", "ReferenceList", "GenreList"}) {
        if (segue != "GenreList") window->navigation().popToViewController(menu);
        ASSERT_TRUE(window->topViewController()->performSegue(segue));
        test::pumpEvents();
        EXPECT_EQ(window->size(), size) << segue.toStdString();
    }
    window.reset();
    test::pumpEvents();
}

}  // namespace
