#pragma once

namespace quillon {

class Storyboard;

// From the main menu to the reference-list menu.
inline constexpr char kReferenceListSegue[] = "ReferenceList";

// Registers the reference-list menu, both lists and their add and edit screens.
void registerReferenceSegues(Storyboard& storyboard);

}  // namespace quillon
