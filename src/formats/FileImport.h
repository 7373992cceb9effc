#pragma once

#include <QChar>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "formats/ColumnMapping.h"
#include "formats/CsvText.h"
#include "formats/ExportFormat.h"
#include "formats/RecordImporter.h"
#include "store/CatalogueStore.h"
#include "store/Status.h"

namespace quillon::exchange {

enum class FileFormat { Quillon, Csv, Tellico };

// "Quillon file", "Spreadsheet CSV", "Tellico collection".
QString formatTitle(FileFormat format);
// By the word the command line takes: "quillon", "csv", "tellico".
std::optional<FileFormat> formatNamed(const QString& name);
QString formatKey(FileFormat format);

// The format of a file by its content: our export file when its first line is the header line, a
// Tellico collection when it is a zip (its tellico.xml is looked for when the import begins) or
// an XML document whose root is <tellico>, else a spreadsheet. A file whose spreadsheet header
// names no movie column, and that holds the header line below its top, is still our export file.
// Reads from the device's position and leaves it there; the device must be seekable for the last
// rule.
FileFormat detectFormat(QIODevice* device);

struct ImportOptions {
    std::optional<FileFormat> format;  // detected when absent
    // Columns by header (trimmed, any case) taken elsewhere than their names say: the preview's
    // choice, a remembered one, or --map.
    QHash<QString, ColumnTarget> columnMap;
    // Values without an attribute go into the notes as "Title: value".
    bool unmappedInNotes = true;
    std::optional<QChar> delimiter;  // guessed from the header line when absent
    TextEncoding encoding = TextEncoding::Automatic;
    QString folder;  // where the file is: relative picture paths start there
    bool dryRun = false;
    bool backsUpFirst = true;
    // Receives the error of each failed save (the screens pass the diagnostic log).
    std::function<void(const QString&)> failureLog;
    // The longest line of our export file that is read; smaller only in tests.
    qsizetype maxLineBytes = kMaxLineBytes;
};

// The key of a header in ImportOptions::columnMap.
QString columnKey(const QString& header);

// What the import screen shows before anything is imported.
struct ImportPreview {
    FileFormat format = FileFormat::Csv;
    QString details;  // how the file reads: "UTF-8, separated by semicolons"
    struct Column {
        QString title;
        ColumnMapping mapping;
        bool mappable = false;  // a spreadsheet's columns are chosen; the others are fixed
    };
    QList<Column> columns;
    QList<QStringList> rows;  // the first ten records as they will be read, a cell a column
};

// One import of one file, whatever its format: begin() reads what the file must show before
// anything changes (our header line, a spreadsheet's header, a collection's XML and pictures),
// then applyNext() applies its records a few at a time by the merge rule of RecordImporter.
class FileImport {
public:
    static constexpr int kPreviewRows = 10;

    virtual ~FileImport();

    // Fails, changing nothing, for the wrong file (Corrupt), one that cannot be read, a
    // collection that is damaged or of another kind. preview() holds what was read even then.
    virtual Status begin() = 0;
    virtual ImportPreview preview() const = 0;
    // Applies the next records; false once none is left or the import stopped (status()). Then
    // every record applied is saved.
    virtual bool applyNext() = 0;
    // Saves the records applied so far and reads no further: a cancelled import.
    virtual void stop() = 0;
    // From 0 to 1.
    virtual double progress() const = 0;

    virtual const Status& status() const = 0;
    // begin() found a file of another kind: ours without its header line, a spreadsheet without
    // a column of names, another program's file that is no collection of movies.
    virtual bool isWrongFile() const = 0;
    virtual const ImportCounts& counts() const = 0;
    virtual const QStringList& problems() const = 0;
    virtual QString backupName() const = 0;

    // begin(), then every record; returns status().
    Status run();
};

// An import of `device` (open, read from its position, kept open by the caller while the import
// lives) into `context`, in the format given or detected.
std::unique_ptr<FileImport> makeImport(ManagedObjectContext& context, QIODevice* device,
                                       const ImportOptions& options);

}  // namespace quillon::exchange
