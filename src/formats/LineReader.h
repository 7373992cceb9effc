#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringDecoder>
#include <optional>

#include "formats/ExportFormat.h"

namespace quillon::exchange {

// The lines of a text file as UTF-8 bytes, split at every line feed, every carriage return and
// every CR LF pair, without their terminators. A file that starts with a UTF-16 or UTF-32
// byte-order mark is converted to UTF-8 as it is read; a UTF-8 mark is dropped. The device must
// stay open while the reader lives.
//
// A line longer than `maxLineBytes` ends the reading: next() returns nothing from then on and
// lineTooLong() is set. Its end may never come (a device), so no more than the cap and one read
// of it is ever held.
class LineReader {
public:
    explicit LineReader(QIODevice* device, qsizetype maxLineBytes = kMaxLineBytes);

    std::optional<QByteArray> next();
    // False when the line that next() returned last ended the file without a terminator: a
    // file cut short ends that way.
    bool lastLineTerminated() const { return terminated_; }
    bool lineTooLong() const { return tooLong_; }
    // Back to the first line; false when the device cannot seek there.
    bool rewind();
    // Set when the device reported an error while reading.
    QString errorString() const { return error_; }

private:
    // Where the next occurrence of one terminator is, remembered so no byte is searched twice.
    struct Search {
        qint64 found = -1;   // stream offset of the next occurrence, or -1
        qint64 clearTo = 0;  // stream offset before which there is none
    };
    void openSource();
    bool readMore();
    qint64 readInto(qsizetype at, qint64 size);
    qsizetype findFromPos(Search& search, char byte, qsizetype limit);
    void skipLineFeedAfterCarriageReturn();
    std::optional<QByteArray> stopAtLongLine();

    QIODevice* device_;
    qsizetype maxLineBytes_;
    std::optional<QStringConverter::Encoding> wideEncoding_;
    QStringDecoder decoder_;  // only for a wide encoding
    qint64 start_ = 0;
    QByteArray buffer_;  // read ahead; lines are cut from pos_ on
    qsizetype pos_ = 0;
    qint64 base_ = 0;  // stream offset of buffer_[0]
    Search lineFeed_;
    Search carriageReturn_;
    QString error_;
    bool terminated_ = true;
    bool afterCarriageReturn_ = false;
    bool tooLong_ = false;
};

}  // namespace quillon::exchange
