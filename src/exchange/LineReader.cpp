#include "exchange/LineReader.h"

#include <QStringConverter>
#include <cstring>

namespace quillon::exchange {
namespace {

std::optional<QStringConverter::Encoding> wideEncodingOf(const QByteArray& head) {
    auto encoding = QStringConverter::encodingForData(head);
    if (!encoding || *encoding == QStringConverter::Utf8) return std::nullopt;
    return encoding;
}

}  // namespace

LineReader::LineReader(QIODevice* device) : device_(device) {
    openSource();
}

void LineReader::openSource() {
    const QByteArray head = device_->peek(4);
    if (auto wide = wideEncodingOf(head)) {
        QStringDecoder decoder(*wide);
        convertedBytes_ = QString(decoder.decode(device_->readAll())).toUtf8();
        if (convertedBytes_.startsWith("\xEF\xBB\xBF")) convertedBytes_.remove(0, 3);
        converted_ = std::make_unique<QBuffer>(&convertedBytes_);
        converted_->open(QIODevice::ReadOnly);
        source_ = converted_.get();
        return;
    }
    source_ = device_;
    if (head.startsWith("\xEF\xBB\xBF")) source_->skip(3);
    start_ = source_->pos();
}

bool LineReader::rewind() {
    buffer_.clear();
    pos_ = 0;
    base_ = 0;
    lineFeed_ = carriageReturn_ = {};
    if (source_->isSequential()) return false;
    return source_->seek(converted_ ? 0 : start_);
}

// Reads big chunks: QIODevice::readLine is slow on lines of several hundred kilobytes.
bool LineReader::readMore() {
    constexpr qint64 kChunk = 4 << 20;
    buffer_.remove(0, pos_);
    base_ += pos_;
    pos_ = 0;
    const qsizetype kept = buffer_.size();
    buffer_.resize(kept + kChunk);
    const qint64 got = source_->read(buffer_.data() + kept, kChunk);
    buffer_.resize(kept + qMax<qint64>(got, 0));
    if (got < 0) error_ = source_->errorString();
    return got > 0;
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

std::optional<QByteArray> LineReader::next() {
    for (;;) {
        qsizetype end = findFromPos(lineFeed_, '\n', buffer_.size());
        const qsizetype cr = findFromPos(carriageReturn_, '\r', end >= 0 ? end : buffer_.size());
        if (cr >= 0) end = cr;
        if (end >= 0) {
            QByteArray line(buffer_.constData() + pos_, end - pos_);
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
