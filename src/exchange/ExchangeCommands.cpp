#include "exchange/ExchangeCommands.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "commands/CommandParser.h"
#include "formats/ExportJob.h"
#include "formats/MovieImporter.h"
#include "store/CatalogueStore.h"
#include "store/OutputTarget.h"

namespace quillon {
namespace {

void printLine(FILE* stream, const QString& line) {
    std::fputs((line + '\n').toUtf8().constData(), stream);
}

}  // namespace

int runExportCommand(ManagedObjectContext& context, const CommandInput& input) {
    const QString path = input.argument("FILE");
    OutputFile file(path, context.dataDir());
    if (const Status created = file.create(); !created) {
        printLine(stderr, created.error);
        return 1;
    }
    exchange::ExportJob job(context, &file);
    if (const Status status = job.run(); !status) {
        file.cancel();
        printLine(stderr, path + ": " + status.describe());
        return 1;
    }
    if (const Status committed = file.commit(); !committed) {
        printLine(stderr, committed.error);
        return 1;
    }
    printLine(stdout, QString("%1 movies exported to ").arg(job.total()) + path);
    for (const QString& problem : job.problems()) printLine(stderr, problem);
    return job.problems().isEmpty() ? 0 : 1;
}

int runImportCommand(ManagedObjectContext& context, const CommandInput& input) {
    const QString path = input.argument("FILE");
    QFile file;
    if (const Status opened = exchange::openImportFile(file, path); !opened) {
        printLine(stderr, opened.error);
        return 1;
    }
    exchange::MovieImporter importer(context, &file);
    const Status status = importer.run();
    if (exchange::MovieImporter::isWrongFile(status)) {
        printLine(stderr, QFileInfo(path).fileName() + " Is The Incorrect Import File");
        return 2;
    }
    if (!status) {
        printLine(stderr, status.describe());
        return 1;
    }
    printLine(stdout, "Data Import Completed");
    printLine(stdout, importer.counts().summary());
    for (const QString& problem : importer.problems()) printLine(stderr, problem);
    return importer.counts().failed > 0 ? 1 : 0;
}

}  // namespace quillon
