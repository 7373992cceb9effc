#include "reports/ReportCommand.h"

#include <QGuiApplication>
#include <cstdio>

#include "catalogue/ReportPdf.h"
#include "catalogue/ReportText.h"
#include "commands/CommandParser.h"
#include "store/CatalogueStore.h"

namespace quillon {

namespace {

void printLine(FILE* stream, const QString& line) {
    std::fputs((line + '\n').toUtf8().constData(), stream);
}

}  // namespace

int runReportCommand(ManagedObjectContext& context, const CommandInput& input,
                     const BreakdownRows& rows) {
    // The parser let through only the kinds' own names.
    const GroupKind kind = groupKindNamed(input.argument("KIND")).value_or(GroupKind::Genre);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        printLine(stderr, "report: fonts need a QGuiApplication");
        return 1;
    }
    const QString value = input.argument("VALUE");
    const QString path = input.argument("FILE.pdf");
    const std::vector<MoviePtr> movies =
        rows(context, kind, value, input.isSet("descending"), input.value("search"));
    if (movies.empty()) {
        printLine(stderr, "Empty Data Set! No Movies to Print!");
        return 1;
    }
    const ReportFamily& family =
        input.isSet("print-layout") ? printReportFamily() : breakdownReportFamily();
    const auto report = buildReport(family, kind, movies, {kReportViewWidth, value});
    if (const Status written = writeReportPdfFile(*report, path, context.dataDir()); !written) {
        printLine(stderr, "Could not create PDF file: " + written.describe());
        return 1;
    }
    printLine(stdout, QString("%1 movies written to ").arg(movies.size()) + path);
    return 0;
}

}  // namespace quillon
