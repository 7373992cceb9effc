#pragma once

#include <QFuture>
#include <deque>
#include <functional>
#include <optional>

#include "formats/FileImport.h"
#include "formats/RecordBuilder.h"
#include "formats/RecordImporter.h"

namespace quillon::exchange {

// What the imports of other programs' files share: their records go through one applier, saved
// a batch at a time. Records are read a few ahead of the one applied, and those with pictures
// are built on the picture pool (each cover decoded once, stored and its small copy made), so
// that the pictures of several records are taken in side by side while each record is still
// applied in turn, in file order.
class RecordFileImport : public FileImport {
public:
    RecordFileImport(ManagedObjectContext& context, ImportOptions options);

    bool applyNext() final;
    void stop() final;
    const Status& status() const final { return status_ ? applier_.status() : status_; }
    bool isWrongFile() const final { return wrongFile_; }
    const ImportCounts& counts() const final { return applier_.counts(); }
    const QStringList& problems() const final { return applier_.problems(); }
    QString backupName() const final { return applier_.backupName(); }

protected:
    // A record as read from the file: built at once, or on the picture pool, or unreadable with
    // the reason.
    struct ReadRecord {
        RecordBuilder::Built built;
        std::optional<QFuture<RecordBuilder::Built>> building;
        QString unreadable;
    };
    static ReadRecord unreadableRecord(const QString& problem) { return {{}, {}, problem}; }
    // Built on the picture pool when it takes in pictures, else at once. `build` must own what
    // it reads: it may run after the import is gone.
    static ReadRecord recordBuiltBy(std::function<RecordBuilder::Built()> build, bool hasPictures);
    // The next record of the file; nullopt when none is left.
    virtual std::optional<ReadRecord> readNext() = 0;

    ImportOptions options_;
    Status status_;  // of the reading; the applier's tells the rest
    bool wrongFile_ = false;

private:
    bool applyOne();

    RecordImporter applier_;
    std::deque<ReadRecord> ahead_;
    bool readToEnd_ = false;
    bool stopped_ = false;
};

}  // namespace quillon::exchange
