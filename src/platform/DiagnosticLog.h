#pragma once

#include <QString>
#include <functional>

namespace quillon {

// The developer's log: one plain line per call on standard error. Users never see it.
void diagnosticLog(const QString& line);

// Tests capture the log; returns the previous sink. An empty sink restores standard error.
using DiagnosticSink = std::function<void(const QString&)>;
DiagnosticSink setDiagnosticSink(DiagnosticSink sink);

}  // namespace quillon
