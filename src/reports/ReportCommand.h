#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "catalogue/GroupKind.h"
#include "store/Records.h"

namespace quillon {

class ManagedObjectContext;

// The rows a breakdown of `kind` shows for `value` (for actor and actress both selected values
// and the selected name), in the given name order, filtered by the search text.
using BreakdownRows = std::function<std::vector<MoviePtr>(ManagedObjectContext& context,
                                                          GroupKind kind, const QString& value,
                                                          bool descending, const QString& search)>;

// `quillon report KIND VALUE [--descending] [--search TEXT] [--print-layout] FILE.pdf`: writes the
// breakdown's PDF report of those rows (with --print-layout the print screen's report) to
// FILE.pdf, whole or not at all. No rows: prints "Empty Data Set! No Movies to Print!" on
// standard error, writes nothing and returns 1; wrong arguments return 2, a failed write 1.
// Needs a QGuiApplication (fonts); the offscreen platform will do.
int runReportCommand(ManagedObjectContext& context, const QStringList& args,
                     const BreakdownRows& rows);

}  // namespace quillon
