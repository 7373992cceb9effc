#include "exchange/ExchangeCommands.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "commands/CommandHelp.h"
#include "commands/CommandParser.h"
#include "exchange/SpreadsheetColumns.h"
#include "formats/CatalogueExport.h"
#include "formats/MovieImporter.h"
#include "store/CatalogueStore.h"
#include "store/OutputTarget.h"

namespace quillon {
namespace {

void printLine(FILE* stream, const QString& line) {
    std::fputs((line + '\n').toUtf8().constData(), stream);
}

exchange::FileFormat formatOf(const CommandInput& input) {
    return exchange::formatNamed(input.value("format")).value_or(exchange::FileFormat::Quillon);
}

// --delimiter: a comma, semicolon, bar or tab; nullopt when not given, `fault` set when wrong.
std::optional<QChar> delimiterOf(const CommandInput& input, QString* fault) {
    if (!input.isSet("delimiter")) return std::nullopt;
    const QString given = input.value("delimiter");
    if (given == "tab") return QChar(u'\t');
    if (given.size() == 1 && QStringView(u",;|").contains(given.front())) return given.front();
    *fault = QString("--delimiter must be \",\", \";\", \"|\" or tab, not \"%1\"").arg(given);
    return std::nullopt;
}

int usageError(const CommandInput& input, const QString& fault) {
    printLine(stderr, usageErrorText(input.row(), fault).trimmed());
    return kUsageExitStatus;
}

// "Title=name,Location=ignore": each column and the field it goes into. An empty text on
// success, else what is wrong.
QString readColumnMap(const QString& text, QHash<QString, exchange::ColumnTarget>* map) {
    for (const QString& pair : text.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype split = pair.lastIndexOf(u'=');
        const auto target = split > 0 ? exchange::targetNamed(pair.mid(split + 1)) : std::nullopt;
        if (!target) {
            return QString(
                       "--map takes COLUMN=FIELD, and FIELD is name, year, director, cast, "
                       "notes or another field's name, or ignore; not \"%1\"")
                .arg(pair);
        }
        map->insert(exchange::columnKey(pair.left(split)), *target);
    }
    return QString();
}

// What the import was told and what it did. 2 for the wrong file, 1 for any other failure (a
// record that could not be read or saved included), else 0.
int reportImport(const exchange::FileImport& import, const QString& path, bool dryRun) {
    const Status& status = import.status();
    if (import.isWrongFile()) {
        printLine(stderr, QFileInfo(path).fileName() + " Is The Incorrect Import File");
        if (status.error != exchange::MovieImporter::kWrongFileError)
            printLine(stderr, status.error);
        return 2;
    }
    if (!status) {
        printLine(stderr, status.describe());
        return 1;
    }
    printLine(stdout, dryRun ? "Dry run: nothing was changed" : "Data Import Completed");
    printLine(stdout, import.counts().summary());
    for (const QString& problem : import.problems()) printLine(stderr, problem);
    return import.counts().failed > 0 ? 1 : 0;
}

}  // namespace

int runExportCommand(ManagedObjectContext& context, const CommandInput& input) {
    const QString path = input.argument("FILE");
    exchange::ExportOptions options;
    QString fault;
    options.delimiter = delimiterOf(input, &fault).value_or(options.delimiter);
    if (fault.isEmpty() && input.isSet("delimiter") && formatOf(input) != exchange::FileFormat::Csv)
        fault = "--delimiter separates a spreadsheet's cells: it goes with --format csv";
    if (!fault.isEmpty()) return usageError(input, fault);
    OutputFile file(path, context.dataDir());
    if (const Status created = file.create(); !created) {
        printLine(stderr, created.error);
        return 1;
    }
    const auto job = exchange::CatalogueExport::make(formatOf(input), context, &file, options);
    if (const Status status = job->run(); !status) {
        file.cancel();
        printLine(stderr, path + ": " + status.describe());
        return 1;
    }
    if (const Status committed = file.commit(); !committed) {
        printLine(stderr, committed.error);
        return 1;
    }
    printLine(stdout, QString("%1 movies exported to ").arg(job->total()) + path);
    if (!job->leftOut().isEmpty()) printLine(stdout, job->leftOut());
    for (const QString& problem : job->problems()) printLine(stderr, problem);
    return job->problems().isEmpty() ? 0 : 1;
}

int runImportCommand(ManagedObjectContext& context, const CommandInput& input) {
    const QString path = input.argument("FILE");
    exchange::ImportOptions options;
    QString fault = readColumnMap(input.value("map"), &options.columnMap);
    options.delimiter = delimiterOf(input, &fault);
    if (!fault.isEmpty()) return usageError(input, fault);
    if (input.isSet("format")) options.format = formatOf(input);
    options.unmappedInNotes = !input.isSet("no-unmapped-notes");
    options.dryRun = input.isSet("dry-run");
    if (input.value("encoding") == "utf-8") options.encoding = exchange::TextEncoding::Utf8;
    if (input.value("encoding") == "windows-1252")
        options.encoding = exchange::TextEncoding::Windows1252;
    options.folder = QFileInfo(path).absolutePath();
    QFile file;
    if (const Status opened = exchange::openImportFile(file, path); !opened) {
        printLine(stderr, opened.error);
        return 1;
    }
    const auto import = beginImport(context, &file, options);
    if (import->status()) {
        while (import->applyNext()) {
        }
    }
    return reportImport(*import, path, options.dryRun);
}

}  // namespace quillon
