#pragma once

namespace quillon {

// Runs `quillon` with its arguments: the window, or a headless sub-command.
int runApplication(int argc, char** argv);

}  // namespace quillon
