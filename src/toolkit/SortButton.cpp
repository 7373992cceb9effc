#include "toolkit/SortButton.h"

#include <QAbstractButton>

namespace quillon {

void showSortDirection(QAbstractButton* sortButton, bool ascending) {
    if (!sortButton) return;
    const QString name = ascending ? QStringLiteral("Sorted ascending \u2191")
                                   : QStringLiteral("Sorted descending \u2193");
    sortButton->setAccessibleName(name);
    sortButton->setToolTip(name + (ascending ? QStringLiteral(" (click to sort descending)")
                                             : QStringLiteral(" (click to sort ascending)")));
}

}  // namespace quillon
