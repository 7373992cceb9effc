#pragma once

class QAbstractButton;

namespace quillon {

// Tells the current sort direction on a list's sort button (tool tip and accessible name, with
// an up or down arrow). Call it when the list loads and after every flip.
void showSortDirection(QAbstractButton* sortButton, bool ascending);

}  // namespace quillon
