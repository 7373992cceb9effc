#pragma once

namespace quillon {

class Storyboard;

// Registers both lists and their add and edit screens.
void registerReferenceSegues(Storyboard& storyboard);

}  // namespace quillon
