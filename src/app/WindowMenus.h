#pragma once

#include <QKeySequence>
#include <QString>
#include <functional>
#include <vector>

namespace quillon {

class MainWindow;

// One item of the window's menu bar: where it sits, its text and key, what it does and when it
// applies to the screens shown (otherwise it is disabled).
struct WindowMenuItem {
    QString menu;
    QString text;
    QKeySequence key;
    std::function<void(MainWindow&)> reach;
    std::function<bool(const MainWindow&)> applies;
};

// The menu bar, menu by menu, item by item.
const std::vector<WindowMenuItem>& windowMenuItems();

// Builds the menu bar from windowMenuItems() and keeps each item's state current with the
// screens shown. A key the shown screen answers itself (Ctrl+N in the movie list) is left to
// the screen; its menu item then runs the screen's own.
void installWindowMenus(MainWindow& window);

}  // namespace quillon
