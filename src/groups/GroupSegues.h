#pragma once

namespace quillon {

class Storyboard;

// From the main menu to the grouped views' tab container.
inline constexpr char kTabBarSegue[] = "TabBarController";

// The tab container, and the segue from each group tab to its breakdown (see GroupKind.h).
void registerGroupSegues(Storyboard& storyboard);

}  // namespace quillon
