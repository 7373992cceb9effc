#include "formats/MovieImporter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtConcurrent/QtConcurrentMap>
#include <cerrno>

#include "formats/ExportFormat.h"
#include "formats/MovieLine.h"
#include "images/CoverImage.h"
#include "images/SmallCoverImage.h"
#include "store/Backups.h"

namespace quillon::exchange {
namespace {

QString sizeText(qsizetype bytes) {
    constexpr qsizetype kMegabyte = 1 << 20;
    return bytes % kMegabyte == 0 ? QString("%1 MB").arg(bytes / kMegabyte)
                                  : QString("%1 bytes").arg(bytes);
}

Status notRegular(const QString& path) {
    return Status::failure(
        Status::Refused,
        path + " is not a regular file (a device, a pipe or a folder); nothing was imported");
}

}  // namespace

QString longLineText(qsizetype maxLineBytes) {
    return "A line of the file is longer than " + sizeText(maxLineBytes) +
           ", more than any movie line can be, so the file was read no further";
}

Status checkImportSource(const QString& path) {
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return notRegular(path);
    return Status::success();
}

Status openImportFile(QFile& file, const QString& path) {
    if (Status source = checkImportSource(path); !source) return source;
    // Non-blocking, should a pipe have taken the file's place since the check.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Status::failure(Status::Io, path + ": " + qt_error_string(errno));
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return notRegular(path);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Status::failure(Status::Io, path + ": " + file.errorString());
    }
    return Status::success();
}

struct MovieImporter::ReadLine {
    QByteArray text;
    bool terminated = true;
    MovieLine line;
};

namespace {

// Lines read ahead of the one applied: their Base64 is decoded and the small copies of their
// covers made on the picture threads, side by side, while each line is still applied in turn.
constexpr size_t kReadAheadLines = 8;
constexpr qsizetype kReadAheadBytes = 4 << 20;

}  // namespace

MovieImporter::MovieImporter(ManagedObjectContext& context, QIODevice* file)
    : context_(context), file_(file), applier_(context) {}

MovieImporter::~MovieImporter() = default;

Status MovieImporter::begin() {
    reader_ = std::make_unique<LineReader>(file_, maxLineBytes_);
    if (findHeader()) return status_;
    const QString error = reader_->errorString();
    if (reader_->lineTooLong()) {
        status_ =
            Status::failure(Status::TooBig, longLineText(maxLineBytes_) + "; nothing was imported");
    } else {
        status_ = error.isEmpty() ? Status::failure(Status::Corrupt, kWrongFileError)
                                  : readFailure(error);
    }
    return status_;
}

Status MovieImporter::readFailure(const QString& error) const {
    return Status::failure(
        Status::Io,
        QString("The file could not be read to its end (%1); the lines before that stay "
                "imported: %2")
            .arg(error, applier_.counts().summary()));
}

bool MovieImporter::findHeader() {
    std::optional<QByteArray> line = reader_->next();
    while (line && line->isEmpty()) line = reader_->next();
    if (!line) return false;
    if (*line == kHeaderLine) return true;  // the usual file: one pass is enough
    // The header may stand below movie lines: read them again, or keep them when the file
    // cannot be read twice.
    const bool keepsLines = file_->isSequential();
    if (keepsLines) linesAbove_.push_back(*line);
    while ((line = reader_->next())) {
        if (*line == kHeaderLine) return keepsLines || reader_->rewind();
        if (keepsLines && !line->isEmpty()) linesAbove_.push_back(std::move(*line));
    }
    return false;
}

// The next line that is neither empty nor a header; `terminated` is false for a last line that
// ends the file without a line feed.
std::optional<QByteArray> MovieImporter::nextMovieLine(bool* terminated) {
    *terminated = true;
    if (!linesAbove_.empty()) {
        QByteArray line = std::move(linesAbove_.front());
        linesAbove_.pop_front();
        return line;
    }
    while (auto line = reader_->next()) {
        if (line->isEmpty() || *line == kHeaderLine) continue;
        *terminated = reader_->lastLineTerminated();
        return line;
    }
    return std::nullopt;
}

void MovieImporter::readAhead() {
    qsizetype bytes = 0;
    while (!readToEnd_ && ahead_.size() < kReadAheadLines && bytes < kReadAheadBytes) {
        bool terminated = true;
        std::optional<QByteArray> text = nextMovieLine(&terminated);
        if (!text) {
            readToEnd_ = true;
            break;
        }
        bytes += text->size();
        ahead_.push_back({std::move(*text), terminated, {}});
    }
    QtConcurrent::blockingMap(&picturePool(), ahead_, [](ReadLine& read) {
        if (!read.terminated) return;
        read.line = readMovieLine(read.text);
        read.text = QByteArray();
    });
    // A cover the line's movie has already (the same size, most likely the same bytes) needs no
    // copy; should it differ after all, the save makes it.
    std::vector<FieldChange*> newCovers;
    for (ReadLine& read : ahead_) {
        const std::vector<MoviePtr> matches = findMatches(context_, read.line);
        for (FieldChange& change : read.line.changes) {
            const auto* cover = std::get_if<QByteArray>(&change.value);
            if (cover && !(matches.size() == 1 &&
                           matches.front()->imageSize(change.attribute) == cover->size()))
                newCovers.push_back(&change);
        }
    }
    QtConcurrent::blockingMap(&picturePool(), newCovers, [](FieldChange* change) {
        change->small = makeSmallCover(std::get<QByteArray>(change->value));
    });
}

bool MovieImporter::applyNextLine() {
    if (!reader_ || !status()) return false;
    if (ahead_.empty()) readAhead();
    if (ahead_.empty()) {
        if (reader_->lineTooLong()) {
            applier_.fail(longLineText(maxLineBytes_) +
                          ": that line and any below it were not imported");
            reader_.reset();  // told once; nothing more is read
        } else if (const QString error = reader_->errorString(); !error.isEmpty()) {
            status_ = readFailure(error);
        }
        applier_.flush();
        return false;
    }
    ReadLine read = std::move(ahead_.front());
    ahead_.pop_front();
    if (!read.terminated) {
        applier_.fail(
            "The last line ends without a line feed, so the file may be cut short: that line "
            "was not imported");
        return true;
    }
    MovieLine line = std::move(read.line);
    QStringList coverProblems = std::move(line.coverProblems);
    return applier_.apply(std::move(line), std::move(coverProblems));
}

double MovieImporter::progress() const {
    const qint64 size = file_->isSequential() ? 0 : file_->size();
    return size > 0 ? qBound(0.0, double(file_->pos()) / double(size), 1.0) : 0.0;
}

Status MovieImporter::run() {
    if (!begin()) return status();
    while (applyNextLine()) {
    }
    return status();
}

}  // namespace quillon::exchange
