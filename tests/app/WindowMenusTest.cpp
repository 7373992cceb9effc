#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <functional>

#include "app/AboutDialog.h"
#include "app/BackupsDialog.h"
#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "app/WindowMenus.h"
#include "catalogue/GroupKind.h"
#include "movies/MovieFormViewController.h"
#include "store/Records.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

QAction* menuAction(MainWindow& window, const QString& text) {
    const std::vector<WindowMenuItem>& items = windowMenuItems();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].text == text) return window.menuActions().value(int(i));
    return nullptr;
}

// Opens the item's menu as a user would, reads whether the item may be chosen, closes it.
bool enabledInOpenMenu(QAction* action) {
    auto* menu = qobject_cast<QMenu*>(action->parent());
    menu->popup(QPoint(0, 0));
    test::pumpEvents();
    const bool enabled = action->isEnabled();
    menu->hide();
    return enabled;
}

// The item as a screen reader finds it in the menu bar's tree, its menu closed.
QAccessibleInterface* accessibleItem(MainWindow& window, QAction* action) {
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window.menuBar());
    for (int m = 0; bar && m < bar->childCount(); ++m) {
        QAccessibleInterface* menu =
            bar->child(m)->childCount() ? bar->child(m)->child(0) : nullptr;
        for (int i = 0; menu && i < menu->childCount(); ++i)
            if (menu->child(i)->object() == action) return menu->child(i);
    }
    return nullptr;
}

ViewController* fromMainMenu(MainWindow& window, const QString& segue) {
    NavigationController& navigation = window.navigation();
    navigation.popToViewController(navigation.viewControllers().first());
    ViewController* shown = navigation.topViewController()->performSegue(segue);
    test::pumpEvents();
    return shown;
}

void onMainMenu(MainWindow& window) {
    NavigationController& navigation = window.navigation();
    navigation.popToViewController(navigation.viewControllers().first());
    test::pumpEvents();
}

void onListWithRowPicked(MainWindow& window) {
    ViewController* list = fromMainMenu(window, "ListMovies");
    auto* table = list->findChild<TableView*>();
    table->setCurrentIndex(table->model()->index(0, 0));
}

// An add form holding a typed name: leaving it would lose the input.
void onChangedAddForm(MainWindow& window) {
    auto* form = qobject_cast<MovieFormViewController*>(fromMainMenu(window, "AddMovie"));
    QTest::keyClicks(form->entry(FormField::MovieName), "Typed");
}

QString topClass(MainWindow& window) {
    test::pumpEvents();
    return window.topViewController()->metaObject()->className();
}

template <class Dialog>
bool closeShownDialog(MainWindow& window) {
    test::pumpEvents();
    auto* dialog = window.findChild<Dialog*>();
    if (!dialog || !dialog->isVisible()) return false;
    dialog->close();
    test::pumpEvents();
    return true;
}

// Every item of the menu bar: where it applies it reaches its screen, pressed by a screen reader
// while its menu is closed as by a click in the open menu; where it does not, it is disabled. Rows
// run in order on one window and catalogue (Undo takes back Delete).
TEST(WindowMenusTest, EachItemReachesItsScreenAndIsDisabledWhereItDoesNotApply) {
    test::AppHarness app;
    MoviePtr movie = Movies::insertInto(app.context());
    movie->setName("Alien");
    ASSERT_TRUE(app.context().save().ok);
    auto window = app.window();
    window->show();
    QApplication::setActiveWindow(window.get());
    const auto movies = [&] { return app.context().count(Entity::Movies); };
    const QString breakdown = QString::fromUtf8(kGroupKindTable[0].tab.breakdownSegue);

    struct Row {
        QString text;
        std::function<void(MainWindow&)> applies;
        std::function<bool(MainWindow&)> reached;
        std::function<void(MainWindow&)> doesNotApply;  // none: it always applies
    };
    using W = MainWindow&;
    const std::vector<Row> rows = {
        {"Import...", onMainMenu,
         [](W w) { return topClass(w) == "quillon::ImportViewController"; }, onChangedAddForm},
        {"Export...", onListWithRowPicked,
         [](W w) { return topClass(w) == "quillon::ExportViewController"; }, onChangedAddForm},
        {"Print Report...", [&](W w) { fromMainMenu(w, breakdown); },
         [](W w) { return topClass(w) == "quillon::PrintMoviesViewController"; },
         onListWithRowPicked},
        {"Backups...", onChangedAddForm, closeShownDialog<BackupsDialog>, {}},
        {"Delete", onListWithRowPicked, [&](W) { return movies() == 0; }, onMainMenu},
        {"Undo", [](W w) { fromMainMenu(w, "ListMovies"); }, [&](W) { return movies() == 1; },
         onMainMenu},
        {"Add Movie", onMainMenu,
         [](W w) { return topClass(w) == "quillon::AddMovieViewController"; }, onChangedAddForm},
        {"Add Movie",
         onListWithRowPicked,
         [](W w) { return topClass(w) == "quillon::AddMovieViewController"; },
         {}},
        {"Find", onListWithRowPicked,
         [](W w) { return w.focusWidget() == w.topViewController()->findChild<SearchBar*>(); },
         onMainMenu},
        {"List Movies", onChangedAddForm, {}, {}},  // disabled only: see the next rows
        {"List Movies", onMainMenu,
         [](W w) { return topClass(w) == "quillon::ListMoviesTableViewController"; },
         onChangedAddForm},
        {"Movies by Group", onListWithRowPicked,
         [](W w) { return topClass(w) == "quillon::customTabBar"; }, onChangedAddForm},
        {"Reference Lists", onMainMenu,
         [](W w) { return topClass(w) == "quillon::ReferenceListViewController"; },
         onChangedAddForm},
        {"Statistics", onMainMenu,
         [](W w) { return topClass(w) == "quillon::StatisticsViewController"; }, onChangedAddForm},
        {"Overview", onMainMenu,
         [](W w) { return topClass(w) == "quillon::OverviewViewController"; }, onChangedAddForm},
        {"Rate and Share", onMainMenu,
         [](W w) { return topClass(w) == "quillon::RateShareTableViewController"; },
         onChangedAddForm},
        {"About Quillon",
         onChangedAddForm,
         [&](W w) {
             test::pumpEvents();
             auto* about = w.findChild<AboutDialog*>();
             const bool says = about && about->isVisible() &&
                               about->licenceText().contains("GPL-3.0-or-later") &&
                               about->dataFolderText().contains(app.dataDir()) &&
                               about->versionText().startsWith("Version ");
             return says && closeShownDialog<AboutDialog>(w);
         },
         {}},
        {"Show/Hide List",
         [](W w) {
             w.resize(1200, 700);
             onListWithRowPicked(w);
         },
         [](W w) {
             const bool hidden = !w.navigation().isVisible() && w.detail()->isVisible();
             w.setListHidden(false);
             w.resize(680, 500);
             return hidden;
         },
         onListWithRowPicked},  // one screen at a time: no list beside to hide
        {"Quit", onMainMenu, [](W w) { return !w.isVisible(); }, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        QAction* action = menuAction(*window, row.text);
        ASSERT_TRUE(action);
        QAccessibleInterface* item = accessibleItem(*window, action);
        ASSERT_TRUE(item && item->actionInterface());
        if (row.doesNotApply) {
            row.doesNotApply(*window);
            EXPECT_TRUE(item->state().disabled);
            EXPECT_FALSE(enabledInOpenMenu(action));
            const QString shown = topClass(*window);
            action->trigger();  // a key pressed before the state caught up does nothing
            EXPECT_EQ(topClass(*window), shown);
            // Leaves a changed form by its back button, as a user would.
            if (qobject_cast<MovieFormViewController*>(window->topViewController()))
                window->navigation().popViewController();
        }
        if (!row.reached) continue;
        row.applies(*window);
        EXPECT_EQ(item->text(QAccessible::Name), row.text);
        EXPECT_FALSE(item->state().disabled);
        EXPECT_TRUE(enabledInOpenMenu(action));
        const QStringList actions = item->actionInterface()->actionNames();
        if (!actions.isEmpty()) item->actionInterface()->doAction(actions.first());
        EXPECT_TRUE(row.reached(*window));
    }
}

// Ctrl+N belongs to the menu bar on the main menu and to the movie list on the list: both
// reach the add form, neither key is ambiguous.
TEST(WindowMenusTest, KeysOfTheMenuBarAndOfTheShownScreenDoNotClash) {
    test::AppHarness app;
    auto window = app.window();
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get())) GTEST_SKIP() << "no active window";
    for (const QString start : {"Menu", "ListMovies"}) {
        SCOPED_TRACE(start.toStdString());
        if (start == "Menu")
            onMainMenu(*window);
        else
            fromMainMenu(*window, start);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(topClass(*window), "quillon::AddMovieViewController");
    }
    onMainMenu(*window);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    EXPECT_EQ(topClass(*window), "quillon::OverviewViewController");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
