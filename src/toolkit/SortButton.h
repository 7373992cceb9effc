#pragma once

class QAbstractButton;

namespace quillon {

// Tells the current sort direction on a list's sort button: in its accessible description, and
// with an up or down arrow in its tool tip. Call it when the list loads and after every flip.
void showSortDirection(QAbstractButton* sortButton, bool ascending);

}  // namespace quillon
