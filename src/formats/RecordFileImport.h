#pragma once

#include "formats/FileImport.h"
#include "formats/RecordImporter.h"

namespace quillon::exchange {

// What the imports of other programs' files share: their records go through one applier, saved
// a batch at a time.
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
    // Reads the next record and hands it to applier(); false when none is left.
    virtual bool applyOne() = 0;
    RecordImporter& applier() { return applier_; }

    ImportOptions options_;
    Status status_;  // of the reading; the applier's tells the rest
    bool wrongFile_ = false;

private:
    RecordImporter applier_;
    bool stopped_ = false;
};

}  // namespace quillon::exchange
