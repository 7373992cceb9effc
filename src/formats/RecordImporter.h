#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "formats/MovieLine.h"
#include "store/CatalogueStore.h"
#include "store/Status.h"

namespace quillon::exchange {

struct ImportCounts {
    int added = 0;
    int updated = 0;
    int skipped = 0;  // the key matched two or more movies
    int failed = 0;   // the record changed nothing: its save failed, or it could not be read

    bool allApplied() const { return skipped == 0 && failed == 0; }
    // "3 added, 1 updated, 2 skipped, 0 failed"
    QString summary() const;
};

// Applies movie records to the catalogue by the export file's merge rule, whatever file they
// came from: each record updates the one movie with its name, year and director, adds a movie
// when there is none, and is skipped when there are two or more. Later records see the movies
// earlier ones added.
//
// Records are saved a batch at a time (one record a batch unless told otherwise), one
// transaction a batch: a record is in the store whole or not at all, also when the process
// dies. When a batch's save fails, its records are taken back out of the context and saved again
// one by one, so that only those whose own save fails are lost, each with its reason.
//
// Before the first record changes the store, the store is copied into Backups/ of its data
// folder (backups::make). When that copy fails, or the store is read-only, the import stops
// there and changes nothing.
//
// A dry run changes nothing and makes no backup: it counts what the records would do, from the
// movies as they are and the records before it.
class RecordImporter {
public:
    // The context must outlive the importer.
    explicit RecordImporter(ManagedObjectContext& context);

    void setBacksUpFirst(bool backsUp) { backsUpFirst_ = backsUp; }
    void setDryRun(bool dryRun) { dryRun_ = dryRun; }
    bool isDryRun() const { return dryRun_; }
    // Records a transaction; 1 by default.
    void setBatchSize(int records) { batchSize_ = qMax(1, records); }
    // Receives the error of each failed save (the screens pass the diagnostic log).
    void setFailureLog(std::function<void(const QString&)> log) { failureLog_ = std::move(log); }

    // Applies one record; `problems` are told once it is in ("front cover not imported: ..."),
    // after its label. False once the import has stopped (status()).
    bool apply(MovieLine line, QStringList problems = {});
    // A record that could not be read counts as failed, with its reason, in its place among
    // the records.
    void fail(const QString& problem);
    // Saves the records still pending. Call when no record is left, or before stopping early.
    bool flush();

    const Status& status() const { return status_; }
    const ImportCounts& counts() const { return counts_; }
    // Why records failed or what they left out, one line each, in file order.
    const QStringList& problems() const { return problems_; }
    // The backup this import made, once it made one.
    QString backupName() const { return backupName_; }

private:
    enum class Outcome { Added, Updated, Skipped, Unread };
    struct Pending {
        MovieLine line;
        QStringList problems;
        Outcome outcome = Outcome::Skipped;
        MoviePtr movie;  // the movie changed; null when skipped
    };
    bool readyToChange();
    void applyToContext(Pending& record, const std::vector<MoviePtr>& matches);
    bool countDryRun(const MovieLine& line, const QStringList& problems);
    void count(const Pending& record);
    void takeBack(const std::vector<Pending>& records);
    void saveOneByOne(std::vector<Pending> records);
    void failRecord(const Pending& record, const Status& saved);

    ManagedObjectContext& context_;
    bool backsUpFirst_ = true;
    bool dryRun_ = false;
    int batchSize_ = 1;
    std::function<void(const QString&)> failureLog_;
    std::vector<Pending> pending_;
    qint64 pendingCoverBytes_ = 0;
    bool backedUp_ = false;
    QHash<QString, int> dryRunKeys_;  // movies by their key
    bool dryRunKeysMade_ = false;
    Status status_;
    ImportCounts counts_;
    QStringList problems_;
    QString backupName_;
};

// How results name a record: "Alien (1979)", "? " for a record without a readable year.
QString recordLabel(const MovieLine& line);

}  // namespace quillon::exchange
