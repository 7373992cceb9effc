#pragma once

#include <memory>

namespace quillon {

class NavigationController;

// The program's window: one navigation stack on the main menu, with Ctrl+Q to quit.
// Registers every screen's segue first.
std::unique_ptr<NavigationController> createMainWindow();

}  // namespace quillon
