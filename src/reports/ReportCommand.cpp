#include "reports/ReportCommand.h"

#include <QGuiApplication>
#include <cstdio>

#include "catalogue/ReportPdf.h"
#include "catalogue/ReportText.h"
#include "store/CatalogueStore.h"

namespace quillon {

namespace {

void printLine(FILE* stream, const QString& line) {
    std::fputs((line + '\n').toUtf8().constData(), stream);
}

}  // namespace

int runReportCommand(ManagedObjectContext& context, const QStringList& args,
                     const BreakdownRows& rows) {
    bool descending = false;
    bool printLayout = false;
    QString search;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--descending") {
            descending = true;
        } else if (args[i] == "--print-layout") {
            printLayout = true;
        } else if (args[i] == "--search" && i + 1 < args.size()) {
            search = args[++i];
        } else if (args[i].startsWith("--")) {
            positional.clear();
            break;
        } else {
            positional << args[i];
        }
    }
    const auto kind = positional.size() == 3 ? groupKindNamed(positional[0]) : std::nullopt;
    if (!kind || positional[2].isEmpty()) {
        printLine(stderr,
                  "usage: quillon report genre|actor|actress|director|producer VALUE "
                  "[--descending] [--search TEXT] [--print-layout] FILE.pdf");
        return 2;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        printLine(stderr, "report: fonts need a QGuiApplication");
        return 1;
    }
    const QString& value = positional[1];
    const QString& path = positional[2];
    const std::vector<MoviePtr> movies = rows(context, *kind, value, descending, search);
    if (movies.empty()) {
        printLine(stderr, "Empty Data Set! No Movies to Print!");
        return 1;
    }
    const ReportFamily& family = printLayout ? printReportFamily() : breakdownReportFamily();
    const auto report = buildReport(family, *kind, movies, {kReportViewWidth, value});
    if (const Status written = writeReportPdfFile(*report, path, context.dataDir()); !written) {
        printLine(stderr, "Could not create PDF file: " + written.describe());
        return 1;
    }
    printLine(stdout, QString("%1 movies written to ").arg(movies.size()) + path);
    return 0;
}

}  // namespace quillon
