#pragma once

#include <QFile>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "formats/LineReader.h"
#include "formats/RecordImporter.h"
#include "store/CatalogueStore.h"
#include "store/Status.h"

namespace quillon::exchange {

// Applies an export file to the catalogue, one movie line at a time, by the merge rule of
// RecordImporter: each line is fetched by (name, year, director), applied and saved on its own,
// one transaction per line, so a line is either fully in the store or not at all, also when the
// process dies. A line whose save fails is taken back out of the context, so it never rides
// along with a later line's save. A last line without its line feed is a file cut short: it is
// not applied and counts as failed. A line longer than any export writes (kMaxLineBytes) counts
// as failed and ends the reading there. The store is backed up before the first change.
class MovieImporter {
public:
    // The error of a file without the header line, the one import failure of code Corrupt.
    // Callers name the file themselves.
    static constexpr const char* kWrongFileError = "The file has no header line";
    static bool isWrongFile(const Status& status) { return status.code == Status::Corrupt; }

    // Neither is owned; both must outlive the importer. `file` is open for reading and is read
    // from its current position by begin() and applyNextLine(), so it stays open, and nobody
    // else moves its position, until applyNextLine() returned false. Of a sequential file the
    // lines above the header are kept until they are applied. Each line's save saves the whole
    // context: changes left pending there by others go out with the first line.
    MovieImporter(ManagedObjectContext& context, QIODevice* file);
    ~MovieImporter();

    // Looks for the header line anywhere in the file. Fails when there is none (isWrongFile) or
    // the file cannot be read.
    Status begin();
    // Applies the next movie line; false once none is left or the import stopped. Call after
    // begin() succeeded.
    bool applyNextLine();
    // begin(), then every line; returns status().
    Status run();
    // How the import stands. A failure says why it stopped: the wrong file (Corrupt); a line
    // too long before the header (TooBig); a read-only catalogue (ReadOnly) or a failed backup
    // (Refused), before anything changed; a file that could not be read to its end (Io), after
    // the lines before that point were applied.
    const Status& status() const { return status_ ? applier_.status() : status_; }

    // On by default. Off only where a store is thrown away afterwards (tests that import
    // thousands of files).
    void setBacksUpFirst(bool backsUp) { applier_.setBacksUpFirst(backsUp); }
    // Counts what the file would do and changes nothing.
    void setDryRun(bool dryRun) { applier_.setDryRun(dryRun); }
    // kMaxLineBytes unless a test wants a smaller file. Set before begin().
    void setMaxLineBytes(qsizetype bytes) { maxLineBytes_ = bytes; }

    // Receives the error of each failed save (the screens pass the diagnostic log).
    void setFailureLog(std::function<void(const QString&)> log) {
        applier_.setFailureLog(std::move(log));
    }

    const ImportCounts& counts() const { return applier_.counts(); }
    // Why lines failed, one line each ("Alien (1979): ..."), in file order.
    const QStringList& problems() const { return applier_.problems(); }
    // The backup that this import made, once it made one.
    QString backupName() const { return applier_.backupName(); }
    // Where the reading stands, from 0 to 1.
    double progress() const;

private:
    bool findHeader();
    Status readFailure(const QString& error) const;
    std::optional<QByteArray> nextMovieLine(bool* terminated);
    void readAhead();

    // A line read ahead; `line` is read from `text` when it ends with a line feed.
    struct ReadLine;
    std::deque<ReadLine> ahead_;
    bool readToEnd_ = false;  // nextMovieLine() gave all it had

    ManagedObjectContext& context_;
    QIODevice* file_;
    std::unique_ptr<LineReader> reader_;
    std::deque<QByteArray> linesAbove_;  // of a sequential file whose header is not on top
    qsizetype maxLineBytes_ = kMaxLineBytes;
    Status status_;  // of the reading; the applier's tells the rest
    RecordImporter applier_;
};

// "A line of the file is longer than 256 MB, ...": what an import says of such a line.
QString longLineText(qsizetype maxLineBytes);

// An import reads a regular file, or a link to one, as the export writes: a FIFO without a
// writer would block the open, a device may never end. A missing file passes (opening it tells).
Status checkImportSource(const QString& path);
// Opens `path` for an import after checkImportSource(), and checks again what it opened.
Status openImportFile(QFile& file, const QString& path);

}  // namespace quillon::exchange
