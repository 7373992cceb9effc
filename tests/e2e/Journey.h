#pragma once

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include "app/MainMenuViewController.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"
#include "toolkit/TableView.h"

namespace quillon::test {

// The program's window as a user starts it: shown, active, on the main menu.
inline std::unique_ptr<MainWindow> showWindow(AppHarness& app) {
    auto window = app.window();
    window->show();
    QApplication::setActiveWindow(window.get());
    pumpEvents();
    return window;
}

// Opens the main menu and presses one of its entries; the screen then on top, if a `Screen`.
template <class Screen>
Screen* openFromMenu(NavigationController& window, QPushButton* MainMenuViewController::*entry) {
    auto* menu = qobject_cast<MainMenuViewController*>(window.topViewController());
    if (!menu) return nullptr;
    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    QTest::mouseClick(menu->*entry, Qt::LeftButton);
    pumpEvents();  // a list fetches right after it loads
    return qobject_cast<Screen*>(window.topViewController());
}

template <class Screen>
Screen* openFromMenu(MainWindow& window, QPushButton* MainMenuViewController::*entry) {
    return openFromMenu<Screen>(window.navigation(), entry);
}

// Enter on a row, as a user picks it.
inline void pick(TableView* table, int row) {
    table->setFocus();
    table->setCurrentIndex(table->model()->index(row, 0));
    QTest::keyClick(table, Qt::Key_Return);
    pumpEvents();
}

// The first label of every row, top to bottom.
inline QStringList firstLabels(TableView* table) {
    QStringList texts;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        texts << table->model()->index(row, 0).data(LabelTextsRole).toStringList().value(0);
    return texts;
}

}  // namespace quillon::test
