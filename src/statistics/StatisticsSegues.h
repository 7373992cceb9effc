#pragma once

namespace quillon {

class Storyboard;

// From the main menu and the menu bar to the statistics.
inline constexpr char kStatisticsSegue[] = "Statistics";

void registerStatisticsSegues(Storyboard& storyboard);

}  // namespace quillon
