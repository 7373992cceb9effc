#include "formats/RecordFileImport.h"

#include <QtConcurrent/QtConcurrentRun>

#include "images/CoverImage.h"

namespace quillon::exchange {
namespace {

// A step of the import: the screens run one at a time between events.
constexpr int kRecordsPerStep = 32;
// One transaction for this many records: a save waits for the disk (tens of milliseconds on a
// busy one), a record takes microseconds.
constexpr int kRecordsPerSave = 2048;
// Records read ahead of the one applied: enough to keep every picture thread busy.
constexpr size_t kRecordsAhead = 8;

}  // namespace

RecordFileImport::RecordFileImport(ManagedObjectContext& context, ImportOptions options)
    : options_(std::move(options)), applier_(context) {
    applier_.setDryRun(options_.dryRun);
    applier_.setBacksUpFirst(options_.backsUpFirst);
    applier_.setBatchSize(kRecordsPerSave);
    applier_.setFailureLog(options_.failureLog);
}

RecordFileImport::ReadRecord RecordFileImport::recordBuiltBy(
    std::function<RecordBuilder::Built()> build, bool hasPictures) {
    if (!hasPictures) return {build(), std::nullopt, QString()};
    return {RecordBuilder::Built(), QtConcurrent::run(&picturePool(), std::move(build)), QString()};
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

bool RecordFileImport::applyOne() {
    while (!readToEnd_ && ahead_.size() < kRecordsAhead) {
        std::optional<ReadRecord> next = readNext();
        if (!next) {
            readToEnd_ = true;
            break;
        }
        ahead_.push_back(std::move(*next));
    }
    if (ahead_.empty()) return false;
    ReadRecord record = std::move(ahead_.front());
    ahead_.pop_front();
    if (!record.unreadable.isEmpty()) {
        applier_.fail(record.unreadable);
        return true;
    }
    RecordBuilder::Built built =
        record.building ? record.building->result() : std::move(record.built);
    if (!built.empty) applier_.apply(std::move(built.line), std::move(built.problems));
    return true;
}

void RecordFileImport::stop() {
    if (stopped_) return;
    stopped_ = true;
    applier_.flush();
}

}  // namespace quillon::exchange
