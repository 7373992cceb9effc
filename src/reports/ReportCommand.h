#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "catalogue/GroupKind.h"
#include "store/Records.h"

namespace quillon {

class CommandInput;
class ManagedObjectContext;

// The rows a breakdown of `kind` shows for `value` (for actor and actress both selected values
// and the selected name), in the given name order, filtered by the search text.
using BreakdownRows = std::function<std::vector<MoviePtr>(ManagedObjectContext& context,
                                                          GroupKind kind, const QString& value,
                                                          bool descending, const QString& search)>;

// `quillon report KIND VALUE FILE.pdf [--descending] [--search TEXT] [--print-layout]`: writes
// the breakdown's PDF report of those rows (with --print-layout the print screen's report) to
// FILE.pdf, whole or not at all, and returns 0. No rows: prints "Empty Data Set! No Movies to
// Print!" on standard error, writes nothing and returns 1; a failed write returns 1. Needs a
// QGuiApplication (fonts); the offscreen platform will do.
int runReportCommand(ManagedObjectContext& context, const CommandInput& input,
                     const BreakdownRows& rows);

}  // namespace quillon
