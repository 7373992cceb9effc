#include "platform/DiagnosticLog.h"

#include <cstdio>

namespace quillon {

namespace {
DiagnosticSink& sink() {
    static DiagnosticSink s;
    return s;
}
}  // namespace

void diagnosticLog(const QString& line) {
    if (sink()) {
        sink()(line);
        return;
    }
    const QByteArray utf8 = line.toUtf8();
    std::fprintf(stderr, "%s\n", utf8.constData());
    std::fflush(stderr);
}

DiagnosticSink setDiagnosticSink(DiagnosticSink s) {
    DiagnosticSink previous = std::move(sink());
    sink() = std::move(s);
    return previous;
}

}  // namespace quillon
