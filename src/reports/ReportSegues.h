#pragma once

namespace quillon {

class Storyboard;

// A breakdown opens its print report with this segue, after keeping its value in the selection
// and naming itself in CallingScreen.
inline constexpr char kPrintReportSegue[] = "PrintReport";

// Registers the print report screen.
void registerReportSegues(Storyboard& storyboard);

}  // namespace quillon
