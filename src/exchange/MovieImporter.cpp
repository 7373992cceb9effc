#include "exchange/MovieImporter.h"

#include <QBuffer>

#include "exchange/ExportFormat.h"
#include "exchange/MovieLine.h"
#include "store/Backups.h"

namespace quillon::exchange {

QString ImportCounts::summary() const {
    return QString("%1 added, %2 updated, %3 skipped, %4 failed")
        .arg(added)
        .arg(updated)
        .arg(skipped)
        .arg(failed);
}

MovieImporter::MovieImporter(ManagedObjectContext& context, QIODevice* file)
    : context_(context), file_(file) {}

MovieImporter::~MovieImporter() = default;

Status MovieImporter::begin() {
    QIODevice* source = file_;
    if (file_->isSequential()) {
        // The header may stand below movie lines: a second pass needs a device that seeks.
        copySequentialFile();
        copyDevice_ = std::make_unique<QBuffer>(&sequentialCopy_);
        copyDevice_->open(QIODevice::ReadOnly);
        source = copyDevice_.get();
    }
    reader_ = std::make_unique<LineReader>(source);
    if (findHeader()) return status_;
    const QString error = readError();
    status_ = error.isEmpty() ? Status::failure(kWrongFileError) : readFailure(error);
    return status_;
}

// Not readAll(): it drops a read error, and the part before it would pass for the whole file.
void MovieImporter::copySequentialFile() {
    constexpr qint64 kChunk = 1 << 20;
    for (;;) {
        const qsizetype kept = sequentialCopy_.size();
        sequentialCopy_.resize(kept + kChunk);
        const qint64 got = file_->read(sequentialCopy_.data() + kept, kChunk);
        sequentialCopy_.resize(kept + qMax<qint64>(got, 0));
        if (got < 0) copyError_ = file_->errorString();
        if (got <= 0) return;
    }
}

QString MovieImporter::readError() const {
    return copyError_.isEmpty() ? reader_->errorString() : copyError_;
}

Status MovieImporter::readFailure(const QString& error) const {
    return Status::failure(
        QString("The file could not be read to its end (%1); the lines before that stay "
                "imported: %2")
            .arg(error, counts_.summary()));
}

bool MovieImporter::findHeader() {
    std::optional<QByteArray> line = reader_->next();
    while (line && line->isEmpty()) line = reader_->next();
    if (!line) return false;
    if (*line == kHeaderLine) return true;  // the usual file: one pass is enough
    while ((line = reader_->next())) {
        if (*line == kHeaderLine) return reader_->rewind();
    }
    return false;
}

std::optional<QByteArray> MovieImporter::nextMovieLine() {
    while (auto line = reader_->next()) {
        if (!line->isEmpty() && *line != kHeaderLine) return line;
    }
    return std::nullopt;
}

bool MovieImporter::applyNextLine() {
    if (!reader_ || !status_) return false;
    const std::optional<QByteArray> text = nextMovieLine();
    if (!text) {
        if (const QString error = readError(); !error.isEmpty()) status_ = readFailure(error);
        return false;
    }
    if (!reader_->lastLineTerminated()) {
        ++counts_.failed;
        problems_ << "The last line ends without a line feed, so the file may be cut short: "
                     "that line was not imported";
        return true;
    }
    const MovieLine line = readMovieLine(*text);
    const std::vector<MoviePtr> matches = findMatches(context_, line);
    if (matches.size() > 1) {
        ++counts_.skipped;
        return true;
    }
    if (context_.isReadOnly()) {
        status_ = Status::failure("The catalogue is read-only, so nothing was imported");
        return false;
    }
    if (backsUpFirst_ && !backedUp_) {
        if (const Status backup = backups::make(context_, &backupName_); !backup) {
            status_ =
                Status::failure("The catalogue could not be backed up, so nothing was imported: " +
                                backup.describe());
            return false;
        }
        backedUp_ = true;
    }
    AppliedLine applied =
        AppliedLine::apply(context_, line, matches.empty() ? nullptr : matches.front());
    const Status saved = context_.save();
    if (saved) {
        ++(applied.inserted() ? counts_.added : counts_.updated);
    } else {
        if (failureLog_) failureLog_(saved.describe());
        applied.undo(context_);
        ++counts_.failed;
        const QString year = line.year ? QString::number(*line.year) : QString("?");
        problems_ << movieLabel(line.name, year) + ": " + saved.describe();
    }
    return true;
}

Status MovieImporter::run() {
    if (!begin()) return status_;
    while (applyNextLine()) {
    }
    return status_;
}

}  // namespace quillon::exchange
