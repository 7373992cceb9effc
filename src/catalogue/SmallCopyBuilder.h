#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <optional>
#include <vector>

#include "store/CatalogueStore.h"

namespace quillon {

// Makes, in the background, the small copies of saved covers that have none (a store made
// before they were kept): a worker thread of its own reads and reduces a few covers at a time,
// and the main thread stores each batch in a transaction of its own, so the window keeps
// answering. Stopping, or destroying the builder, loses at most the batch in hand; the next
// start goes on with the covers still without one. Main thread.
class SmallCopyBuilder : public QObject {
    Q_OBJECT
public:
    // The context must outlive the builder.
    explicit SmallCopyBuilder(ManagedObjectContext& context, QObject* parent = nullptr);
    ~SmallCopyBuilder() override;

    // Lists the covers without a small copy and starts on them; finished follows at once (from
    // the event loop) when there are none. Does nothing while running.
    void start();
    // Stops after the batch being read; nothing more is stored.
    void stop();
    bool isRunning() const { return running_; }
    int done() const { return done_; }
    int total() const { return total_; }

signals:
    void progressed(int done, int total);
    // All made (covers that are no picture are left without one), or a store that failed.
    void finished(Status status);

private:
    using Batch = std::vector<std::optional<SmallCover>>;
    void readNextBatch();
    void storeBatch(const Batch& made);
    void finish(Status status);

    ManagedObjectContext& context_;
    std::vector<CoverWithoutSmallCopy> missing_;
    size_t next_ = 0;  // the first cover of the batch being read
    int done_ = 0;
    int total_ = 0;
    bool running_ = false;
    QThreadPool pool_;  // one worker; its destructor waits for the batch being read
    QFutureWatcher<Batch> watcher_;
};

}  // namespace quillon
