#pragma once

#include <memory>

namespace quillon {

class NavigationController;
class Storyboard;

// The program's window: one navigation stack on the main menu, with Ctrl+Q to quit. Its screens
// come from the storyboard, which must outlive it.
std::unique_ptr<NavigationController> createMainWindow(const Storyboard& storyboard);

}  // namespace quillon
