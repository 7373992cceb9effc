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

LineReader::LineReader(QIODevice* device) : device_(device) { openSource(); }

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
    if (source_->isSequential()) return false;
    return source_->seek(converted_ ? 0 : start_);
}

// Reads big chunks: QIODevice::readLine is slow on lines of several hundred kilobytes.
bool LineReader::readMore() {
    constexpr qint64 kChunk = 4 << 20;
    buffer_.remove(0, pos_);
    pos_ = 0;
    const qsizetype kept = buffer_.size();
    buffer_.resize(kept + kChunk);
    const qint64 got = source_->read(buffer_.data() + kept, kChunk);
    buffer_.resize(kept + qMax<qint64>(got, 0));
    if (got < 0) error_ = source_->errorString();
    return got > 0;
}

std::optional<QByteArray> LineReader::next() {
    qsizetype searched = pos_;
    for (;;) {
        const char* begin = buffer_.constData();
        const char* from = begin + searched;
        const qsizetype length = buffer_.size() - searched;
        const char* end = static_cast<const char*>(std::memchr(from, '\n', length));
        const qsizetype span = end ? end - from : length;
        if (const void* cr = std::memchr(from, '\r', span)) end = static_cast<const char*>(cr);
        if (end) {
            QByteArray line(begin + pos_, end - begin - pos_);
            pos_ = end - begin + 1;
            return line;
        }
        searched = buffer_.size() - pos_;
        if (!readMore()) break;
    }
    if (pos_ == buffer_.size()) return std::nullopt;
    QByteArray last = buffer_.mid(pos_);  // the last line may end without a terminator
    pos_ = buffer_.size();
    return last;
}

QString decodeText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}

}  // namespace quillon::exchange
