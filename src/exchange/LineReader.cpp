#include "exchange/LineReader.h"

#include <QStringConverter>

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
    pending_.clear();
    if (source_->isSequential()) return false;
    return source_->seek(converted_ ? 0 : start_);
}

bool LineReader::fillPending() {
    if (source_->atEnd()) return false;
    QByteArray chunk = source_->readLine();
    if (chunk.isEmpty()) {
        if (!source_->atEnd()) error_ = source_->errorString();
        return false;
    }
    // The last line of a file may end without a terminator.
    const bool terminated = chunk.endsWith('\n');
    if (terminated) chunk.chop(1);
    qsizetype from = 0;
    for (qsizetype cr = chunk.indexOf('\r'); cr >= 0; cr = chunk.indexOf('\r', from)) {
        pending_.push_back(chunk.mid(from, cr - from));
        from = cr + 1;
    }
    if (from == 0) {
        pending_.push_back(std::move(chunk));
    } else if (from < chunk.size() || terminated) {
        pending_.push_back(chunk.mid(from));
    }
    return true;
}

std::optional<QByteArray> LineReader::next() {
    while (pending_.empty()) {
        if (!fillPending()) return std::nullopt;
    }
    QByteArray line = std::move(pending_.front());
    pending_.pop_front();
    return line;
}

QString decodeText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}

}  // namespace quillon::exchange
