#pragma once

namespace quillon {

class Storyboard;

// "TabBarController" (the grouped views, from the main menu) and the segues from each group tab
// to its breakdown.
void registerGroupSegues(Storyboard& storyboard);

}  // namespace quillon
