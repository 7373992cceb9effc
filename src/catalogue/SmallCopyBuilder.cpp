#include "catalogue/SmallCopyBuilder.h"

#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include "images/SmallCoverImage.h"

namespace quillon {

namespace {

// About a twentieth of a second of work on one core: small enough to stop soon, large enough
// that the transactions stay few.
constexpr size_t kBatchCovers = 16;

std::vector<std::optional<SmallCover>> makeBatch(const std::vector<SavedCover>& covers) {
    SavedCoverReader reader;
    std::vector<std::optional<SmallCover>> made;
    for (const SavedCover& cover : covers) {
        const CoverRead read = reader.read(cover);
        made.push_back(read.bytes ? makeSmallCover(*read.bytes) : std::nullopt);
    }
    return made;
}

}  // namespace

SmallCopyBuilder::SmallCopyBuilder(ManagedObjectContext& context, QObject* parent)
    : QObject(parent), context_(context) {
    // One core at most: the other stays with the window and what it draws.
    pool_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] {
        if (running_ && !watcher_.isCanceled()) storeBatch(watcher_.result());
    });
}

SmallCopyBuilder::~SmallCopyBuilder() {
    stop();
    pool_.waitForDone();
}

void SmallCopyBuilder::start() {
    if (running_) return;
    missing_ = context_.coversWithoutSmallCopy();
    next_ = 0;
    done_ = 0;
    total_ = int(missing_.size());
    running_ = true;
    if (missing_.empty()) {
        QTimer::singleShot(0, this, [this] { finish(Status::success()); });
        return;
    }
    emit progressed(0, total());
    readNextBatch();
}

void SmallCopyBuilder::stop() {
    running_ = false;
    watcher_.cancel();
}

void SmallCopyBuilder::readNextBatch() {
    std::vector<SavedCover> covers;
    for (size_t i = next_; i < missing_.size() && covers.size() < kBatchCovers; ++i)
        covers.push_back(missing_[i].cover);
    watcher_.setFuture(QtConcurrent::run(&pool_, makeBatch, std::move(covers)));
}

void SmallCopyBuilder::storeBatch(const Batch& made) {
    std::vector<MadeSmallCopy> copies;
    for (size_t i = 0; i < made.size(); ++i)
        if (made[i]) copies.push_back({missing_[next_ + i], *made[i]});
    if (Status stored = context_.storeSmallCopies(copies); !stored) {
        finish(stored);
        return;
    }
    next_ += made.size();
    done_ = int(next_);
    emit progressed(done_, total());
    if (next_ < missing_.size())
        readNextBatch();
    else
        finish(Status::success());
}

void SmallCopyBuilder::finish(Status status) {
    if (!running_) return;
    running_ = false;
    missing_.clear();
    emit finished(status);
}

}  // namespace quillon
