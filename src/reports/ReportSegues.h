#pragma once

#include "catalogue/GroupKind.h"

namespace quillon {

class Storyboard;

// From the main menu to the overview. A breakdown opens the print screen with kPrintReportSegue
// (GroupKind.h).
inline constexpr char kOverviewSegue[] = "Overview";

// Registers the overview and the print report screen.
void registerReportSegues(Storyboard& storyboard);

}  // namespace quillon
