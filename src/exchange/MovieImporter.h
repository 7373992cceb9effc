#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "exchange/LineReader.h"
#include "store/CatalogueStore.h"
#include "store/Status.h"

namespace quillon::exchange {

struct ImportCounts {
    int added = 0;
    int updated = 0;
    int skipped = 0;  // the key matched two or more movies
    int failed = 0;   // the line changed nothing: its save failed, or the file was cut short

    bool allApplied() const { return skipped == 0 && failed == 0; }
    // "3 added, 1 updated, 2 skipped, 0 failed"
    QString summary() const;
};

// Applies an export file to the catalogue, one movie line at a time. Each line is fetched by
// (name, year, director), applied and saved on its own: one transaction per line, so a line is
// either fully in the store or not at all, also when the process dies. A line whose save fails
// is taken back out of the context, so it never rides along with a later line's save. A last
// line without its line feed is a file cut short: it is not applied and counts as failed.
//
// Before the first line changes the store, the store is copied into Backups/ of its data folder
// (backups::make): an import may overwrite many texts at once. When that copy fails, or the
// store is read-only, the import stops there and changes nothing.
class MovieImporter {
public:
    MovieImporter(ManagedObjectContext& context, QIODevice* file);
    ~MovieImporter();

    // Looks for the header line anywhere in the file. False when there is none (the wrong
    // file) or the file cannot be read (readError() tells which).
    bool begin();
    bool isWrongFile() const { return wrongFile_; }
    // Applies the next movie line; false once none is left. Call after begin() returned true.
    bool applyNextLine();
    // begin(), then every line.
    void run();

    // On by default. Off only where a store is thrown away afterwards (tests that import
    // thousands of files).
    void setBacksUpFirst(bool backsUp) { backsUpFirst_ = backsUp; }

    // Receives the error of each failed save (the screens pass the diagnostic log).
    void setFailureLog(std::function<void(const QString&)> log) { failureLog_ = std::move(log); }

    const ImportCounts& counts() const { return counts_; }
    // Why lines failed, one line each ("Alien (1979): ..."), in file order.
    const QStringList& problems() const { return problems_; }
    // Set when the import stopped before changing anything: the backup failed, or the
    // catalogue is read-only.
    QString stopError() const { return stopError_; }
    // The backup that this import made, once it made one.
    QString backupName() const { return backupName_; }
    // Non-empty when the device failed while being read; the lines before it stay applied.
    QString readError() const { return reader_ ? reader_->errorString() : QString(); }

private:
    bool findHeader();
    std::optional<QByteArray> nextMovieLine();

    ManagedObjectContext& context_;
    QIODevice* file_;
    QByteArray sequentialCopy_;
    std::unique_ptr<QIODevice> copyDevice_;
    std::unique_ptr<LineReader> reader_;
    bool wrongFile_ = true;
    bool backsUpFirst_ = true;
    bool backedUp_ = false;
    ImportCounts counts_;
    QStringList problems_;
    QString stopError_;
    QString backupName_;
    std::function<void(const QString&)> failureLog_;
};

}  // namespace quillon::exchange
