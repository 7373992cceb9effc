#include "formats/ExportJob.h"

#include <QEventLoop>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include "formats/CoverCodec.h"
#include "formats/ExportFormat.h"
#include "images/CoverImage.h"

namespace quillon::exchange {
namespace {

// A batch is one worker task: about one movie's covers, or up to 256 movies without covers.
// Eight in flight keep every worker busy while the main thread reads and writes, and bound
// memory to a few megabytes whatever the catalogue.
constexpr int kBatchesInFlight = 8;
constexpr qint64 kBatchCoverBytes = 1 << 20;
constexpr int kBatchMaxMovies = 256;

QList<ExportJob::Line> encodeBatch(QList<ExportJob::Line> lines) {
    for (ExportJob::Line& line : lines) line = encodeCovers(std::move(line));
    return lines;
}

bool lineNeedsEscaping(const Movies& movie) {
    for (Attribute a : kFieldAttributes) {
        if (isTextAttribute(a) && needsEscaping(movie.text(a).value_or(QString()))) return true;
    }
    return false;
}

QString headOf(const Movies& movie) {
    const bool escaped = lineNeedsEscaping(movie);
    QString head;
    for (int index = 0; index < kFrontImageField; ++index) {
        const Attribute a = kFieldAttributes[index];
        if (isNumberAttribute(a)) {
            head += QString::fromLatin1(
                numberField(movie.number(a), escaped && index == kRunTimeField));
        } else {
            const QString text = movie.text(a).value_or(QString());
            head += escaped ? escapeText(text) : text;
        }
        head += QChar(kSeparator);
    }
    return head;
}

QString coverName(Attribute a) {
    return a == Attribute::frontImage ? "front cover" : "back cover";
}

}  // namespace

ExportJob::Line captureLine(const Movies& movie, bool keepShownHead) {
    ExportJob::Line line;
    const QString head = headOf(movie);
    line.head = head.toUtf8();
    if (keepShownHead) line.shownHead = head;
    line.label = movieLabel(movie.name().value_or(QString()), QString::number(movie.year()));
    for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
        const CoverRead read = movie.readImage(a);
        if (read.failed()) {
            line.problems << QString("%1 left out: it could not be read from the catalogue (%2)")
                                 .arg(coverName(a), read.status.describe());
        }
        (a == Attribute::frontImage ? line.front : line.back) = read.bytes.value_or(QByteArray());
    }
    return line;
}

ExportJob::Line encodeCovers(ExportJob::Line line) {
    for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
        QByteArray& field = a == Attribute::frontImage ? line.front : line.back;
        if (field.isEmpty()) continue;
        CoverField encoded = encodeCoverField(field);
        field = std::move(encoded.base64);
        if (!encoded.problem.isEmpty()) {
            line.problems << QString("%1 left out: it could not be decoded (%2)")
                                 .arg(coverName(a), encoded.problem);
        }
    }
    return line;
}

ExportJob::ExportJob(ManagedObjectContext& context, QIODevice* device, QObject* parent)
    : QObject(parent), context_(context), device_(device) {}

ExportJob::~ExportJob() {
    for (Batch& batch : inFlight_) batch.watcher->future().cancel();
}

void ExportJob::start() {
    entries_ = context_.fetch<Movies>(
        std::nullopt,
        {{Attribute::name, true}, {Attribute::year, true}, {Attribute::director, true}});
    context_.readAllNotes();
    const QByteArray header = QByteArray(kHeaderLine) + '\n';
    if (keepsDisplayText_) displayText_ = QString::fromLatin1(header);
    if (!write(header)) return;
    launchBatches();
    if (inFlight_.empty()) QTimer::singleShot(0, this, [this] { finish(Status::success()); });
}

Status ExportJob::run() {
    QEventLoop loop;
    connect(this, &ExportJob::finished, &loop, &QEventLoop::quit);
    start();
    if (!finished_) loop.exec();
    return status_;
}

void ExportJob::launchBatches() {
    while (!finished_ && int(inFlight_.size()) < kBatchesInFlight && nextToCapture_ < total()) {
        launchBatch();
    }
}

void ExportJob::launchBatch() {
    QList<Line> lines;
    qint64 coverBytes = 0;
    while (nextToCapture_ < total() && coverBytes < kBatchCoverBytes &&
           lines.size() < kBatchMaxMovies) {
        const Movies& movie = *entries_[nextToCapture_++];
        coverBytes +=
            movie.imageSize(Attribute::frontImage) + movie.imageSize(Attribute::backImage);
        lines.append(captureLine(movie, keepsDisplayText_));
    }
    auto watcher = std::make_unique<QFutureWatcher<QList<Line>>>();
    connect(watcher.get(), &QFutureWatcherBase::finished, this, [this, w = watcher.get()] {
        for (Batch& batch : inFlight_) {
            if (batch.watcher.get() == w) batch.ready = true;
        }
        writeReadyBatches();
    });
    watcher->setFuture(QtConcurrent::run(&picturePool(), encodeBatch, std::move(lines)));
    inFlight_.push_back({std::move(watcher), false});
}

void ExportJob::writeReadyBatches() {
    while (!finished_ && !inFlight_.empty() && inFlight_.front().ready) {
        const QList<Line> lines = inFlight_.front().watcher->future().result();
        inFlight_.pop_front();
        for (const Line& line : lines) {
            if (!writeLine(line)) return;
        }
        done_ += int(lines.size());
        emit progressed(done_, total());
        launchBatches();
    }
    if (!finished_ && inFlight_.empty() && nextToCapture_ == total()) finish(Status::success());
}

bool ExportJob::writeLine(const Line& line) {
    for (const QString& problem : line.problems) problems_ << line.label + ": " + problem;
    if (keepsDisplayText_) {
        displayText_ += line.shownHead;
        if (!line.front.isEmpty()) displayText_ += coverMarker(kFrontImageField, line.front.size());
        displayText_ += QChar(kSeparator);
        if (!line.back.isEmpty()) displayText_ += coverMarker(kBackImageField, line.back.size());
        displayText_ += u'\n';
    }
    return write(line.head) && write(line.front) && write("^") && write(line.back) && write("\n");
}

bool ExportJob::write(QByteArrayView bytes) {
    if (bytes.isEmpty() || device_->write(bytes.data(), bytes.size()) == bytes.size()) return true;
    finish(Status::failure(Status::Io, "The export file could not be written",
                           device_->errorString()));
    return false;
}

void ExportJob::finish(Status status) {
    if (finished_) return;
    finished_ = true;
    status_ = std::move(status);
    for (Batch& batch : inFlight_) batch.watcher->future().cancel();
    emit finished();
}

}  // namespace quillon::exchange
