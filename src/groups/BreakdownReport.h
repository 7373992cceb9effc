#pragma once

#include <vector>

#include "catalogue/GroupKind.h"
#include "store/Records.h"

class QWidget;

namespace quillon {

struct Services;

// The print button of a breakdown: builds the report of `movies` (in the order listed), writes
// it as a PDF to the kind's file in the documents folder and offers that file in the share sheet
// anchored at `anchor`. An empty list, a failed write and a device that cannot send text
// messages are told in alerts.
void shareBreakdownReport(GroupKind kind, const std::vector<MoviePtr>& movies, Services& services,
                          QWidget* anchor);

}  // namespace quillon
