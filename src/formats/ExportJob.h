#pragma once

#include <QFutureWatcher>
#include <QIODevice>
#include <QObject>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

#include "store/CatalogueStore.h"
#include "store/Records.h"
#include "store/Status.h"

namespace quillon::exchange {

// Writes the whole catalogue as an export file to a device, in export order (name, year,
// director). Texts and cover bytes are read on the main thread; covers are re-encoded on worker
// threads a batch at a time, so memory stays bounded and the event loop keeps running. Lines
// reach the device in order as their batch completes.
class ExportJob : public QObject {
    Q_OBJECT
public:
    // Neither is owned. The context must outlive the job. The device is open for writing and
    // must live until finished() or the job's destruction, whichever is first; only the main
    // thread writes to it, and never after either. The job neither closes nor commits it: on a
    // failed status the caller discards what was written.
    ExportJob(ManagedObjectContext& context, QIODevice* device, QObject* parent = nullptr);
    // Stops writing at once; covers still being encoded are dropped when their workers end.
    ~ExportJob() override;

    // Also build the text that the export screen shows (covers as markers).
    void setKeepsDisplayText(bool keeps) { keepsDisplayText_ = keeps; }

    // Fetches the catalogue and starts; progressed and finished follow from the event loop.
    void start();
    // start(), then runs an event loop until finished: for the command line.
    Status run();

    const std::vector<MoviePtr>& entries() const { return entries_; }
    int total() const { return int(entries_.size()); }
    int done() const { return done_; }
    bool isFinished() const { return finished_; }
    Status status() const { return status_; }
    const QString& displayText() const { return displayText_; }
    // Covers that are not in the file, one line each naming the movie by name and year: a
    // cover that could not be read from the store, or that is no picture and no JPEG. The
    // export still succeeds; the screen and the command report them.
    const QStringList& problems() const { return problems_; }

signals:
    void progressed(int done, int total);
    void finished();

public:
    // One movie line split where the worker threads fill in the covers.
    struct Line {
        QByteArray head;  // fields 0-13 and the caret before field 14
        QString shownHead;
        QByteArray front;  // stored bytes, then the Base64 field
        QByteArray back;
        QString label;  // "Name (year)"
        QStringList problems;
    };

private:
    struct Batch {
        std::unique_ptr<QFutureWatcher<QList<Line>>> watcher;
        bool ready = false;
    };
    void launchBatches();
    void launchBatch();
    void writeReadyBatches();
    bool writeLine(const Line& line);
    bool write(QByteArrayView bytes);
    void finish(Status status);

    ManagedObjectContext& context_;
    QIODevice* device_;
    std::vector<MoviePtr> entries_;
    std::deque<Batch> inFlight_;
    int nextToCapture_ = 0;
    int done_ = 0;
    bool keepsDisplayText_ = false;
    bool finished_ = false;
    Status status_;
    QString displayText_;
    QStringList problems_;
};

// Captures one movie's fields on the main thread: texts, numbers and stored cover bytes.
ExportJob::Line captureLine(const Movies& movie, bool keepShownHead);
// The worker's part: both covers re-encoded into their fields.
ExportJob::Line encodeCovers(ExportJob::Line line);

}  // namespace quillon::exchange
