#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTextDocument>
#include <functional>

#include "Journey.h"
#include "groups/BreakdownTableViewController.h"
#include "groups/CustomTabBarController.h"
#include "movies/AddMovieViewController.h"
#include "movies/CoverView.h"
#include "movies/EditMoviesViewController.h"
#include "movies/ListMoviesTableViewController.h"
#include "reports/PrintMoviesViewController.h"
#include "store/Records.h"
#include "toolkit/SearchBar.h"

using namespace quillon;

namespace {

QWidget* focused() {
    test::pumpEvents();
    return QApplication::focusWidget();
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focused(), Qt::Key(key), modifiers);
    test::pumpEvents();
}

void type(const QString& text) {
    QTest::keyClicks(focused(), text);
}

// Presses Tab until the focused control is the one looked for; false when Tab came round
// without reaching it.
bool tabTo(const std::function<bool(QWidget*)>& isWanted) {
    for (int step = 0; step < 80; ++step) {
        if (focused() && isWanted(focused())) return true;
        press(Qt::Key_Tab);
    }
    return false;
}

bool isButton(QWidget* widget, const QString& text) {
    auto* button = qobject_cast<QAbstractButton*>(widget);
    return button && button->text() == text;
}

bool isEntry(QWidget* widget, QLineEdit* entry) {
    return widget == entry;
}

// The open menu's item with this text becomes active by the arrow keys.
bool arrowTo(const QString& text) {
    for (int step = 0; step < 12; ++step) {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu && menu->activeAction() && menu->activeAction()->text().startsWith(text))
            return true;
        QTest::keyClick(menu ? static_cast<QWidget*>(menu) : focused(), Qt::Key_Down);
        test::pumpEvents();
    }
    return false;
}

// A user who works by the keyboard alone adds a movie with a front cover from a file, finds
// it, opens it, changes it, finds it among the directors and prints that director's movies.
TEST(KeyboardJourney, AddFindChangeGroupAndPrintByKeysAlone) {
    test::AppHarness app;
    const QString coverFile = app.dataDir() + "/nosferatu.jpg";
    ASSERT_TRUE(test::writeBytes(coverFile, test::jpegOf({80, 120}, Qt::darkBlue)));
    auto window = test::showWindow(app);
    const auto top = [&] {
        test::pumpEvents();
        return window->topViewController();
    };

    press(Qt::Key_N, Qt::ControlModifier);
    auto* add = qobject_cast<AddMovieViewController*>(top());
    ASSERT_NE(add, nullptr) << "Ctrl+N opens the add form";
    ASSERT_TRUE(tabTo([&](QWidget* w) { return isEntry(w, add->entry(FormField::MovieName)); }));
    // The entries a new movie needs, in their order; Tab passes over the others.
    for (const char* text :
         {"Nosferatu", "1922", "Max Schreck", "", "Greta Schroeder", "", "Murnau", "Prana Film"}) {
        type(text);
        press(Qt::Key_Tab);
    }
    EXPECT_EQ(add->entry(FormField::Producer)->text(), "Prana Film");
    // Tab opens the genre's wheel (passing the rating's); an arrow and Return pick a genre.
    QLineEdit* genre = add->entry(FormField::Genre);
    ASSERT_TRUE(tabTo([&](QWidget* w) { return w->isWindow() && w->parentWidget() == genre; }));
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_FALSE(genre->text().isEmpty());
    app.devices().picker.next = coverFile;
    ASSERT_TRUE(tabTo([](QWidget* w) { return isButton(w, "Folder"); }));
    press(Qt::Key_Space);
    EXPECT_EQ(app.devices().picker.picks, 1);
    CoverView* front = add->findChildren<CoverView*>().value(0);
    ASSERT_NE(front, nullptr);
    for (int wait = 0; wait < 50 && front->accessibleDescription() == "no picture"; ++wait)
        test::pumpEvents(10);  // the picture is read off the main thread
    EXPECT_EQ(front->accessibleDescription(), "80 by 120 pixels")
        << "the first Folder is the front cover's";
    press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(app.context().count(Entity::Movies), 1) << "Ctrl+S saves the new movie";
    MoviePtr saved = app.context().fetch<Movies>().at(0);
    EXPECT_TRUE(saved->image(Attribute::frontImage).has_value());

    ASSERT_EQ(top(), window->navigation().viewControllers().first()) << "back on the main menu";
    press(Qt::Key_Return);  // shows the menu's entries
    ASSERT_TRUE(tabTo([](QWidget* w) { return isButton(w, "List Movies"); }));
    press(Qt::Key_Return);
    auto* list = qobject_cast<ListMoviesTableViewController*>(top());
    ASSERT_NE(list, nullptr) << "Return on the entry opens the movie list";

    press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(focused(), static_cast<QWidget*>(list->searchBar())) << "Ctrl+F goes to the search";
    type("nosf");
    press(Qt::Key_Tab);
    ASSERT_EQ(focused(), static_cast<QWidget*>(list->tableView()));
    press(Qt::Key_Down);
    ASSERT_EQ(list->tableView()->currentIndex().row(), 0);
    press(Qt::Key_Return);
    auto* edit = qobject_cast<EditMoviesViewController*>(top());
    ASSERT_NE(edit, nullptr) << "Return opens the movie found";
    EXPECT_EQ(edit->entry(FormField::MovieName)->text(), "Nosferatu");

    ASSERT_TRUE(tabTo([&](QWidget* w) { return isEntry(w, edit->entry(FormField::Director)); }));
    type("F. W. Murnau");  // Tab selected the whole entry
    press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(top(), list) << "Ctrl+S saves and goes back to the list";
    EXPECT_EQ(*app.context().fetch<Movies>().at(0)->director(), "F. W. Murnau");

    press(Qt::Key_V, Qt::AltModifier);
    ASSERT_TRUE(arrowTo("Movies by Group")) << "Alt+V opens the View menu";
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
    auto* tabs = qobject_cast<customTabBar*>(top());
    ASSERT_NE(tabs, nullptr) << "View > Movies by Group";
    QTabBar* bar = tabs->tabWidget()->tabBar();
    ASSERT_TRUE(tabTo([&](QWidget* w) { return w == bar; }));
    while (bar->tabText(bar->currentIndex()) != "Director" &&
           bar->currentIndex() + 1 < bar->count())
        press(Qt::Key_Right);
    ASSERT_EQ(bar->tabText(bar->currentIndex()), "Director");
    press(Qt::Key_Tab, Qt::ShiftModifier);
    auto* directors = qobject_cast<TableView*>(focused());
    ASSERT_NE(directors, nullptr) << "Shift+Tab goes from the tabs back to their list";
    press(Qt::Key_Down);
    ASSERT_EQ(test::firstLabels(directors).value(directors->currentIndex().row()), "F. W. Murnau");
    press(Qt::Key_Return);
    auto* breakdown = qobject_cast<BreakdownTableViewController*>(top());
    ASSERT_NE(breakdown, nullptr) << "Return opens the director's movies";

    press(Qt::Key_P, Qt::ControlModifier);
    ASSERT_NE(qobject_cast<PrintMoviesViewController*>(top()), nullptr);
    ASSERT_EQ(app.devices().printer.documents.size(), 1u) << "Ctrl+P prints the director's movies";
    const QString printed = app.devices().printer.documents[0]->toPlainText();
    EXPECT_TRUE(printed.contains("Nosferatu") && printed.contains("F. W. Murnau"))
        << printed.toStdString();
}

}  // namespace
