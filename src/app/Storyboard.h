#pragma once

namespace quillon {

// Registers every screen's segue identifier. Called once before the first window.
void registerAllSegues();

}  // namespace quillon
