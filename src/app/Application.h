#pragma once

#include <memory>

namespace quillon {

class AppDelegate;
class MainWindow;

// Runs `quillon` with its arguments: the window, or a headless sub-command.
int runApplication(int argc, char** argv);

// Opens the delegate's store (with its store options) and then the window, not yet shown.
// When the store cannot be opened a blocking box says why (another process has it open, or
// "Unresolved error ..."), nothing else comes up, and exitStatus receives the process status.
// A read-only catalogue says so in the window title and in an alert once the window shows.
std::unique_ptr<MainWindow> startWindow(AppDelegate& delegate, int* exitStatus);

}  // namespace quillon
