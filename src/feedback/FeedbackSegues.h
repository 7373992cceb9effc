#pragma once

namespace quillon {

class Storyboard;

// From the main menu to the rate and share menu.
inline constexpr char kRateShareSegue[] = "RateShare";

// Registers the rate and share menu, with the maker's addresses of this build.
void registerFeedbackSegues(Storyboard& storyboard);

}  // namespace quillon
