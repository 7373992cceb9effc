#include "formats/RecordFileImport.h"

namespace quillon::exchange {
namespace {

// A step of the import: the screens run one at a time between events.
constexpr int kRecordsPerStep = 32;
// One transaction for this many records: a save waits for the disk (tens of milliseconds on a
// busy one), a record takes microseconds.
constexpr int kRecordsPerSave = 2048;

}  // namespace

RecordFileImport::RecordFileImport(ManagedObjectContext& context, ImportOptions options)
    : options_(std::move(options)), applier_(context) {
    applier_.setDryRun(options_.dryRun);
    applier_.setBacksUpFirst(options_.backsUpFirst);
    applier_.setBatchSize(kRecordsPerSave);
    applier_.setFailureLog(options_.failureLog);
}

bool RecordFileImport::applyNext() {
    if (stopped_ || !status()) return false;
    for (int i = 0; i < kRecordsPerStep; ++i) {
        if (!applyOne()) {
            stop();
            return false;
        }
        if (!status()) return false;
    }
    return true;
}

void RecordFileImport::stop() {
    if (stopped_) return;
    stopped_ = true;
    applier_.flush();
}

}  // namespace quillon::exchange
