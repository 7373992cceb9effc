#include "exchange/ExchangeCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

#include "exchange/ExportFile.h"
#include "exchange/ExportJob.h"
#include "exchange/MovieImporter.h"

namespace quillon {
namespace {

void printLine(FILE* stream, const QString& line) {
    std::fputs((line + '\n').toUtf8().constData(), stream);
}

bool hasOneFile(const QStringList& args, const char* command) {
    if (args.size() == 1 && !args.front().isEmpty()) return true;
    printLine(stderr, QString("usage: quillon %1 FILE").arg(command));
    return false;
}

}  // namespace

int runExportCommand(ManagedObjectContext& context, const QStringList& args) {
    if (!hasOneFile(args, "export")) return 1;
    if (const Status target = exchange::checkExportTarget(args.front()); !target) {
        printLine(stderr, target.error);
        return 1;
    }
    QSaveFile file(args.front());
    if (!file.open(QIODevice::WriteOnly)) {
        printLine(stderr, QString("%1: %2").arg(args.front(), file.errorString()));
        return 1;
    }
    exchange::ExportJob job(context, &file);
    const Status status = job.run();
    if (!status) {
        file.cancelWriting();
        printLine(stderr, QString("%1: %2").arg(args.front(), status.describe()));
        return 1;
    }
    if (!file.commit()) {
        printLine(stderr, QString("%1: %2").arg(args.front(), file.errorString()));
        return 1;
    }
    printLine(stdout, QString("%1 movies exported to %2").arg(job.total()).arg(args.front()));
    for (const QString& problem : job.problems()) printLine(stderr, problem);
    return job.problems().isEmpty() ? 0 : 1;
}

int runImportCommand(ManagedObjectContext& context, const QStringList& args) {
    if (!hasOneFile(args, "import")) return 1;
    QFile file;
    if (const Status opened = exchange::openImportFile(file, args.front()); !opened) {
        printLine(stderr, opened.error);
        return 1;
    }
    exchange::MovieImporter importer(context, &file);
    const Status status = importer.run();
    if (exchange::MovieImporter::isWrongFile(status)) {
        printLine(stderr, QFileInfo(args.front()).fileName() + " Is The Incorrect Import File");
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
