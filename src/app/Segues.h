#pragma once

namespace quillon {

class Storyboard;

// Registers every screen's segue identifier on the window's storyboard.
void registerAllSegues(Storyboard& storyboard);

}  // namespace quillon
