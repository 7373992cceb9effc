#include "toolkit/SortButton.h"

#include <QAbstractButton>

namespace quillon {

void showSortDirection(QAbstractButton* sortButton, bool ascending) {
    if (!sortButton) return;
    // Speech engines read an arrow as "upwards arrow": the direction is said in words.
    const QString direction =
        ascending ? QStringLiteral("Sorted ascending") : QStringLiteral("Sorted descending");
    sortButton->setAccessibleName(QStringLiteral("Sort"));
    sortButton->setAccessibleDescription(direction);
    sortButton->setToolTip(direction + (ascending
                                            ? QStringLiteral(" \u2191 (click to sort descending)")
                                            : QStringLiteral(" \u2193 (click to sort ascending)")));
}

}  // namespace quillon
