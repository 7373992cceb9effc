#include "formats/LineReader.h"

#include <cstring>

namespace quillon::exchange {
namespace {

// Reads big chunks: QIODevice::readLine is slow on lines of several hundred kilobytes.
constexpr qint64 kChunk = 4 << 20;

std::optional<QStringConverter::Encoding> wideEncodingOf(const QByteArray& head) {
    auto encoding = QStringConverter::encodingForData(head);
    if (!encoding || *encoding == QStringConverter::Utf8) return std::nullopt;
    return encoding;
}

}  // namespace

LineReader::LineReader(QIODevice* device, qsizetype maxLineBytes)
    : device_(device), maxLineBytes_(maxLineBytes) {
    openSource();
}

void LineReader::openSource() {
    const QByteArray head = device_->peek(4);
    wideEncoding_ = wideEncodingOf(head);
    // The decoder drops a wide byte-order mark itself.
    if (wideEncoding_) decoder_ = QStringDecoder(*wideEncoding_);
    if (!wideEncoding_ && head.startsWith("\xEF\xBB\xBF")) device_->skip(3);
    start_ = device_->pos();
}

bool LineReader::rewind() {
    buffer_ = QByteArray();
    pos_ = 0;
    base_ = 0;
    lineFeed_ = carriageReturn_ = {};
    terminated_ = true;
    afterCarriageReturn_ = tooLong_ = false;
    if (device_->isSequential()) return false;
    if (wideEncoding_) decoder_ = QStringDecoder(*wideEncoding_);
    return device_->seek(start_);
}

bool LineReader::readMore() {
    base_ += pos_;
    // Past a long line its room goes back, instead of staying taken for the rest of the file.
    if (pos_ > kChunk) {
        buffer_ = buffer_.sliced(pos_);
    } else {
        buffer_.remove(0, pos_);
    }
    pos_ = 0;
    const qint64 got = readInto(buffer_.size(), kChunk);
    if (got < 0) error_ = device_->errorString();
    return got > 0;
}

qint64 LineReader::readInto(qsizetype at, qint64 size) {
    if (!wideEncoding_) {
        buffer_.resize(at + size);
        const qint64 got = device_->read(buffer_.data() + at, size);
        buffer_.resize(at + qMax<qint64>(got, 0));
        return got;
    }
    QByteArray wide(size, Qt::Uninitialized);
    const qint64 got = device_->read(wide.data(), size);
    if (got > 0) buffer_ += QString(decoder_.decode(QByteArrayView(wide).first(got))).toUtf8();
    return got;
}

// The buffer index of the first `byte` in [pos_, limit), or -1.
qsizetype LineReader::findFromPos(Search& search, char byte, qsizetype limit) {
    const qint64 from = base_ + pos_;
    if (search.found >= from) return search.found - base_ < limit ? search.found - base_ : -1;
    const qsizetype start = qMax(from, search.clearTo) - base_;
    if (start >= limit) return -1;
    const char* data = buffer_.constData();
    const void* hit = std::memchr(data + start, byte, limit - start);
    if (!hit) {
        search.clearTo = base_ + limit;
        return -1;
    }
    search.found = base_ + (static_cast<const char*>(hit) - data);
    return search.found - base_;
}

void LineReader::skipLineFeedAfterCarriageReturn() {
    afterCarriageReturn_ = false;
    while (pos_ == buffer_.size() && readMore()) {
    }
    if (pos_ < buffer_.size() && buffer_[pos_] == '\n') ++pos_;
}

std::optional<QByteArray> LineReader::stopAtLongLine() {
    tooLong_ = true;
    buffer_ = QByteArray();
    pos_ = 0;
    lineFeed_ = carriageReturn_ = {};
    return std::nullopt;
}

std::optional<QByteArray> LineReader::next() {
    if (tooLong_) return std::nullopt;
    if (afterCarriageReturn_) skipLineFeedAfterCarriageReturn();
    for (;;) {
        qsizetype end = findFromPos(lineFeed_, '\n', buffer_.size());
        const qsizetype cr = findFromPos(carriageReturn_, '\r', end >= 0 ? end : buffer_.size());
        if (cr >= 0) end = cr;
        if ((end >= 0 ? end : buffer_.size()) - pos_ > maxLineBytes_) return stopAtLongLine();
        if (end >= 0) {
            QByteArray line(buffer_.constData() + pos_, end - pos_);
            afterCarriageReturn_ = end == cr;
            pos_ = end + 1;
            terminated_ = true;
            return line;
        }
        if (!readMore()) break;
    }
    if (pos_ == buffer_.size()) return std::nullopt;
    QByteArray last = buffer_.mid(pos_);
    pos_ = buffer_.size();
    terminated_ = false;
    return last;
}

}  // namespace quillon::exchange
